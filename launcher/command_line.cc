#include "launcher/command_line.h"

#include "text/text_helpers.h"

long long CommandLineSizeCount(const LaunchSettings& settings) {
  long long count = 0;
  count += (settings.javapath ? settings.javapath->size() : 0) + 2;
  const std::optional<std::string>& main = MainName(settings);
  count += (main ? main->size() : 0) + 2;
  if (settings.mainmodule) count += 3;  // "-m "
  for (const std::string& param : settings.vmParams) count += param.size() + 2;
  for (const std::string& entry : settings.classPathEntries) {
    count += entry.size() + 2;
  }
  for (const std::string& argument : settings.appArguments) {
    count += argument.size() + 3;
  }
  count += 12;  // "-classpath" and two spaces
  return count;
}

bool ArgumentNeedsQuotes(const std::string& argument, bool quoteAlways) {
  // '*' and '?' count because the Java launcher expands unquoted wildcards in
  // the application's arguments itself.
  return quoteAlways || argument.find_first_of(" \t*?") != std::string::npos;
}

std::string QuoteArgument(const std::string& argument, bool quoteAlways) {
  bool enclose = ArgumentNeedsQuotes(argument, quoteAlways);
  if (!enclose && argument.find('"') == std::string::npos) return argument;

  // Backslashes are literal for the C runtime's splitter unless a double
  // quote follows them; then each must be doubled, and the quote escaped.
  std::string quoted;
  if (enclose) quoted += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  if (enclose) {
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
  } else {
    quoted.append(backslashes, '\\');
  }
  return quoted;
}

std::string AbsoluteClassPathEntry(const std::string& entry,
                                   const std::string& startDir) {
  // A value with a variable may carry the quotes ExpandValue gave it.
  const std::size_t begin = !entry.empty() && entry[0] == '"' ? 1 : 0;
  if (IsAbsolutePath(entry, begin)) return entry;
  std::string path = entry;
  path.insert(begin, startDir + "\\");
  if (path.find('"') == std::string::npos &&
      path.find_first_of(" \t") != std::string::npos) {
    return QuoteArgument(path, false);
  }
  return path;
}

std::string BuildCommandLine(const LaunchSettings& settings,
                             const std::vector<std::string>& moreVmOptions) {
  std::string line;
  line.reserve(static_cast<std::size_t>(CommandLineSizeCount(settings)));
  if (settings.javapath) line += *settings.javapath;
  line += ' ';
  for (const std::string& param : settings.vmParams) {
    line += param;
    line += ' ';
  }
  for (const std::string& option : moreVmOptions) {
    line += QuoteArgument(option, false);
    line += ' ';
  }
  // A module's class path is only what the configuration adds to it.
  if (!settings.mainmodule || !settings.classPathEntries.empty()) {
    line += "-classpath ";
    for (const std::string& entry : settings.classPathEntries) {
      line += entry;
      line += ';';
    }
    line.pop_back();  // the last ';', or the space after "-classpath"
    line += ' ';
  }
  if (settings.mainmodule) {
    line += "-m " + *settings.mainmodule;
  } else if (settings.mainclass) {
    line += *settings.mainclass;
  }
  if (!settings.appArguments.empty()) line += ' ';
  for (const std::string& argument : settings.appArguments) {
    line += QuoteArgument(argument, settings.quoteAlways);
    line += ' ';
  }
  return line;
}
