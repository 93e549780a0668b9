#ifndef LAUNCHER_RUNTIME_SEARCH_PLACES_H_
#define LAUNCHER_RUNTIME_SEARCH_PLACES_H_

#include <optional>
#include <string>
#include <vector>

#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

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

// What one place of `javaSearch` holds: "env:NAME", "path", "registry",
// "vendors", or else a folder (relative to `startDir`, or absolute) that is a
// runtime home. Homes come back absolute, with backslashes.
PlaceResult SearchPlace(const std::string& place,
                        const LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_RUNTIME_SEARCH_PLACES_H_
