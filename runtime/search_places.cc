#include "runtime/search_places.h"

#include <cctype>

#include "runtime/registry_lookup.h"
#include "runtime/registry_reader.h"
#include "text/text_helpers.h"

namespace {

struct Place {
  const LaunchSettings& settings;
  PlatformOps& os;
};

// Where a registry place finds runtimes: one subkey per runtime below
// `root`, whose name is usually its version; the home is the value `value` of
// the key root\name`below`.
struct RegistryLayout {
  const char* root;
  const char* below;
  const char* value;
};

constexpr RegistryLayout kJavaSoftLayouts[] = {
    {kRuntimeRootKey, "", "JavaHome"},
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

const char* ViewName(RegistryView view) {
  return view == RegistryView::k64 ? "64-bit view" : "32-bit view";
}

// --- the places
//
// Every folder found is made absolute against the start directory: the
// runtime path is the first token of the child's command line, and Windows
// looks for a relative one beside the launcher's executable first, which
// could start another runtime than the one checked.

PlaceResult FolderPlace(const std::string& folder, const Place& search) {
  return {{{AbsoluteFolder(folder, search.settings.startDir), "folder", {}}},
          {}};
}

PlaceResult VariablePlace(const std::string& name, const Place& search) {
  PlaceResult result;
  std::optional<std::string> value =
      name.empty() ? std::nullopt : search.os.system.Environment(name);
  if (!value || Trim(*value).empty()) {
    result.notes.push_back(name.empty() ? "no variable named"
                                        : name + " is not set");
    return result;
  }
  result.findings.push_back(
      {AbsoluteFolder(*value, search.settings.startDir), name, {}});
  return result;
}

PlaceResult PathPlace(const Place& search) {
  PlaceResult result;
  std::optional<std::string> path = search.os.system.Environment("PATH");
  for (const std::string& entry : SplitList(path.value_or(""))) {
    std::string dir = AbsoluteFolder(entry, search.settings.startDir);
    std::string executable = dir + "\\" + kWindowlessRuntime;
    if (!search.os.files.FileExists(executable)) continue;
    // Only a runtime's own bin folder leads to its home; copies of the
    // runtime elsewhere (a system folder, a folder of links) do not.
    std::size_t slash = dir.rfind('\\');
    if (slash == std::string::npos ||
        !EqualsIgnoringCase(dir.substr(slash + 1), "bin")) {
      result.notes.push_back(executable + ": not in a runtime's bin folder");
      continue;
    }
    result.findings.push_back({dir.substr(0, slash), "PATH", {}});
  }
  if (result.findings.empty() && result.notes.empty()) {
    result.notes.push_back(std::string("no ") + kWindowlessRuntime +
                           " on PATH");
  }
  return result;
}

void ReadLayout(const RegistryLayout& layout, RegistryView view,
                const Place& search, PlaceResult* result) {
  std::vector<std::string> names;
  if (!ListSubkeys(layout.root, view, search.os.registry, &names)) return;
  for (const std::string& name : names) {
    if (name.empty()) continue;  // its name could not be read
    const std::string keyPath = JoinKeyPath(layout.root, name) + layout.below;
    const std::string origin = keyPath + ", " + ViewName(view);
    std::string home;
    RegistryError error = ReadRegistryText(
        keyPath, layout.value, kSearchHomeMaxBytes, view, search.os.registry, &home);
    if (error == RegistryError::kKeyNotOpened) continue;
    if (error != RegistryError::kNone || Trim(home).empty()) {
      result->notes.push_back(origin + ": no " + layout.value);
      continue;
    }
    result->findings.push_back(
        {AbsoluteFolder(home, search.settings.startDir), origin, name});
  }
}

template <std::size_t N>
PlaceResult RegistryPlace(const RegistryLayout (&layouts)[N],
                          const Place& search) {
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

}  // namespace

PlaceResult SearchPlace(const std::string& place,
                        const LaunchSettings& settings, PlatformOps& os) {
  const Place search{settings, os};
  if (place.rfind("env:", 0) == 0)
    return VariablePlace(place.substr(4), search);
  if (place == "path") return PathPlace(search);
  if (place == "registry") return RegistryPlace(kJavaSoftLayouts, search);
  if (place == "vendors") return RegistryPlace(kVendorLayouts, search);
  return FolderPlace(place, search);
}
