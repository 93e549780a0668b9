#include <windows.h>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"

namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

bool WindowsRegistry::OpenRegistryKey(const std::string& path,
                                      RegistryView view, RegKey* key) {
  REGSAM access = KEY_READ;
  if (view == RegistryView::k64) access |= KEY_WOW64_64KEY;
  if (view == RegistryView::k32) access |= KEY_WOW64_32KEY;
  const RegistryCalls* registry = SystemRegistryCalls();
  HKEY opened = nullptr;
  if (registry == nullptr ||
      registry->openKey(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened) !=
          ERROR_SUCCESS) {
    return false;
  }
  *key = reinterpret_cast<RegKey>(opened);
  return true;
}

bool WindowsRegistry::QueryRegistryValue(RegKey key, const std::string& name,
                                         std::size_t maxBytes,
                                         std::string* text) {
  // One spare byte keeps the pointer valid for maxBytes 0; it is not offered
  // to the call.
  std::string buffer(maxBytes + 1, '\0');
  DWORD size = static_cast<DWORD>(maxBytes);
  // A key is open, so the calls were found.
  if (SystemRegistryCalls()->queryValue(
          ToHkey(key), name.c_str(), nullptr, nullptr,
          reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS) {
    return false;
  }
  // Windows stores a string without its NUL when it was written that way and
  // then returns it unterminated; only the size returned bounds the data.
  std::size_t length = size < maxBytes ? size : maxBytes;
  std::size_t nul = buffer.find('\0');
  if (nul < length) length = nul;
  buffer.resize(length);
  *text = std::move(buffer);
  return true;
}

bool WindowsRegistry::CountSubkeys(RegKey key, std::uint32_t* count) {
  DWORD subkeys = 0;
  if (SystemRegistryCalls()->queryInfo(
          ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
          nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  *count = subkeys;
  return true;
}

bool WindowsRegistry::EnumerateSubkey(RegKey key, std::uint32_t index,
                                      std::string* name) {
  // Key names have at most 255 characters; the whole buffer is offered so
  // that such a name and its NUL fit.
  char buffer[256];
  DWORD length = sizeof(buffer);
  if (SystemRegistryCalls()->enumerateKeys(ToHkey(key), index, buffer, &length,
                                           nullptr, nullptr, nullptr,
                                           nullptr) != ERROR_SUCCESS) {
    return false;
  }
  name->assign(buffer, length);
  return true;
}

void WindowsRegistry::CloseRegistryKey(RegKey key) {
  SystemRegistryCalls()->closeKey(ToHkey(key));
}
