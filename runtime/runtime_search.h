#ifndef LAUNCHER_RUNTIME_RUNTIME_SEARCH_H_
#define LAUNCHER_RUNTIME_RUNTIME_SEARCH_H_

#include <optional>
#include <string>

#include "runtime/java_version.h"
#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// Looks for a runtime in the places that `javaSearch` lists (';'-separated,
// tried in order): a folder that holds a runtime (relative to `startDir`, or
// absolute), "env:NAME" for a variable that names a runtime home, "path" for
// javaw.exe on PATH, "registry" for the JavaSoft registrations and "vendors"
// for those of other runtime builders, both registry places in the 64-bit
// view and then the 32-bit one. Within a place the highest version inside
// `javaMinVersion`..`javaMaxVersion` wins; the first place that has one ends
// the search.
//
// Returns the runtime executable as RuntimeExecutableFromHome gives it, or
// none after one "Error!" box: for a bound that is no version, or listing
// every place and what was wrong with what it held, followed by the download
// question when `downloadUrl` is set. Debug mode traces every candidate.
// `version`, when given, gets the found runtime's version as the search
// knew it (none when unknown).
std::optional<std::string> FindRuntimeBySearch(
    const LaunchSettings& settings, PlatformOps& os,
    std::optional<JavaVersion>* version = nullptr);

// The wanted versions as the download question words them: "11 to 17",
// "11 or later", "17 or earlier", or "any" without bounds.
std::string SearchVersionText(const LaunchSettings& settings);

#endif  // LAUNCHER_RUNTIME_RUNTIME_SEARCH_H_
