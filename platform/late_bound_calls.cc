#include "platform/late_bound_calls.h"

namespace {

// A DLL loaded the first time it is asked for, and only then.
struct LateModule {
  const char* name;
  bool tried;
  HMODULE handle;
};

HMODULE Load(LateModule& module) {
  if (!module.tried) {
    module.tried = true;
    module.handle = LoadLibraryA(module.name);
  }
  return module.handle;
}

LateModule g_user32 = {"user32.dll", false, nullptr};
LateModule g_advapi32 = {"advapi32.dll", false, nullptr};

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function* function) {
  *function = LookUpCall<Function>(module, name);
  return *function != nullptr;
}

RegistryCalls g_registryCalls;
bool g_registryLookedUp = false;
bool g_registryFound = false;

}  // namespace

HMODULE User32() { return Load(g_user32); }

bool RegistryCallsFrom(HMODULE module, RegistryCalls* calls) {
  return Resolve(module, "RegOpenKeyExA", &calls->openKey) &&
         Resolve(module, "RegQueryValueExA", &calls->queryValue) &&
         Resolve(module, "RegQueryInfoKeyA", &calls->queryInfo) &&
         Resolve(module, "RegEnumKeyExA", &calls->enumerateKeys) &&
         Resolve(module, "RegCloseKey", &calls->closeKey);
}

const RegistryCalls* SystemRegistryCalls() {
  if (!g_registryLookedUp) {
    g_registryLookedUp = true;
    g_registryFound =
        RegistryCallsFrom(GetModuleHandleA("kernel32.dll"), &g_registryCalls) ||
        RegistryCallsFrom(Load(g_advapi32), &g_registryCalls);
  }
  return g_registryFound ? &g_registryCalls : nullptr;
}
