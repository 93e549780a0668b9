#include "config/config_file.h"

#include <algorithm>
#include <cstdint>

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

// The keywords that do more than set a value or add to a list.
enum class Special {
  kNone,
  kJavaPath,
  kJavaVersion,
  kAddJars,
  kArgument,
  kInclude,
  kLogFile,
  kSwitch,
  kMainClass,
  kMainModule,
};

using Text = std::optional<std::string> LaunchSettings::*;
using List = std::vector<std::string> LaunchSettings::*;

// A keyword: the setting a plain one fills (a text it replaces, or a list it
// appends to), whether its value is quoted when a variable's value holds a
// space, and what a special one does besides.
struct KeywordRule {
  const char* word;
  Text text;
  List list;
  bool quote;
  Special special;
  // The yes-or-no setting of a kSwitch keyword.
  bool LaunchSettings::*flag = nullptr;
};

// Tried in this order; a key that begins with a keyword counts as it, so
// "addjars" must come before "addjar" and "vmparams" means "vmparam".
const KeywordRule kKeywords[] = {
    {"vmparam", nullptr, &LaunchSettings::vmParams, true, Special::kNone},
    {"javapath", &LaunchSettings::javapath, nullptr, true, Special::kJavaPath},
    {"addpath", nullptr, &LaunchSettings::classPathEntries, true,
     Special::kNone},
    {"mainclass", &LaunchSettings::mainclass, nullptr, false,
     Special::kMainClass},
    {"mainmodule", &LaunchSettings::mainmodule, nullptr, false,
     Special::kMainModule},
    {"appname", &LaunchSettings::appname, nullptr, false, Special::kNone},
    {"javaVersion", &LaunchSettings::javaVersion, nullptr, false,
     Special::kJavaVersion},
    {"addjars", nullptr, nullptr, true, Special::kAddJars},
    {"argument", nullptr, nullptr, false, Special::kArgument},
    {"addjar", nullptr, &LaunchSettings::classPathEntries, true,
     Special::kNone},
    {"include", nullptr, nullptr, false, Special::kInclude},
    {"consoleTitle", &LaunchSettings::consoleTitle, nullptr, true,
     Special::kNone},
    {"workingDir", &LaunchSettings::workingDir, nullptr, true, Special::kNone},
    {"javaSearch", &LaunchSettings::javaSearch, nullptr, false, Special::kNone},
    {"javaMinVersion", &LaunchSettings::javaMinVersion, nullptr, false,
     Special::kNone},
    {"javaMaxVersion", &LaunchSettings::javaMaxVersion, nullptr, false,
     Special::kNone},
    {"downloadUrl", &LaunchSettings::downloadUrl, nullptr, false,
     Special::kNone},
    // A path to open, not a command-line word: no quotes around it.
    {"logFile", nullptr, nullptr, false, Special::kLogFile},
    {"javaInProcess", nullptr, nullptr, false, Special::kSwitch,
     &LaunchSettings::javaInProcess},
    {"startupCache", nullptr, nullptr, false, Special::kSwitch,
     &LaunchSettings::startupCache},
};

// The value of a yes-or-no keyword: on, off, or none when it is neither.
std::optional<bool> SwitchValue(const std::string& value) {
  static const char* const kWords[] = {"yes", "true", "1", "no", "false", "0"};
  for (int i = 0; i < 6; ++i) {
    if (EqualsIgnoringCase(Trim(value), kWords[i])) return i < 3;
  }
  return std::nullopt;
}

// `path` below `startDir` unless it is absolute already (a drive, a root or
// a network path).
std::string AbsolutePath(const std::string& path, const std::string& startDir) {
  return IsAbsolutePath(path) || startDir.empty() ? path
                                                  : startDir + "\\" + path;
}

// Whether `name` is a name of dot-separated identifiers, as modules and
// classes have ('$' counts as a letter, and so does any byte beyond ASCII,
// for the letters of other alphabets).
bool IsQualifiedName(const std::string& name) {
  bool start = true;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        u == '_' || u == '$' || u >= 0x80;
    if (c == '.' && !start) {
      start = true;
    } else if (letter || (IsDigit(c) && !start)) {
      start = false;
    } else {
      return false;
    }
  }
  return !start;
}

// "module" or "module/class".
bool IsModuleEntry(const std::string& value) {
  const std::size_t slash = value.find('/');
  return IsQualifiedName(value.substr(0, slash)) &&
         (slash == std::string::npos ||
          IsQualifiedName(value.substr(slash + 1)));
}

const KeywordRule* MatchKeyword(const std::string& key) {
  for (const KeywordRule& rule : kKeywords) {
    if (key.rfind(rule.word, 0) == 0) return &rule;
  }
  return nullptr;
}

// The canonical paths of the files being read. An include is checked
// against a sorted list of their hashes, so that it costs the same few steps
// however deep it is; only a hash that matches is compared as text (a hash
// set would do the same for more code than the launcher can spare).
class OpenFiles {
 public:
  bool Contains(const std::string& path) const {
    return std::binary_search(hashes_.begin(), hashes_.end(), Hash(path)) &&
           std::find(paths_.begin(), paths_.end(), path) != paths_.end();
  }
  std::size_t size() const { return paths_.size(); }
  // Files are read one inside the other, so the last one opened is the
  // first one closed.
  void Push(const std::string& path) {
    const std::uint64_t hash = Hash(path);
    hashes_.insert(std::lower_bound(hashes_.begin(), hashes_.end(), hash),
                   hash);
    paths_.push_back(path);
  }
  void Pop() {
    hashes_.erase(
        std::lower_bound(hashes_.begin(), hashes_.end(), Hash(paths_.back())));
    paths_.pop_back();
  }

 private:
  // FNV-1a.
  static std::uint64_t Hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037u;
    for (char c : text) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    return hash;
  }

  std::vector<std::uint64_t> hashes_;
  std::vector<std::string> paths_;
};

struct Reader {
  LaunchSettings& settings;
  PlatformOps& os;
  OpenFiles openFiles;
  // The file and the line being read, for a message about that line.
  const std::string* name;
  int lineNumber;
};

FatalExit ReadFileNested(const std::string& path, const std::string& canonical,
                         Reader& reader);

FatalExit Include(const std::string& path, Reader& reader) {
  std::string canonical = reader.os.files.CanonicalPath(path);
  bool cycle = reader.openFiles.Contains(canonical);
  if (cycle || reader.openFiles.size() >= kMaxIncludeDepth) {
    reader.os.ui.ShowMessageBox(
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

// Refuses the line being read in a box that names it and says why.
FatalExit RefuseLine(const std::string& key, const std::string& value,
                     const char* why, Reader& reader) {
  reader.os.ui.ShowMessageBox(
      Format("Line %d of the configuration file %s:\n%s %s\n%s",
             reader.lineNumber, reader.name->c_str(), key.c_str(),
             value.c_str(), why),
      "Error", kBoxError);
  return ExitCode::kConfigUnreadable;
}

FatalExit ApplyLine(const std::string& key, const std::string& value,
                    Reader& reader) {
  const KeywordRule* rule = MatchKeyword(key);
  if (!rule) return std::nullopt;
  LaunchSettings& s = reader.settings;
  PlatformOps& os = reader.os;
  // The application's entry is a class of the class path or a module,
  // not both.
  if ((rule->special == Special::kMainClass && s.mainmodule) ||
      (rule->special == Special::kMainModule && s.mainclass)) {
    return RefuseLine(key, value,
                      "A configuration names either a main class "
                      "(mainclass) or a module (mainmodule), not both.",
                      reader);
  }
  // Every value but an argument's passes through the expansion.
  std::string expanded = rule->special == Special::kArgument
                             ? value
                             : ExpandValue(value, rule->quote, s, os);
  if (rule->text) s.*(rule->text) = expanded;
  if (rule->list) (s.*(rule->list)).push_back(expanded);
  switch (rule->special) {
    case Special::kNone:
      break;
    case Special::kJavaPath:
      os.log.Note(Format("runtime: %s (javapath)", expanded.c_str()));
      break;
    case Special::kJavaVersion: {
      FatalExit fatal;
      s.javapath = FindRuntimeForVersion(s, os, &fatal);
      if (fatal) return fatal;
      if (!s.javapath || s.javapath->empty()) {
        return ExitCode::kNoRuntimeForVersion;
      }
      os.log.Note(Format("runtime: %s (javaVersion, registry key %s)",
                     s.javapath->c_str(), s.javaVersion->c_str()));
      break;
    }
    case Special::kAddJars:
      AddJarDirectory(expanded, s, os);
      break;
    case Special::kArgument:
      s.appArguments.push_back(expanded);
      break;
    case Special::kInclude:
      return Include(expanded, reader);
    case Special::kLogFile:
      s.logFile = AbsolutePath(expanded, s.startDir);
      break;
    case Special::kSwitch: {
      std::optional<bool> on = SwitchValue(expanded);
      if (!on) {
        return RefuseLine(key, value, "takes yes or no (or true, false, 1, 0).",
                          reader);
      }
      s.*(rule->flag) = *on;
      break;
    }
    case Special::kMainClass:
      break;
    case Special::kMainModule:
      s.mainmodule = Trim(expanded);
      if (!IsModuleEntry(*s.mainmodule)) {
        return RefuseLine(key, value,
                          "takes a module's name, or a module and its main "
                          "class (tool or tool/tool.Main).",
                          reader);
      }
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
  reader.os.log.Note(Format("configuration: %s", name.c_str()));
  reader.openFiles.Push(canonical);
  // An include reads another file in the middle of this one.
  const std::string* outerName = reader.name;
  const int outerLine = reader.lineNumber;
  reader.name = &name;
  reader.lineNumber = 1;
  for (std::string& line : SplitConfigLines(content)) {
    // A piece of an overlong line ends without its line feed.
    const bool ends = !line.empty() && line.back() == '\n';
    FatalExit fatal = ApplyConfigLine(std::move(line), reader);
    if (fatal) return fatal;
    if (ends) ++reader.lineNumber;
  }
  reader.name = outerName;
  reader.lineNumber = outerLine;
  reader.openFiles.Pop();
  return std::nullopt;
}

FatalExit ReadFileNested(const std::string& path, const std::string& canonical,
                         Reader& reader) {
  PlatformOps& os = reader.os;
  if (reader.settings.debugMode) {
    os.ui.ShowMessageBox(path, "Reading Config file", kBoxPlain);
  }
  std::string content;
  std::string error;
  if (!os.files.ReadFile(path, &content, &error)) {
    os.ui.WriteErr(
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
    useEmbedded = !os.files.FileExists(path) && os.program.EmbeddedConfiguration(&embedded);
    if (useEmbedded) path = programPath + " (embedded)";
  }
  if (settings.debugMode) {
    os.ui.WriteOut(Format("reading app config %s\n", path.c_str()));
    os.ui.ShowMessageBox("[" + path + "]", "Reading App Config file", kBoxPlain);
  }
  if (!useEmbedded) return ReadConfigFile(path, settings, os);
  Reader reader{settings, os, {}, nullptr, 0};
  if (settings.debugMode) {
    os.ui.ShowMessageBox(path, "Reading Config file", kBoxPlain);
  }
  // No file path is spelled this way, so no include can loop back to it.
  return ReadConfigText(path, std::move(embedded), "<embedded>", reader);
}

FatalExit ReadConfigFile(const std::string& path, LaunchSettings& settings,
                         PlatformOps& os) {
  Reader reader{settings, os, {}, nullptr, 0};
  return ReadFileNested(path, os.files.CanonicalPath(path), reader);
}
