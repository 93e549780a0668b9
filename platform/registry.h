#ifndef LAUNCHER_PLATFORM_REGISTRY_H_
#define LAUNCHER_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <string>

// Reading HKEY_LOCAL_MACHINE, where runtimes are registered.

// Which registry view a key is opened in. The default view is the one of the
// launcher's own bitness; the others ask for the 64-bit or 32-bit view
// explicitly (KEY_WOW64_64KEY / KEY_WOW64_32KEY).
enum class RegistryView { kDefault, k64, k32 };

using RegKey = std::uintptr_t;

class Registry {
 public:
  // Opens HKEY_LOCAL_MACHINE\`path` for reading (KEY_READ) in `view`.
  virtual bool OpenRegistryKey(const std::string& path, RegistryView view,
                               RegKey* key) = 0;
  // Reads a value as text: the stored bytes up to the first NUL or the end of
  // the data, whatever the value's type. Fails when there is no such value or
  // its data are longer than `maxBytes`.
  virtual bool QueryRegistryValue(RegKey key, const std::string& name,
                                  std::size_t maxBytes, std::string* text) = 0;
  // The number of subkeys; false when it cannot be read.
  virtual bool CountSubkeys(RegKey key, std::uint32_t* count) = 0;
  // The name of the subkey at `index` (from 0) in the registry's order; fails
  // for a name longer than 255 characters or an index past the end.
  virtual bool EnumerateSubkey(RegKey key, std::uint32_t index,
                               std::string* name) = 0;
  virtual void CloseRegistryKey(RegKey key) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~Registry() = default;
};

#endif  // LAUNCHER_PLATFORM_REGISTRY_H_
