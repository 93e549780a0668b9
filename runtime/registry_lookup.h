#ifndef LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_
#define LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_

#include <cstddef>
#include <optional>
#include <string>

#include "launcher/launch_settings.h"
#include "platform/platform_ops.h"
#include "runtime/registry_key.h"

// The registry sizes the lookups allow for the values they read: a longer
// "CurrentVersion" or "JavaHome" counts as unreadable.
inline constexpr std::size_t kCurrentVersionMaxBytes = 255;
inline constexpr std::size_t kJavaHomeMaxBytes = 2048;

// The key path of a version below the runtime root key: root\`version`.
std::string RuntimeVersionKeyPath(const std::string& version);

// The runtime executable's file name: "javaw.exe", or in debug mode the
// console runtime "java.exe", which shows the application's output.
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

// The executable of the runtime that `javaVersion` asks for, or none. May
// replace `javaVersion` with the best installed update, and may end the
// process (exit code 11) when no installed update is high enough.
std::optional<std::string> FindRuntimeForVersion(LaunchSettings& settings,
                                                 PlatformOps& os);

#endif  // LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_
