#include "runtime/registry_reader.h"

#include <cstdint>

std::string JoinKeyPath(const std::string& parent, const std::string& child) {
  return parent + "\\" + child;
}

RegistryError ReadRegistryText(const std::string& keyPath, const char* name,
                               std::size_t maxBytes, RegistryView view,
                               Registry& registry, std::string* text) {
  ScopedRegistryKey key(registry);
  if (!key.Open(keyPath, view)) return RegistryError::kKeyNotOpened;
  if (!registry.QueryRegistryValue(key.get(), name, maxBytes, text)) {
    return RegistryError::kValueUnreadable;
  }
  return RegistryError::kNone;
}

RegistryError ReadJavaHome(const std::string& keyPath, Registry& registry,
                           std::string* home) {
  RegistryError error = ReadRegistryText(keyPath, "JavaHome", kJavaHomeMaxBytes,
                                         RegistryView::kDefault, registry, home);
  if (error == RegistryError::kNone && home->empty()) {
    return RegistryError::kValueUnreadable;
  }
  return error;
}

bool ListSubkeys(const std::string& keyPath, RegistryView view, Registry& registry,
                 std::vector<std::string>* names) {
  ScopedRegistryKey key(registry);
  if (!key.Open(keyPath, view)) return false;
  std::uint32_t count = 0;
  if (!registry.CountSubkeys(key.get(), &count)) count = 0;
  names->resize(count);
  for (std::uint32_t index = 0; index < count; ++index) {
    if (!registry.EnumerateSubkey(key.get(), index, &(*names)[index])) {
      (*names)[index].clear();
    }
  }
  return true;
}

bool ScopedRegistryKey::Open(const std::string& path, RegistryView view) {
  Close();
  open_ = registry_.OpenRegistryKey(path, view, &key_);
  return open_;
}

void ScopedRegistryKey::Close() {
  if (!open_) return;
  open_ = false;
  registry_.CloseRegistryKey(key_);
}
