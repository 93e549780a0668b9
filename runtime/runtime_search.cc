#include "runtime/runtime_search.h"

#include <cctype>
#include <vector>

#include "launcher/text_format.h"
#include "runtime/java_version.h"
#include "runtime/registry_lookup.h"

namespace {

// Registry paths can be as long as the longest Windows path.
constexpr std::size_t kHomeValueMaxBytes = 32768;

// Where a registry place finds runtimes: one subkey per runtime below
// `root`, whose name is usually its version; the home is the value `value` of
// the key root\name`below`.
struct RegistryLayout {
  const char* root;
  const char* below;
  const char* value;
};

constexpr RegistryLayout kJavaSoftLayouts[] = {
    {"SOFTWARE\\JavaSoft\\Java Runtime Environment", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\Java Development Kit", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\JDK", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\JRE", "", "JavaHome"},
};

constexpr RegistryLayout kVendorLayouts[] = {
    {"SOFTWARE\\Eclipse Adoptium\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Eclipse Adoptium\\JRE", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Microsoft\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Azul Systems\\Zulu", "", "InstallationPath"},
};

// A 64-bit runtime registers only in the 64-bit view, which a 32-bit
// launcher does not see unless it asks for it.
constexpr RegistryView kViews[] = {RegistryView::k64, RegistryView::k32};

// A runtime home that a place points at.
struct Finding {
  std::string home;    // absolute, backslashes
  std::string origin;  // where it was found, for traces and the report
  std::optional<std::string> versionName;  // registry subkey name
};

// What one place held: its runtime homes, and lines for the report about
// what it held that is no runtime home at all.
struct PlaceResult {
  std::vector<Finding> findings;
  std::vector<std::string> notes;
};

struct Bounds {
  std::optional<JavaVersion> min;
  std::optional<JavaVersion> max;
};

struct Search {
  const LaunchSettings& settings;
  PlatformOps& os;
  Bounds bounds;
  std::string report;  // what every place held, for the failure box
};

std::string Trim(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string item = Trim(list.substr(start, end - start));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

bool IsAbsolute(const std::string& path) {
  if (!path.empty() && path[0] == '\\') return true;  // root or network
  return path.size() >= 2 && path[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(path[0]));
}

// A folder as written (quotes, forward slashes, a final backslash) turned
// into an absolute path. The runtime path is the first token of the child's
// command line, and Windows looks for a relative one beside the launcher's
// executable first, which could start another runtime than the one checked.
std::string AbsoluteFolder(std::string folder, const std::string& startDir) {
  folder = Trim(folder);
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = Trim(folder.substr(1, folder.size() - 2));
  }
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  if (IsAbsolute(folder) || startDir.empty()) return folder;
  while (folder.rfind(".\\", 0) == 0) folder.erase(0, 2);
  if (folder == ".") return startDir;
  return startDir + "\\" + folder;
}

const char* RuntimeExecutableName(const LaunchSettings& settings) {
  return settings.debugMode ? "java.exe" : "javaw.exe";
}

const char* ViewName(RegistryView view) {
  return view == RegistryView::k64 ? "64-bit view" : "32-bit view";
}

// --- the places

PlaceResult FolderPlace(const std::string& folder, const Search& search) {
  return {{{AbsoluteFolder(folder, search.settings.startDir), "folder", {}}},
          {}};
}

PlaceResult VariablePlace(const std::string& name, Search& search) {
  PlaceResult result;
  std::optional<std::string> value =
      name.empty() ? std::nullopt : search.os.Environment(name);
  if (!value || Trim(*value).empty()) {
    result.notes.push_back(name.empty() ? "no variable named"
                                        : name + " is not set");
    return result;
  }
  result.findings.push_back(
      {AbsoluteFolder(*value, search.settings.startDir), name, {}});
  return result;
}

PlaceResult PathPlace(Search& search) {
  PlaceResult result;
  std::optional<std::string> path = search.os.Environment("PATH");
  for (const std::string& entry : SplitList(path.value_or(""))) {
    std::string dir = AbsoluteFolder(entry, search.settings.startDir);
    std::string executable = dir + "\\javaw.exe";
    if (!search.os.FileExists(executable)) continue;
    // Only a runtime's own bin folder leads to its home; copies of javaw.exe
    // elsewhere (a system folder, a folder of links) do not.
    std::size_t slash = dir.rfind('\\');
    if (slash == std::string::npos ||
        !EqualsIgnoringCase(dir.substr(slash + 1), "bin")) {
      result.notes.push_back(executable + ": not in a runtime's bin folder");
      continue;
    }
    result.findings.push_back({dir.substr(0, slash), "PATH", {}});
  }
  if (result.findings.empty() && result.notes.empty()) {
    result.notes.push_back("no javaw.exe on PATH");
  }
  return result;
}

void ReadLayout(const RegistryLayout& layout, RegistryView view, Search& search,
                PlaceResult* result) {
  PlatformOps& os = search.os;
  RegKey root = 0;
  if (!os.OpenRegistryKey(layout.root, view, &root)) return;
  std::uint32_t count = 0;
  if (!os.CountSubkeys(root, &count)) count = 0;
  std::vector<std::string> names;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (os.EnumerateSubkey(root, i, &name)) names.push_back(name);
  }
  os.CloseRegistryKey(root);

  for (const std::string& name : names) {
    const std::string keyPath =
        std::string(layout.root) + "\\" + name + layout.below;
    const std::string origin = keyPath + ", " + ViewName(view);
    RegKey key = 0;
    if (!os.OpenRegistryKey(keyPath, view, &key)) continue;
    std::string home;
    bool read =
        os.QueryRegistryValue(key, layout.value, kHomeValueMaxBytes, &home);
    os.CloseRegistryKey(key);
    if (!read || Trim(home).empty()) {
      result->notes.push_back(origin + ": no " + layout.value);
      continue;
    }
    result->findings.push_back(
        {AbsoluteFolder(home, search.settings.startDir), origin, name});
  }
}

template <std::size_t N>
PlaceResult RegistryPlace(const RegistryLayout (&layouts)[N], Search& search) {
  PlaceResult result;
  for (RegistryView view : kViews) {
    for (const RegistryLayout& layout : layouts) {
      ReadLayout(layout, view, search, &result);
    }
  }
  if (result.findings.empty() && result.notes.empty()) {
    result.notes.push_back("no runtime registered");
  }
  return result;
}

PlaceResult SearchPlace(const std::string& place, Search& search) {
  if (place.rfind("env:", 0) == 0)
    return VariablePlace(place.substr(4), search);
  if (place == "path") return PathPlace(search);
  if (place == "registry") return RegistryPlace(kJavaSoftLayouts, search);
  if (place == "vendors") return RegistryPlace(kVendorLayouts, search);
  return FolderPlace(place, search);
}

// --- judging the candidates

// The version a runtime's release file states (JAVA_VERSION="17.0.9").
std::optional<JavaVersion> ReleaseFileVersion(const std::string& home,
                                              PlatformOps& os) {
  std::string content;
  std::string error;
  if (!os.ReadFile(home + "\\release", &content, &error)) return std::nullopt;
  const std::string key = "JAVA_VERSION=";
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key, 0) == 0) {
      std::string value = Trim(line.substr(key.size()));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return ParseJavaVersion(value);
    }
    start = end + 1;
  }
  return std::nullopt;
}

struct Candidate {
  Finding finding;
  std::optional<JavaVersion> version;
  std::string rejection;  // empty when the candidate can be used
};

Candidate Judge(const Finding& finding, Search& search) {
  Candidate candidate{finding, std::nullopt, std::string()};
  const Bounds& bounds = search.bounds;
  const std::string executable =
      std::string("bin\\") + RuntimeExecutableName(search.settings);
  // A registry entry can outlive the runtime that wrote it.
  if (!search.os.FileExists(finding.home + "\\" + executable)) {
    candidate.rejection = "no " + executable;
    return candidate;
  }
  if (finding.versionName) {
    candidate.version = ParseJavaVersion(*finding.versionName);
  }
  if (!candidate.version) {
    candidate.version = ReleaseFileVersion(finding.home, search.os);
  }
  if (!candidate.version) {
    if (bounds.min || bounds.max) candidate.rejection = "version unknown";
    return candidate;
  }
  if (bounds.min && CompareJavaVersions(*candidate.version, *bounds.min) < 0) {
    candidate.rejection =
        "below the minimum " + Trim(*search.settings.javaMinVersion);
  } else if (bounds.max && !AtMostVersion(*candidate.version, *bounds.max)) {
    candidate.rejection =
        "above the maximum " + Trim(*search.settings.javaMaxVersion);
  }
  return candidate;
}

std::string VersionOf(const Candidate& candidate) {
  return candidate.version ? JavaVersionText(*candidate.version) : "unknown";
}

void Trace(const Search& search, const std::string& line) {
  if (search.settings.debugMode) search.os.WriteOut(line + "\n");
}

std::string Describe(const Candidate& candidate) {
  return candidate.finding.home + " (version " + VersionOf(candidate) + ", " +
         candidate.finding.origin + ")";
}

// The same runtime is often registered more than once (both views on 32-bit
// Windows, '1.8' and '1.8.0_201' for one install); it counts once, with the
// most precise version its names give.
std::vector<Finding> WithoutDuplicates(const std::vector<Finding>& findings,
                                       Search& search) {
  std::vector<Finding> unique;
  std::vector<std::string> canonical;
  for (const Finding& finding : findings) {
    std::string path = search.os.CanonicalPath(finding.home);
    std::size_t i = 0;
    while (i < canonical.size() && canonical[i] != path) ++i;
    if (i == canonical.size()) {
      unique.push_back(finding);
      canonical.push_back(path);
      continue;
    }
    Trace(search, "javaSearch: " + finding.home + " (" + finding.origin +
                      "): counted once");
    std::optional<JavaVersion> seen =
        unique[i].versionName ? ParseJavaVersion(*unique[i].versionName)
                              : std::nullopt;
    std::optional<JavaVersion> now =
        finding.versionName ? ParseJavaVersion(*finding.versionName)
                            : std::nullopt;
    // The first spelling of the home stays; only the version name moves.
    if (now && (!seen || CompareJavaVersions(*now, *seen) > 0)) {
      unique[i].origin = finding.origin;
      unique[i].versionName = finding.versionName;
    }
  }
  return unique;
}

// Whether `a` is a better choice than `b` within one place: a known version
// beats an unknown one, a higher version a lower one; ties keep the first.
bool Better(const Candidate& a, const Candidate& b) {
  if (!a.version) return false;
  if (!b.version) return true;
  return CompareJavaVersions(*a.version, *b.version) > 0;
}

std::optional<std::string> SearchOnePlace(const std::string& place,
                                          Search& search) {
  Trace(search, "javaSearch: place " + place);
  PlaceResult result = SearchPlace(place, search);
  std::vector<Candidate> candidates;
  for (const Finding& finding : WithoutDuplicates(result.findings, search)) {
    candidates.push_back(Judge(finding, search));
  }
  const Candidate* best = nullptr;
  for (const Candidate& candidate : candidates) {
    if (candidate.rejection.empty() && (!best || Better(candidate, *best))) {
      best = &candidate;
    }
  }

  search.report += place + ":\n";
  for (const std::string& note : result.notes) {
    Trace(search, "javaSearch: " + note);
    search.report += "    " + note + "\n";
  }
  for (const Candidate& candidate : candidates) {
    std::string verdict = &candidate == best ? "taken"
                          : candidate.rejection.empty()
                              ? "skipped, a higher version is here"
                              : "skipped, " + candidate.rejection;
    Trace(search, "javaSearch: " + Describe(candidate) + ": " + verdict);
    search.report +=
        "    " + Describe(candidate) + ": " + candidate.rejection + "\n";
  }
  if (!best) return std::nullopt;
  return best->finding.home;
}

// --- bounds and the failure

bool ReadBound(const std::optional<std::string>& text, const char* keyword,
               std::optional<JavaVersion>* bound, PlatformOps& os) {
  if (!text) return true;
  *bound = ParseJavaVersion(*text);
  if (*bound) return true;
  os.ShowMessageBox(
      Format("The %s value \"%s\" is not a Java version.\nWrite it as, for "
             "example, 11, 17.0.9 or 1.8.0_201.",
             keyword, text->c_str()),
      "Error!", kBoxError);
  return false;
}

bool ReadBounds(const LaunchSettings& settings, PlatformOps& os,
                Bounds* bounds) {
  if (!ReadBound(settings.javaMinVersion, "javaMinVersion", &bounds->min, os) ||
      !ReadBound(settings.javaMaxVersion, "javaMaxVersion", &bounds->max, os)) {
    return false;
  }
  if (bounds->min && bounds->max &&
      !AtMostVersion(*bounds->min, *bounds->max)) {
    os.ShowMessageBox(
        Format("The javaMinVersion %s is above the javaMaxVersion %s, so no "
               "Java runtime can match.",
               Trim(*settings.javaMinVersion).c_str(),
               Trim(*settings.javaMaxVersion).c_str()),
        "Error!", kBoxError);
    return false;
  }
  return true;
}

const char* ApplicationName(const LaunchSettings& settings) {
  if (settings.appname && !settings.appname->empty()) {
    return settings.appname->c_str();
  }
  return OrNull(settings.mainclass ? &*settings.mainclass : nullptr);
}

// The same question as for a missing registry runtime, offering the
// application's own download page.
void AskSearchDownload(const std::string& url, const LaunchSettings& settings,
                       PlatformOps& os) {
  const std::string question = Format(
      "%s requires the Java Runtime Environment version %s\nDo you want to "
      "download it?",
      ApplicationName(settings), SearchVersionText(settings).c_str());
  if (os.ShowMessageBox(question, "Java Runtime Environment Not Found",
                        kBoxYesNoError) != kAnswerYes) {
    return;
  }
  // A quote would end the URL's argument early and pass the rest to the URL
  // handler as further arguments; %22 is the same character inside a URL.
  std::string safe;
  for (char c : url) safe += c == '"' ? std::string("%22") : std::string(1, c);
  StartedProcess handler = os.StartProcess(
      Format("rundll32 url.dll,FileProtocolHandler \"%s\"", safe.c_str()),
      std::nullopt, std::nullopt);
  if (handler.ok) os.CloseProcess(handler.handle);
}

}  // namespace

std::string SearchVersionText(const LaunchSettings& settings) {
  std::string min = Trim(settings.javaMinVersion.value_or(""));
  std::string max = Trim(settings.javaMaxVersion.value_or(""));
  if (!min.empty() && !max.empty()) {
    return min == max ? min : min + " to " + max;
  }
  if (!min.empty()) return min + " or later";
  if (!max.empty()) return max + " or earlier";
  return "any";
}

std::optional<std::string> FindRuntimeBySearch(const LaunchSettings& settings,
                                               PlatformOps& os) {
  Search search{settings, os, {}, std::string()};
  if (!ReadBounds(settings, os, &search.bounds)) return std::nullopt;
  const std::vector<std::string> places =
      SplitList(settings.javaSearch.value_or(""));
  Trace(search, "javaSearch: version " + SearchVersionText(settings));
  for (const std::string& place : places) {
    std::optional<std::string> home = SearchOnePlace(place, search);
    if (home) return RuntimeExecutableFromHome(*home, settings, os);
  }

  const bool bounded = settings.javaMinVersion || settings.javaMaxVersion;
  std::string text =
      bounded ? "No Java runtime of version " + SearchVersionText(settings) +
                    " was found.\n\nPlaces searched:\n"
              : std::string("No Java runtime was found.\n\nPlaces searched:\n");
  text +=
      places.empty() ? "    none (javaSearch lists no place)\n" : search.report;
  os.ShowMessageBox(text, "Error!", kBoxError);
  const std::string url = Trim(settings.downloadUrl.value_or(""));
  if (!url.empty()) AskSearchDownload(url, settings, os);
  return std::nullopt;
}
