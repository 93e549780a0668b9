// Prints, as one JSON object, what Windows' own functions read from an
// executable's resources: "strings" (the first translation's version
// strings, GetFileVersionInfoW/VerQueryValueW, as UTF-8), "version" (the
// fixed file and product numbers), "icons" ([width, height] of each image of
// group 101 as CreateIconFromResourceEx decodes it), "manifest" and
// "config" (RT_MANIFEST 1 and RT_RCDATA 1 through FindResourceA).
// Usage: resource_probe FILE.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "json_text.h"

namespace {

std::string Utf8(const wchar_t* text) {
  char buf[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, nullptr,
                              nullptr);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

std::string Version(const char* path) {
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
  DWORD unused = 0, size = GetFileVersionInfoSizeW(wide, &unused);
  std::vector<char> info(size + 1);
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* lang = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(wide, 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", (void**)&fixed, &length) ||
      !VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      (void**)&lang, &length)) {
    return "\"strings\": null";
  }
  wchar_t prefix[40];
  wsprintfW(prefix, L"\\StringFileInfo\\%04x%04x\\", lang[0], lang[1]);
  std::string out = "\"strings\": {", separator;
  for (const wchar_t* name :
       {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
        L"LegalCopyright", L"OriginalFilename", L"ProductName",
        L"ProductVersion"}) {
    wchar_t* value = nullptr;
    if (VerQueryValueW(info.data(), (std::wstring(prefix) + name).c_str(),
                       (void**)&value, &length)) {
      out += separator + JsonString(Utf8(name)) + ": " +
             JsonString(Utf8(value));
      separator = ", ";
    }
  }
  char numbers[128];
  DWORD v[] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS,
               fixed->dwProductVersionMS, fixed->dwProductVersionLS};
  std::snprintf(numbers, sizeof numbers,
                "}, \"version\": [%lu, %lu, %lu, %lu, %lu, %lu, %lu, "
                "%lu]", v[0] >> 16, v[0] & 0xffff, v[1] >> 16, v[1] & 0xffff,
                v[2] >> 16, v[2] & 0xffff, v[3] >> 16, v[3] & 0xffff);
  return out + numbers;
}

std::string Data(HMODULE module, int id, LPCSTR type) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return std::string();
  return std::string(
      static_cast<const char*>(LockResource(LoadResource(module, found))),
      SizeofResource(module, found));
}

std::string Icons(HMODULE module) {
  std::string group = Data(module, 101, RT_GROUP_ICON), out = "[";
  for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {
    std::string image = Data(module, *(WORD*)&group[at + 12], RT_ICON);
    HICON icon = CreateIconFromResourceEx((PBYTE)image.data(), image.size(),
                                          TRUE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR);
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (icon != nullptr && GetIconInfo(icon, &info)) {
      GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    }
    char size[48];
    std::snprintf(size, sizeof size, "%s[%ld, %ld]", at > 6 ? ", " : "",
                  bitmap.bmWidth, bitmap.bmHeight);
    out += size;
  }
  return out + "]";
}

}  // namespace

int main(int argc, char** argv) {
  HMODULE module = argc == 2 ? LoadLibraryExA(argv[1], nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE)
                             : nullptr;
  if (module == nullptr) return 2;
  std::printf("{%s, \"icons\": %s, \"manifest\": %s, \"config\": %s}\n",
              Version(argv[1]).c_str(), Icons(module).c_str(),
              JsonString(Data(module, 1, MAKEINTRESOURCEA(24))).c_str(),
              JsonString(Data(module, 1, RT_RCDATA)).c_str());
  return 0;
}
