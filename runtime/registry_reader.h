#ifndef LAUNCHER_RUNTIME_REGISTRY_READER_H_
#define LAUNCHER_RUNTIME_REGISTRY_READER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/registry.h"

// The one reader of runtime registrations under HKEY_LOCAL_MACHINE. It shows
// nothing to the user: it says why a read failed, and each lookup (the
// classic one, the update-level choice, the search) words that its own way.

// Where installed runtimes record themselves.
inline constexpr char kRuntimeRootKey[] =
    "SOFTWARE\\JavaSoft\\Java Runtime Environment";

// The sizes the lookups allow for the values they read; a longer value counts
// as unreadable. The classic lookup reads "CurrentVersion" and "JavaHome"
// with the small sizes; the search allows a home as long as any Windows path.
inline constexpr std::size_t kCurrentVersionMaxBytes = 255;
inline constexpr std::size_t kJavaHomeMaxBytes = 2048;
inline constexpr std::size_t kSearchHomeMaxBytes = 32768;

// Why a read failed.
enum class RegistryError {
  kNone,
  kKeyNotOpened,     // the key does not exist or cannot be opened
  kValueUnreadable,  // no such value, or longer than allowed
};

// `parent`\`child`: the one way key paths are joined.
std::string JoinKeyPath(const std::string& parent, const std::string& child);

// Reads the value `name` of HKLM\`keyPath` in `view` as text of at most
// `maxBytes` bytes; the key is closed again before it returns.
RegistryError ReadRegistryText(const std::string& keyPath, const char* name,
                               std::size_t maxBytes, RegistryView view,
                               Registry& registry, std::string* text);

// The classic lookup's "JavaHome" of HKLM\`keyPath`, of at most
// kJavaHomeMaxBytes bytes. An empty home counts as unreadable: it would make
// the runtime path \bin\javaw.exe, a program at the root of the current
// drive.
RegistryError ReadJavaHome(const std::string& keyPath, Registry& registry,
                           std::string* home);

// The subkey names of HKLM\`keyPath` in `view`, in the registry's order: the
// name at position i is the subkey of enumeration index i, or the empty text
// when that name cannot be read (a key name is never empty). A key whose
// subkeys cannot be counted has none. False when the key cannot be opened.
bool ListSubkeys(const std::string& keyPath, RegistryView view,
                 Registry& registry, std::vector<std::string>* names);

// One registry key opened for reading, closed on Close() or when the holder
// goes out of scope, so that no path out of a read leaves a key open.
class ScopedRegistryKey {
 public:
  explicit ScopedRegistryKey(Registry& registry) : registry_(registry) {}
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
  Registry& registry_;
  RegKey key_ = 0;
  bool open_ = false;
};

#endif  // LAUNCHER_RUNTIME_REGISTRY_READER_H_
