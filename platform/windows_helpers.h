#ifndef LAUNCHER_PLATFORM_WINDOWS_HELPERS_H_
#define LAUNCHER_PLATFORM_WINDOWS_HELPERS_H_

#include <windows.h>

#include <cstdint>
#include <string>

// Small pieces that several files of the Windows implementation share.

inline HANDLE ToHandle(std::uintptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Calls `query(capacity, buffer)`, a Win32 call that returns the length of
// its result without the NUL on success, the size it needs (with the NUL)
// when the buffer is too small and 0 on failure, until the result fits; the
// value may grow between two calls.
template <typename Query>
bool QueryGrowing(Query query, std::string* result) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD length = query(static_cast<DWORD>(buffer.size()), &buffer[0]);
    if (length == 0) return false;
    if (length < buffer.size()) {
      buffer.resize(length);
      *result = std::move(buffer);
      return true;
    }
    buffer.assign(length, '\0');
  }
}

#endif  // LAUNCHER_PLATFORM_WINDOWS_HELPERS_H_
