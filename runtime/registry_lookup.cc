#include "runtime/registry_lookup.h"

// Placeholder until the registry lookup lands.
std::string RuntimeExecutableFromHome(const std::string& home,
                                      const LaunchSettings& settings,
                                      PlatformOps&) {
  return home + (settings.debugMode ? "\\bin\\java.exe" : "\\bin\\javaw.exe");
}

std::optional<std::string> FindDefaultRuntime(const LaunchSettings&,
                                              PlatformOps& os) {
  os.ShowMessageBox("No Java Installation Found", "Error!", kBoxError);
  return std::nullopt;
}

std::optional<std::string> FindRuntimeForVersion(LaunchSettings&,
                                                 PlatformOps&) {
  return std::nullopt;
}
