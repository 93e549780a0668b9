// Prints as JSON what Windows' own functions read from FILE.exe: "strings",
// the version strings NAME... of the first translation (UTF-16LE bytes, null
// when missing, through GetFileVersionInfoW and VerQueryValueW); "version",
// the fixed file and product version; "icons", [width, height] of each image
// of group 101 as CreateIconFromResourceEx decodes it; "config", RT_RCDATA 1;
// "manifest", RT_MANIFEST 1; "assemblies", the identities of the assemblies
// of the activation context that Windows makes from that manifest (the
// file's own, then those it depends on), or the error number when it makes
// none (a dependency that the system lacks, or has for other processors).
// Usage: resource_probe FILE.exe NAME...
#include <windows.h>

#include <cstdio>
#include <string>

#include "json_text.h"

namespace {

std::string Data(HMODULE module, int id, int type) {
  HRSRC r = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
  if (r == nullptr) return std::string();
  return std::string(
      static_cast<const char*>(LockResource(LoadResource(module, r))),
      SizeofResource(module, r));
}

// The identities of the activation context's assemblies as a JSON array, or
// the error number.
std::string Assemblies(const wchar_t* file) {
  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = file;
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  if (context == INVALID_HANDLE_VALUE) return std::to_string(GetLastError());
  using ContextInfo = ACTIVATION_CONTEXT_DETAILED_INFORMATION;
  using AssemblyInfo = ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION;
  alignas(8) char buffer[4096];
  SIZE_T size = 0;
  DWORD count = 0;
  if (QueryActCtxW(0, context, nullptr, ActivationContextDetailedInformation,
                   buffer, sizeof buffer, &size)) {
    count = reinterpret_cast<ContextInfo*>(buffer)->ulAssemblyCount;
  }
  std::string list = "[";
  for (DWORD i = 1; i <= count; ++i) {
    char identity[1024] = "";
    if (QueryActCtxW(0, context, &i,
                     AssemblyDetailedInformationInActivationContext, buffer,
                     sizeof buffer, &size)) {
      WideCharToMultiByte(CP_UTF8, 0,
                          reinterpret_cast<AssemblyInfo*>(buffer)
                              ->lpAssemblyEncodedAssemblyIdentity,
                          -1, identity, sizeof identity, nullptr, nullptr);
    }
    list += (i > 1 ? ", " : "") + JsonString(identity);
  }
  ReleaseActCtx(context);
  return list + "]";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  DWORD unused = 0, size = GetFileVersionInfoSizeW(argv[1], &unused);
  std::string info(size + 1, '\0');
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* lang = nullptr;
  UINT length = 0;
  HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr ||
      !GetFileVersionInfoW(argv[1], 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", (void**)&fixed, &length) ||
      !VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      (void**)&lang, &length)) {
    return 2;
  }
  wchar_t prefix[40];
  wsprintfW(prefix, L"\\StringFileInfo\\%04x%04x\\", lang[0], lang[1]);
  std::printf("{\"strings\": [");
  for (int i = 2; i < argc; ++i) {
    wchar_t* value = nullptr;
    std::string text = "null";
    if (VerQueryValueW(info.data(), (prefix + std::wstring(argv[i])).c_str(),
                       (void**)&value, &length)) {
      text = JsonString(std::string((const char*)value, 2 * lstrlenW(value)));
    }
    std::printf("%s%s", i > 2 ? ", " : "", text.c_str());
  }
  std::printf("], \"version\": [%lu, %lu, %lu, %lu], \"icons\": [",
              fixed->dwFileVersionMS, fixed->dwFileVersionLS,
              fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  std::string group = Data(module, 101, 14);
  for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {
    std::string image = Data(module, *(WORD*)&group[at + 12], 3);
    HICON icon = CreateIconFromResourceEx((PBYTE)image.data(), image.size(),
                                          TRUE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR);
    ICONINFO icon_info = {};
    BITMAP bitmap = {};
    if (icon != nullptr && GetIconInfo(icon, &icon_info))
      GetObjectW(icon_info.hbmColor, sizeof bitmap, &bitmap);
    std::printf("%s[%ld, %ld]", at > 6 ? ", " : "", bitmap.bmWidth,
                bitmap.bmHeight);
  }
  std::printf("], \"config\": %s, \"manifest\": %s, \"assemblies\": %s}\n",
              JsonString(Data(module, 1, 10)).c_str(),
              JsonString(Data(module, 1, 24)).c_str(),
              Assemblies(argv[1]).c_str());
  return 0;
}
