// Reads an executable's resources through Windows' own functions and prints
// what it found as one JSON object:
//   strings           every version string the first translation has
//                     (GetFileVersionInfoW, VerQueryValueW), as UTF-8
//   file_version, product_version   the fixed numbers, [a, b, c, d]
//   icons             [width, height] of each image of icon group 101, as
//                     CreateIconFromResourceEx decodes it
//   best_48           the image LookupIconIdFromDirectoryEx picks at 48x48
//   manifest, config  the bytes of RT_MANIFEST 1 and RT_RCDATA 1, or null
// Usage: resource_probe FILE.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "json_text.h"

namespace {

const wchar_t* const kStrings[] = {
    L"CompanyName",  L"FileDescription",  L"FileVersion",  L"InternalName",
    L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};

std::string Utf8(const wchar_t* text) {
  char buf[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, nullptr,
                              nullptr);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

std::string Numbers(DWORD ms, DWORD ls) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "[%lu, %lu, %lu, %lu]", ms >> 16,
                ms & 0xffff, ls >> 16, ls & 0xffff);
  return buf;
}

std::string VersionFields(const std::string& path) {
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) {
    return "\"strings\": null";
  }
  DWORD handle = 0, size = GetFileVersionInfoSizeW(wide, &handle);
  std::vector<char> info(size + 1);
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* translation = nullptr;
  UINT length = 0;
  if (size == 0 ||
      !GetFileVersionInfoW(wide, 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed),
                      &length) ||
      !VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length)) {
    return "\"strings\": null";
  }
  char table[16];
  std::snprintf(table, sizeof table, "%04x%04x", translation[0],
                translation[1]);
  std::string out = "\"strings\": {";
  for (const wchar_t* name : kStrings) {
    std::wstring key = L"\\StringFileInfo\\" +
                       std::wstring(table, table + 8) + L"\\" + name;
    wchar_t* value = nullptr;
    if (VerQueryValueW(info.data(), key.c_str(),
                       reinterpret_cast<void**>(&value), &length)) {
      if (out.back() != '{') out += ", ";
      out += JsonString(Utf8(name)) + ": " + JsonString(Utf8(value));
    }
  }
  return out + "}, \"file_version\": " +
         Numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS) +
         ", \"product_version\": " +
         Numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
}

std::string Bytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return std::string();
  const char* data =
      static_cast<const char*>(LockResource(LoadResource(module, found)));
  return std::string(data, SizeofResource(module, found));
}

std::string Icons(HMODULE module) {
  std::string group = Bytes(module, MAKEINTRESOURCEA(101), RT_GROUP_ICON);
  if (group.size() < 6) return "\"icons\": null";
  PBYTE bits = reinterpret_cast<PBYTE>(&group[0]);
  std::string out = "\"icons\": [";
  WORD count = *reinterpret_cast<WORD*>(bits + 4);
  for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= group.size(); ++i) {
    WORD id = *reinterpret_cast<WORD*>(bits + 6 + 14 * i + 12);
    std::string image = Bytes(module, MAKEINTRESOURCEA(id), RT_ICON);
    HICON icon = image.empty() ? nullptr
                               : CreateIconFromResourceEx(
                                     reinterpret_cast<PBYTE>(&image[0]),
                                     image.size(), TRUE, 0x00030000, 0, 0,
                                     LR_DEFAULTCOLOR);
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (icon != nullptr && GetIconInfo(icon, &info)) {
      GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask,
                 sizeof bitmap, &bitmap);
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s[%ld, %ld]", i ? ", " : "",
                  bitmap.bmWidth, bitmap.bmHeight);
    out += buf;
  }
  char best[48];
  std::snprintf(best, sizeof best, "], \"best_48\": %d",
                LookupIconIdFromDirectoryEx(bits, TRUE, 48, 48,
                                            LR_DEFAULTCOLOR));
  return out + best;
}

std::string OrNull(const std::string& bytes) {
  return bytes.empty() ? "null" : JsonString(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return 3;
  std::printf("{%s, %s, \"manifest\": %s, \"config\": %s}\n",
              VersionFields(argv[1]).c_str(), Icons(module).c_str(),
              OrNull(Bytes(module, MAKEINTRESOURCEA(1),
                           MAKEINTRESOURCEA(24))).c_str(),
              OrNull(Bytes(module, MAKEINTRESOURCEA(1), RT_RCDATA)).c_str());
  return 0;
}
