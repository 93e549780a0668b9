#ifndef LAUNCHER_TESTS_E2E_WHOLE_FILE_H_
#define LAUNCHER_TESTS_E2E_WHOLE_FILE_H_

#include <windows.h>

#include <string>

// The whole content of a file, or the empty text when it cannot be opened.
// Others may be writing it at the same time (a log the stand-in appends to).
inline std::string ReadWholeFile(const std::string& path) {
  std::string data;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return data;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) {
    data.append(buf, got);
  }
  CloseHandle(h);
  return data;
}

#endif  // LAUNCHER_TESTS_E2E_WHOLE_FILE_H_
