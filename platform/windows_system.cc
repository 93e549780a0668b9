#include <windows.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "platform/platform_windows.h"
#include "text/text_helpers.h"

namespace {

struct LocalFreer {
  void operator()(char* text) const { LocalFree(text); }
};
using LocalText = std::unique_ptr<char, LocalFreer>;

}  // namespace

unsigned WindowsSystem::SystemMajorVersion() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return 0;
  return info.dwMajorVersion;
}

std::optional<std::string> WindowsSystem::Environment(
    const std::string& name) {
  std::string buffer(256, '\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA(name.c_str(), &buffer[0],
                                           static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      // A variable that exists with an empty value also returns 0, but leaves
      // the error code alone.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length, '\0');
  }
}

void WindowsSystem::SetEnvironment(const std::string& name,
                                     const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void WindowsSystem::RemoveEnvironment(const std::string& name) {
  SetEnvironmentVariableA(name.c_str(), nullptr);
}

std::int64_t WindowsSystem::Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

std::string WindowsSystem::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return Format("%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
}

std::string WindowsSystem::ErrorMessage(std::uint32_t errorCode) {
  char* raw = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
  LocalText holder(raw);
  if (length == 0 || raw == nullptr) return "Unknown error";
  std::string text(raw, length);
  while (!text.empty() &&
         (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

bool WindowsSystem::Utf16LeToAnsi(const std::string& utf16le,
                                    std::string* ansi) {
  if (utf16le.size() % 2 != 0) return false;
  const int units = static_cast<int>(utf16le.size() / 2);
  // A code unit becomes at most three bytes (in a UTF-8 code page; two in
  // the double-byte ones), so one call with room for that does it.
  std::string converted(utf16le.size() / 2 * 3 + 1, '\0');
  // A system whose ANSI code page is UTF-8 has a form for every character;
  // that code page takes neither the best-fit flag nor the default-character
  // report, only the refusal of broken surrogates.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(
      CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
      reinterpret_cast<const wchar_t*>(utf16le.data()), units, &converted[0],
      static_cast<int>(converted.size()), nullptr,
      utf8 ? nullptr : &usedDefault);
  if ((size <= 0 && units > 0) || usedDefault) return false;
  converted.resize(units > 0 ? static_cast<std::size_t>(size) : 0);
  *ansi = std::move(converted);
  return true;
}

std::string WindowsSystem::AnsiToUtf16Le(const std::string& text) {
  // A byte becomes at most one UTF-16 code unit.
  std::string wide(2 * text.size() + 2, '\0');
  const int units = MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()),
      reinterpret_cast<wchar_t*>(&wide[0]), static_cast<int>(text.size() + 1));
  wide.resize(units > 0 ? 2 * units : 0);
  return wide;
}
