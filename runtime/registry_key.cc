#include "runtime/registry_key.h"

bool ScopedRegistryKey::Open(const std::string& path, RegistryView view) {
  Close();
  open_ = os_.OpenRegistryKey(path, view, &key_);
  return open_;
}

void ScopedRegistryKey::Close() {
  if (!open_) return;
  open_ = false;
  os_.CloseRegistryKey(key_);
}
