#include "runtime/runtime_search.h"

#include <cctype>
#include <vector>

#include "runtime/download_prompt.h"
#include "runtime/java_version.h"
#include "runtime/jvm_library.h"
#include "runtime/registry_lookup.h"
#include "runtime/release_file.h"
#include "runtime/search_places.h"
#include "text/text_helpers.h"

namespace {

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

// --- judging the candidates

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
  if (!search.os.files.FileExists(finding.home + "\\" + executable)) {
    candidate.rejection = "no " + executable;
    return candidate;
  }
  // A VM run in the launcher's own process must be of its architecture.
  if (search.settings.javaInProcess) {
    const JvmLibrary jvm = FindJvmLibrary(finding.home, "", search.os.files,
                                          search.os.program);
    candidate.rejection = jvm.path.empty() ? "no jvm.dll" : jvm.misfit;
    if (!candidate.rejection.empty()) return candidate;
  }
  if (finding.versionName) {
    candidate.version = ParseJavaVersion(*finding.versionName);
  }
  if (!candidate.version) {
    candidate.version = ReleaseFileVersion(finding.home, search.os.files);
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
  if (search.settings.debugMode) search.os.ui.WriteOut(line + "\n");
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
    std::string path = search.os.files.CanonicalPath(finding.home);
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

std::optional<Candidate> SearchOnePlace(const std::string& place,
                                        Search& search) {
  Trace(search, "javaSearch: place " + place);
  PlaceResult result = SearchPlace(place, search.settings, search.os);
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
  return *best;
}

// --- bounds and the failure

bool ReadBound(const std::optional<std::string>& text, const char* keyword,
               std::optional<JavaVersion>* bound, PlatformOps& os) {
  if (!text) return true;
  *bound = ParseJavaVersion(*text);
  if (*bound) return true;
  os.ui.ShowMessageBox(
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
    os.ui.ShowMessageBox(
        Format("The javaMinVersion %s is above the javaMaxVersion %s, so no "
               "Java runtime can match.",
               Trim(*settings.javaMinVersion).c_str(),
               Trim(*settings.javaMaxVersion).c_str()),
        "Error!", kBoxError);
    return false;
  }
  return true;
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

std::optional<std::string> FindRuntimeBySearch(
    const LaunchSettings& settings, PlatformOps& os,
    std::optional<JavaVersion>* version) {
  Search search{settings, os, {}, std::string()};
  if (!ReadBounds(settings, os, &search.bounds)) return std::nullopt;
  const std::vector<std::string> places =
      SplitList(settings.javaSearch.value_or(""));
  Trace(search, "javaSearch: version " + SearchVersionText(settings));
  for (const std::string& place : places) {
    std::optional<Candidate> found = SearchOnePlace(place, search);
    if (found) {
      std::string executable =
          RuntimeExecutableFromHome(found->finding.home, settings, os);
      os.log.Note(Format("runtime: %s (javaSearch place %s: %s)",
                         executable.c_str(), place.c_str(),
                         found->finding.origin.c_str()));
      if (version) *version = found->version;
      return executable;
    }
  }

  const bool bounded = settings.javaMinVersion || settings.javaMaxVersion;
  std::string text =
      bounded ? "No Java runtime of version " + SearchVersionText(settings) +
                    " was found.\n\nPlaces searched:\n"
              : std::string("No Java runtime was found.\n\nPlaces searched:\n");
  text +=
      places.empty() ? "    none (javaSearch lists no place)\n" : search.report;
  os.ui.ShowMessageBox(text, "Error!", kBoxError);
  const std::string url = Trim(settings.downloadUrl.value_or(""));
  // The same question as for a missing registry runtime, offering the
  // application's own download page.
  if (!url.empty() &&
      AskDownloadQuestion("Java Runtime Environment Not Found",
                          SearchVersionText(settings), url, settings, os)) {
    OpenUrl(url, os);
  }
  return std::nullopt;
}
