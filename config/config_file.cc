#include "config/config_file.h"

#include <unordered_set>

#include "config/config_encoding.h"
#include "config/jar_scan.h"
#include "config/value_expansion.h"
#include "runtime/registry_lookup.h"
#include "text/text_helpers.h"

namespace {

// The C library's text reads deliver at most this many characters at a time.
constexpr std::size_t kLinePieceLength = 2047;
// Ctrl-Z ends a file read in text mode.
constexpr char kEndOfText = '\x1a';
// A backstop against include chains that the path comparison cannot see
// through (the same file reached under two different names).
constexpr std::size_t kMaxIncludeDepth = 256;

enum class Keyword {
  kVmParam,
  kJavaPath,
  kAddPath,
  kMainClass,
  kAppName,
  kJavaVersion,
  kAddJars,
  kArgument,
  kAddJar,
  kInclude,
  kConsoleTitle,
  kWorkingDir,
  kJavaSearch,
  kJavaMinVersion,
  kJavaMaxVersion,
  kDownloadUrl,
};

struct KeywordRule {
  const char* word;
  Keyword keyword;
};

// Tried in this order; a key that begins with a keyword counts as it, so
// "addjars" must come before "addjar" and "vmparams" means "vmparam".
constexpr KeywordRule kKeywords[] = {
    {"vmparam", Keyword::kVmParam},
    {"javapath", Keyword::kJavaPath},
    {"addpath", Keyword::kAddPath},
    {"mainclass", Keyword::kMainClass},
    {"appname", Keyword::kAppName},
    {"javaVersion", Keyword::kJavaVersion},
    {"addjars", Keyword::kAddJars},
    {"argument", Keyword::kArgument},
    {"addjar", Keyword::kAddJar},
    {"include", Keyword::kInclude},
    {"consoleTitle", Keyword::kConsoleTitle},
    {"workingDir", Keyword::kWorkingDir},
    {"javaSearch", Keyword::kJavaSearch},
    {"javaMinVersion", Keyword::kJavaMinVersion},
    {"javaMaxVersion", Keyword::kJavaMaxVersion},
    {"downloadUrl", Keyword::kDownloadUrl},
};

const KeywordRule* MatchKeyword(const std::string& key) {
  for (const KeywordRule& rule : kKeywords) {
    if (key.rfind(rule.word, 0) == 0) return &rule;
  }
  return nullptr;
}

struct Reader {
  LaunchSettings& settings;
  PlatformOps& os;
  // Canonical paths of the files being read; a set, so that an include is
  // checked in one step however deep it is.
  std::unordered_set<std::string> openFiles;
};

FatalExit ReadFileNested(const std::string& path, const std::string& canonical,
                         Reader& reader);

FatalExit Include(const std::string& path, Reader& reader) {
  std::string canonical = reader.os.CanonicalPath(path);
  bool cycle = reader.openFiles.count(canonical) != 0;
  if (cycle || reader.openFiles.size() >= kMaxIncludeDepth) {
    reader.os.ShowMessageBox(
        Format(cycle ? "The configuration file %s includes itself, directly "
                       "or indirectly.\nThat include line is skipped."
                     : "Configuration files are included more than 256 deep "
                       "at %s.\nThat include line is skipped.",
               path.c_str()),
        "Error", kBoxError);
    return std::nullopt;
  }
  // An included file that cannot be read is skipped; only a line that ended
  // the run ends the including files too.
  FatalExit fatal = ReadFileNested(path, canonical, reader);
  if (fatal == ExitCode::kConfigUnreadable) return std::nullopt;
  return fatal;
}

FatalExit ApplyLine(const std::string& key, const std::string& value,
                    Reader& reader) {
  const KeywordRule* rule = MatchKeyword(key);
  if (!rule) return std::nullopt;
  LaunchSettings& s = reader.settings;
  PlatformOps& os = reader.os;
  auto expand = [&](bool quote) { return ExpandValue(value, quote, s, os); };
  switch (rule->keyword) {
    case Keyword::kVmParam:
      s.vmParams.push_back(expand(true));
      break;
    case Keyword::kJavaPath:
      s.javapath = expand(true);
      break;
    case Keyword::kAddPath:
      s.classPathEntries.push_back(expand(true));
      break;
    case Keyword::kMainClass:
      s.mainclass = expand(false);
      break;
    case Keyword::kAppName:
      s.appname = expand(false);
      break;
    case Keyword::kJavaVersion: {
      s.javaVersion = expand(false);
      FatalExit fatal;
      s.javapath = FindRuntimeForVersion(s, os, &fatal);
      if (fatal) return fatal;
      if (!s.javapath || s.javapath->empty()) {
        return ExitCode::kNoRuntimeForVersion;
      }
      break;
    }
    case Keyword::kAddJars:
      AddJarDirectory(expand(true), s, os);
      break;
    case Keyword::kArgument:
      s.appArguments.push_back(value);
      break;
    case Keyword::kAddJar:
      s.classPathEntries.push_back(expand(true));
      break;
    case Keyword::kInclude:
      return Include(expand(false), reader);
    case Keyword::kConsoleTitle:
      s.consoleTitle = expand(true);
      break;
    case Keyword::kWorkingDir:
      s.workingDir = expand(true);
      break;
    case Keyword::kJavaSearch:
      s.javaSearch = expand(false);
      break;
    case Keyword::kJavaMinVersion:
      s.javaMinVersion = expand(false);
      break;
    case Keyword::kJavaMaxVersion:
      s.javaMaxVersion = expand(false);
      break;
    case Keyword::kDownloadUrl:
      s.downloadUrl = expand(false);
      break;
  }
  return std::nullopt;
}

FatalExit ApplyConfigLine(std::string line, Reader& reader) {
  // A line is C text: a NUL byte ends it.
  std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  if (line.empty() || line[0] == '#' || line[0] == '/') return std::nullopt;
  std::size_t space = line.find(' ');
  if (space == std::string::npos) return std::nullopt;
  std::string value = line.substr(space + 1);
  if (!value.empty() && value.back() == '\n') value.pop_back();
  return ApplyLine(line.substr(0, space), value, reader);
}

// Reads configuration text that came from `name` (a file, or the embedded
// configuration): decoded from its encoding, then line by line.
FatalExit ReadConfigText(const std::string& name, std::string content,
                         const std::string& canonical, Reader& reader) {
  if (!DecodeConfigText(name, &content, reader.os)) {
    return ExitCode::kConfigUnreadable;
  }
  reader.openFiles.insert(canonical);
  for (std::string& line : SplitConfigLines(content)) {
    FatalExit fatal = ApplyConfigLine(std::move(line), reader);
    if (fatal) return fatal;
  }
  reader.openFiles.erase(canonical);
  return std::nullopt;
}

FatalExit ReadFileNested(const std::string& path, const std::string& canonical,
                         Reader& reader) {
  PlatformOps& os = reader.os;
  if (reader.settings.debugMode) {
    os.ShowMessageBox(path, "Reading Config file", kBoxPlain);
  }
  std::string content;
  std::string error;
  if (!os.ReadFile(path, &content, &error)) {
    os.WriteErr(
        Format("Can't open %s Error %s\n", "jdk.config", error.c_str()));
    return ExitCode::kConfigUnreadable;
  }
  return ReadConfigText(path, std::move(content), canonical, reader);
}

}  // namespace

std::vector<std::string> SplitConfigLines(const std::string& content) {
  std::vector<std::string> lines;
  std::string line;
  const std::size_t end = std::min(content.find(kEndOfText), content.size());
  for (std::size_t i = 0; i < end; ++i) {
    char c = content[i];
    if (c == '\r' && i + 1 < end && content[i + 1] == '\n') continue;
    line += c;
    if (c == '\n' || line.size() == kLinePieceLength) {
      lines.push_back(std::move(line));
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

FatalExit LocateAppConfig(const std::string& programPath,
                          LaunchSettings& settings, PlatformOps& os) {
  std::string path;
  std::string embedded;
  bool useEmbedded = false;
  if (settings.configPath) {
    path = *settings.configPath;
  } else {
    std::size_t lastBackslash = programPath.rfind('\\');
    std::string name = lastBackslash == std::string::npos
                           ? programPath
                           : programPath.substr(lastBackslash + 1);
    const std::string exe = ".exe";
    if (name.size() >= exe.size() &&
        name.compare(name.size() - exe.size(), exe.size(), exe) == 0) {
      name.resize(name.size() - exe.size());
    }
    path = settings.startDir + "\\" + name + ".config";
    // A file beside the executable always wins, so that an administrator can
    // override a branded executable without rebuilding it.
    useEmbedded = !os.FileExists(path) && os.EmbeddedConfiguration(&embedded);
    if (useEmbedded) path = programPath + " (embedded)";
  }
  if (settings.debugMode) {
    os.WriteOut(Format("reading app config %s\n", path.c_str()));
    os.ShowMessageBox("[" + path + "]", "Reading App Config file", kBoxPlain);
  }
  if (!useEmbedded) return ReadConfigFile(path, settings, os);
  Reader reader{settings, os, {}};
  if (settings.debugMode) {
    os.ShowMessageBox(path, "Reading Config file", kBoxPlain);
  }
  // No file path is spelled this way, so no include can loop back to it.
  return ReadConfigText(path, std::move(embedded), "<embedded>", reader);
}

FatalExit ReadConfigFile(const std::string& path, LaunchSettings& settings,
                         PlatformOps& os) {
  Reader reader{settings, os, {}};
  return ReadFileNested(path, os.CanonicalPath(path), reader);
}
