#include <windows.h>

#include <cwchar>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"
#include "platform/windows_helpers.h"
#include "resources/resource_ids.h"

namespace {

// The C runtime's splitter of the UTF-16 command line, which msvcrt.dll has
// whether or not the program began with a wide entry point. (Looked up, not
// declared: the runtime's headers declare it with a type of their own, and
// two declarations stop the link-time optimiser.)
struct WideStartupInfo {
  int newMode;
};
using WideMainArguments = int(__cdecl*)(int*, wchar_t***, wchar_t***, int,
                                        WideStartupInfo*);

}  // namespace

std::string WindowsProgram::ModulePath() {
  std::string path;
  QueryGrowing(
      [](DWORD capacity, char* buffer) {
        // A cut result fills the buffer; asking again with more room says
        // so, as QueryGrowing expects.
        DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
        return length >= capacity ? capacity + MAX_PATH : length;
      },
      &path);
  return path;
}

std::string WindowsProgram::OwnCommandLine() { return GetCommandLineA(); }

std::vector<std::string> WindowsProgram::WideArguments() {
  // The C runtime's own splitting of the UTF-16 command line, by the rules
  // that gave the 8-bit arguments.
  int count = 0;
  wchar_t** arguments = nullptr;
  wchar_t** environment = nullptr;
  WideStartupInfo startup = {0};
  WideMainArguments split = LookUpCall<WideMainArguments>(
      GetModuleHandleA("msvcrt.dll"), "__wgetmainargs");
  if (split == nullptr ||
      split(&count, &arguments, &environment, 0, &startup) < 0 ||
      arguments == nullptr) {
    return {};
  }
  std::vector<std::string> wide;
  for (int i = 0; i < count; ++i) {
    std::string argument(reinterpret_cast<const char*>(arguments[i]),
                         2 * std::wcslen(arguments[i]));
    wide.push_back(std::move(argument));
  }
  return wide;
}

bool WindowsProgram::EmbeddedConfiguration(std::string* content) {
  // Resources of the executable itself: KERNEL32 calls, no DLL to load.
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kConfigResourceId),
                              MAKEINTRESOURCEA(kConfigResourceType));
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const char* data =
      loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return false;
  content->assign(data, SizeofResource(nullptr, found));
  return true;
}

bool WindowsProgram::CarriesArchive() {
  return FindResourceA(nullptr, MAKEINTRESOURCEA(kArchiveResourceId),
                       MAKEINTRESOURCEA(kConfigResourceType)) != nullptr;
}

bool WindowsProgram::Is64BitProcess() { return sizeof(void*) == 8; }

std::uint32_t WindowsProgram::ProcessId() { return GetCurrentProcessId(); }
