#ifndef LAUNCHER_RUNTIME_REGISTRY_KEY_H_
#define LAUNCHER_RUNTIME_REGISTRY_KEY_H_

#include <string>

#include "platform/platform_ops.h"

// Where installed runtimes record themselves, under HKEY_LOCAL_MACHINE.
inline constexpr char kRuntimeRootKey[] =
    "SOFTWARE\\JavaSoft\\Java Runtime Environment";

// One registry key opened for reading, closed on Close() or when the holder
// goes out of scope, so that no path that returns or unwinds leaves a key
// open. (Ending the process releases its keys anyway.)
class ScopedRegistryKey {
 public:
  explicit ScopedRegistryKey(PlatformOps& os) : os_(os) {}
  ~ScopedRegistryKey() { Close(); }
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

  // Opens HKEY_LOCAL_MACHINE\`path` in `view`, closing any key held before;
  // false when it cannot be opened.
  bool Open(const std::string& path,
            RegistryView view = RegistryView::kDefault);
  // The open key; only meaningful after a successful Open().
  RegKey get() const { return key_; }
  // Closes the key now; nothing happens when none is open.
  void Close();

 private:
  PlatformOps& os_;
  RegKey key_ = 0;
  bool open_ = false;
};

#endif  // LAUNCHER_RUNTIME_REGISTRY_KEY_H_
