#ifndef LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_
#define LAUNCHER_RUNTIME_REGISTRY_LOOKUP_H_

#include <cstddef>
#include <optional>
#include <string>

#include "launcher/launch_settings.h"
#include "platform/platform_ops.h"

// Where installed runtimes record themselves, under HKEY_LOCAL_MACHINE.
inline constexpr char kRuntimeRootKey[] =
    "SOFTWARE\\JavaSoft\\Java Runtime Environment";

// The registry sizes the lookups allow for the values they read: a longer
// "CurrentVersion" or "JavaHome" counts as unreadable.
inline constexpr std::size_t kCurrentVersionMaxBytes = 255;
inline constexpr std::size_t kJavaHomeMaxBytes = 2048;

// One registry key opened for reading (default view), closed on Close() or
// when the holder goes out of scope, so that no path that returns or unwinds
// leaves a key open. (Ending the process releases its keys anyway.)
class ScopedRegistryKey {
 public:
  explicit ScopedRegistryKey(PlatformOps& os) : os_(os) {}
  ~ScopedRegistryKey() { Close(); }
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

  // Opens HKEY_LOCAL_MACHINE\`path`, closing any key held before; false when
  // it cannot be opened.
  bool Open(const std::string& path);
  // The open key; only meaningful after a successful Open().
  RegKey get() const { return key_; }
  // Closes the key now; nothing happens when none is open.
  void Close();

 private:
  PlatformOps& os_;
  RegKey key_ = 0;
  bool open_ = false;
};

// The key path of a version below the runtime root key: root\`version`.
std::string RuntimeVersionKeyPath(const std::string& version);

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
