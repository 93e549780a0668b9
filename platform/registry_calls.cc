#include "platform/registry_calls.h"

namespace {

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
  return *function != nullptr;
}

// The launcher has one thread, so plain statics hold what was looked up.
RegistryCalls g_calls;
bool g_looked_up = false;
bool g_found = false;

}  // namespace

bool RegistryCallsFrom(HMODULE module, RegistryCalls* calls) {
  if (module == nullptr) return false;
  return Resolve(module, "RegOpenKeyExA", &calls->openKey) &&
         Resolve(module, "RegQueryValueExA", &calls->queryValue) &&
         Resolve(module, "RegQueryInfoKeyA", &calls->queryInfo) &&
         Resolve(module, "RegEnumKeyExA", &calls->enumerateKeys) &&
         Resolve(module, "RegCloseKey", &calls->closeKey);
}

const RegistryCalls* SystemRegistryCalls() {
  if (!g_looked_up) {
    g_looked_up = true;
    g_found = RegistryCallsFrom(GetModuleHandleA("kernel32.dll"), &g_calls) ||
              RegistryCallsFrom(LoadLibraryA("advapi32.dll"), &g_calls);
  }
  return g_found ? &g_calls : nullptr;
}
