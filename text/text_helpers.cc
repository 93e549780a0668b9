#include "text/text_helpers.h"

#include <cstdarg>
#include <cstdio>

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FormatList(const char* format, va_list args) {
  va_list retry;
  va_copy(retry, args);
  // Nearly every text fits in a small buffer, which saves the second
  // formatting pass (formatting is most of the cost of a jar or a trace).
  char small[256];
  int length = std::vsnprintf(small, sizeof small, format, args);
  std::string result;
  if (length > 0 && static_cast<std::size_t>(length) < sizeof small) {
    result.assign(small, static_cast<std::size_t>(length));
  } else if (length > 0) {
    result.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&result[0], result.size(), format, retry);
    result.resize(static_cast<std::size_t>(length));
  }
  va_end(retry);
  return result;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = FormatList(format, args);
  va_end(args);
  return result;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

std::string AbsoluteFolder(std::string folder, const std::string& base) {
  folder = Trim(folder);
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = Trim(folder.substr(1, folder.size() - 2));
  }
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  if (IsAbsolutePath(folder) || base.empty()) return folder;
  while (folder.rfind(".\\", 0) == 0) folder.erase(0, 2);
  if (folder == ".") return base;
  return base + "\\" + folder;
}

std::string FolderOf(const std::string& path) {
  const std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string item = Trim(list.substr(start, end - start));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}
