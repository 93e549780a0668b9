#ifndef LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_
#define LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_

#include <optional>
#include <string>

#include "settings/exit_codes.h"
#include "settings/launch_settings.h"
#include "platform/platform_ops.h"
#include "runtime/registry_reader.h"

// The key path of a version below the runtime root key: root\`version`.
std::string RuntimeVersionKeyPath(const std::string& version);

// The runtime's executables: the windowless one, and the console one, which
// shows the application's output.
inline constexpr char kWindowlessRuntime[] = "javaw.exe";
inline constexpr char kConsoleRuntime[] = "java.exe";

// The runtime executable's file name: kWindowlessRuntime, or kConsoleRuntime
// in debug mode and when the launcher shares its console.
const char* RuntimeExecutableName(const LaunchSettings& settings);

// The runtime executable below a runtime home: "home\bin\javaw.exe"
// ("java.exe" in debug mode), enclosed in double quotes when the home holds a
// space or `quoteAlways` is set.
std::string RuntimeExecutableFromHome(const std::string& home,
                                      const LaunchSettings& settings,
                                      PlatformOps& os);

// The executable of the registry's current runtime, or none (after telling
// the user why).
std::optional<std::string> FindDefaultRuntime(const LaunchSettings& settings,
                                              PlatformOps& os);

// The executable of the runtime that `javaVersion` asks for, or none (after
// telling the user why). May replace `javaVersion` with the best installed
// update; sets `fatal` (kRuntimeDownloadAsked, returning none) when the
// download question ends the run because no installed update is high enough.
std::optional<std::string> FindRuntimeForVersion(LaunchSettings& settings,
                                                 PlatformOps& os,
                                                 FatalExit* fatal);

#endif  // LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_
