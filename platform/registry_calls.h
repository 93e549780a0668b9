#ifndef LAUNCHER_PLATFORM_REGISTRY_CALLS_H_
#define LAUNCHER_PLATFORM_REGISTRY_CALLS_H_

#include <windows.h>

// The registry calls the launcher makes, looked up at run time rather than
// imported. KERNEL32 has exported them since Windows 7 (Wine's does too);
// taking them from there spares the process ADVAPI32 and the DLLs it brings
// with it, a noticeable part of the launcher's own start under Wine. Older
// systems have them in ADVAPI32 only, which is then loaded.
struct RegistryCalls {
  decltype(&RegOpenKeyExA) openKey;
  decltype(&RegQueryValueExA) queryValue;
  decltype(&RegQueryInfoKeyA) queryInfo;
  decltype(&RegEnumKeyExA) enumerateKeys;
  decltype(&RegCloseKey) closeKey;
};

// Fills `calls` from `module`; false when the module lacks any of them.
bool RegistryCallsFrom(HMODULE module, RegistryCalls* calls);

// The calls from KERNEL32 when it has them all, else from ADVAPI32; nullptr
// when neither can be had. Looked up on first use.
const RegistryCalls* SystemRegistryCalls();

#endif  // LAUNCHER_PLATFORM_REGISTRY_CALLS_H_
