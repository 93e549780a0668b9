#include <windows.h>

#include <cstdio>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"

namespace {

void WriteStream(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

int WindowsUserInterface::ShowMessageBox(const std::string& text,
                                    const std::string& caption,
                                    unsigned style) {
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  MessageBoxFunction messageBox =
      LookUpCall<MessageBoxFunction>(User32(), "MessageBoxA");
  // Without USER32 nothing can be shown; 0 is no button, so not Yes.
  if (messageBox == nullptr) return 0;
  return messageBox(nullptr, text.c_str(), caption.c_str(), style);
}

void WindowsUserInterface::WriteOut(const std::string& text) {
  WriteStream(stdout, text);
}

void WindowsUserInterface::WriteErr(const std::string& text) {
  WriteStream(stderr, text);
}

void WindowsUserInterface::OpenConsole() {
  // The C library's streams were set up without a console; they are opened
  // on the new one. A VM library loaded later finds it by itself.
  if (!AllocConsole()) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}
