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

// Whether a FILE* of the VM's C library is its standard stream `index` (1:
// output, 2: error). A VM built with this launcher's C library shares its
// streams; the others keep theirs in an array: the universal C runtime
// hands out its elements one by one, the older Visual C++ runtimes (Java 8
// to 10) the array's start, whose elements have the layout of this C
// library's FILE.
bool IsVmStandardStream(const void* stream, unsigned index) {
  if (stream == (index == 1 ? stdout : stderr) ||
      stream == UniversalStream(index)) {
    return true;
  }
  using IobStart = char*(__cdecl*)();
  for (const char* runtime : {"msvcr120.dll", "msvcr110.dll", "msvcr100.dll"}) {
    IobStart start =
        LookUpCall<IobStart>(GetModuleHandleA(runtime), "__iob_func");
    if (start != nullptr && stream == start() + index * sizeof(FILE)) {
      return true;
    }
  }
  return false;
}

// The C library that a loaded library imports: the universal one (named
// by its API sets), an older Visual C++ one, or msvcrt.dll; nullptr when it
// imports none.
HMODULE ImportedRuntime(HMODULE library) {
  const BYTE* base = reinterpret_cast<const BYTE*>(library);
  const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (const IMAGE_IMPORT_DESCRIPTOR* import =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
               base + imports.VirtualAddress);
       import->Name != 0; ++import) {
    const char* name = reinterpret_cast<const char*>(base + import->Name);
    if (_strnicmp(name, "api-ms-win-crt-", 15) == 0) return UniversalRuntime();
    if (_strnicmp(name, "ucrtbase", 8) == 0 || _strnicmp(name, "msvcr", 5) == 0) {
      return GetModuleHandleA(name);
    }
  }
  return nullptr;
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
  vmRuntime_ = ImportedRuntime(loaded);
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
  if (IsVmStandardStream(vmFile, 1)) return VmStream::kOutput;
  if (IsVmStandardStream(vmFile, 2)) return VmStream::kError;
  return VmStream::kFile;
}

int WindowsVmHost::PrintToVmFile(const void* vmFile, const char* format,
                                 va_list args) {
  HMODULE runtime = static_cast<HMODULE>(vmRuntime_);
  FILE* file = static_cast<FILE*>(const_cast<void*>(vmFile));
  // The universal C library's vfprintf is a function of its headers over
  // this one export.
  using CommonVfprintf = int(__cdecl*)(unsigned long long options, FILE* file,
                                       const char* format, void* locale,
                                       va_list args);
  using Vfprintf = int(__cdecl*)(FILE* file, const char* format, va_list args);
  if (runtime != nullptr && runtime == UniversalRuntime()) {
    CommonVfprintf print =
        LookUpCall<CommonVfprintf>(runtime, "__stdio_common_vfprintf");
    return print != nullptr ? print(0, file, format, nullptr, args) : -1;
  }
  Vfprintf print = LookUpCall<Vfprintf>(runtime, "vfprintf");
  return print != nullptr ? print(file, format, args) : -1;
}

void WindowsVmHost::WriteVmOutput(VmStream stream, const std::string& text) {
  // The process's handles, not this C library's streams: they are the pipes
  // that UseOutputPipes set, if any, as they are the VM's.
  DWORD written = 0;
  WriteFile(GetStdHandle(stream == VmStream::kOutput ? STD_OUTPUT_HANDLE
                                                     : STD_ERROR_HANDLE),
            text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
