#ifndef LAUNCHER_PLATFORM_LATE_BOUND_CALLS_H_
#define LAUNCHER_PLATFORM_LATE_BOUND_CALLS_H_

#include <windows.h>

// System calls looked up at run time rather than imported, for one reason:
// to keep DLLs off the launcher's start. Each DLL a program imports is loaded
// (with the DLLs it brings) before the program's first instruction, and under
// Wine that is a noticeable part of the launcher's own start.
// (The launcher has one thread, so what was looked up is kept in statics.)

// The address of `name` in `module` as a `Function`; nullptr when the module
// is missing or lacks it.
template <typename Function>
Function LookUpCall(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// USER32, loaded on first use: loading it costs more than all the rest of
// the launcher's own start, and its first use is usually the wait for the
// started application, so the load overlaps the application's start-up
// instead of delaying it. Nullptr when it cannot be loaded.
HMODULE User32();

// The registry calls the launcher makes. KERNEL32 has exported them since
// Windows 7 (Wine's does too); taking them from there spares the process
// ADVAPI32 and the DLLs it brings with it. Older systems have them in
// ADVAPI32 only, which is then loaded.
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

#endif  // LAUNCHER_PLATFORM_LATE_BOUND_CALLS_H_
