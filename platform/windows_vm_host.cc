#include <windows.h>

#include <cstdio>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"

namespace {

// The universal C library (Java 11 and later print with it): its stream
// `index`, nullptr when it is not loaded. Its one formatter behind all its
// printf functions returns, with this option, the full length of a text cut
// to fit, as vsnprintf does.
using IobElement = void*(__cdecl*)(unsigned);
using CommonVsprintf = int(__cdecl*)(unsigned long long options, char* buffer,
                                     std::size_t count, const char* format,
                                     void* locale, va_list args);
constexpr unsigned long long kStandardSnprintfBehaviour = 2;

HMODULE UniversalRuntime() { return GetModuleHandleA("ucrtbase.dll"); }

const void* UniversalStream(unsigned index) {
  IobElement element =
      LookUpCall<IobElement>(UniversalRuntime(), "__acrt_iob_func");
  return element != nullptr ? element(index) : nullptr;
}

// Whether a FILE* of the VM's C library is its standard output. A VM built
// with this launcher's C library shares its streams; the others keep theirs
// in an array whose second element is standard output: the universal C
// runtime hands out its elements one by one, the older Visual C++ runtimes
// (Java 8 to 10) the array's start, whose elements have the layout of this
// C library's FILE.
bool IsVmStandardOutput(const void* stream) {
  if (stream == stdout || stream == UniversalStream(1)) return true;
  using IobStart = char*(__cdecl*)();
  for (const char* runtime : {"msvcr120.dll", "msvcr110.dll", "msvcr100.dll"}) {
    IobStart start =
        LookUpCall<IobStart>(GetModuleHandleA(runtime), "__iob_func");
    if (start != nullptr && stream == start() + sizeof(FILE)) return true;
  }
  return false;
}

}  // namespace

bool WindowsVmHost::LoadLibraryWithDependencies(
    const std::string& path, const std::string& dependencyFolder,
    LibraryHandle* library, std::uint32_t* errorCode) {
  // The library's own folder comes first for what it imports (the altered
  // search path of an absolute path), then the folder set here; neither the
  // launcher's folder nor the current directory is searched before them.
  // The folder stays set: the VM loads more of its libraries later, and
  // they need the same neighbours.
  SetDllDirectoryA(dependencyFolder.c_str());
  HMODULE loaded =
      LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (loaded == nullptr) {
    *errorCode = GetLastError();
    return false;
  }
  *library = reinterpret_cast<LibraryHandle>(loaded);
  return true;
}

void* WindowsVmHost::LibraryFunction(LibraryHandle library, const char* name) {
  return LookUpCall<void*>(reinterpret_cast<HMODULE>(library), name);
}

std::string WindowsVmHost::FormatVmText(const void* vmFile, const char* format,
                                        va_list args) {
  // A VM that prints to a stream of the universal C library formats by its
  // C99 rules (%zu, %lld...); the older Visual C++ libraries (Java 8 to 10)
  // by Microsoft's (%I64d, %Iu...), which this launcher's own msvcrt.dll
  // shares with them.
  CommonVsprintf common =
      vmFile == UniversalStream(1) || vmFile == UniversalStream(2)
          ? LookUpCall<CommonVsprintf>(UniversalRuntime(),
                                       "__stdio_common_vsprintf")
          : nullptr;
  va_list measure;
  va_copy(measure, args);
  const int length =
      common ? common(kStandardSnprintfBehaviour, nullptr, 0, format, nullptr,
                      measure)
             : _vscprintf(format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  va_list again;
  va_copy(again, args);
  if (common) {
    common(kStandardSnprintfBehaviour, &text[0], text.size(), format, nullptr,
           again);
  } else {
    _vsnprintf(&text[0], text.size(), format, again);
  }
  va_end(again);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

VmStream WindowsVmHost::StreamOf(const void* vmFile) {
  return IsVmStandardOutput(vmFile) ? VmStream::kOutput : VmStream::kError;
}

void WindowsVmHost::WriteVmOutput(VmStream stream, const std::string& text) {
  // The process's handles, not this C library's streams: they are the pipes
  // that UseOutputPipes set, if any, as they are the VM's.
  DWORD written = 0;
  WriteFile(GetStdHandle(stream == VmStream::kOutput ? STD_OUTPUT_HANDLE
                                                     : STD_ERROR_HANDLE),
            text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
