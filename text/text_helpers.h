#ifndef LAUNCHER_TEXT_TEXT_HELPERS_H_
#define LAUNCHER_TEXT_TEXT_HELPERS_H_

#include <cstdarg>
#include <optional>
#include <string>
#include <vector>

// General helpers over the launcher's 8-bit texts.

// printf-style formatting into a growing string: nothing is cut and nothing
// overflows, whatever the lengths of the values.
std::string Format(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
// The same over a va_list, which it leaves to the caller to end.
std::string FormatList(const char* format, va_list args)
    __attribute__((format(printf, 1, 0)));

// The text of an optional value the way the C library prints a missing one.
inline const char* OrNull(const std::optional<std::string>& text) {
  return text ? text->c_str() : "(null)";
}

// True when `text` begins with `prefix` (case-sensitive).
inline bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// A decimal digit '0' to '9', whatever the locale.
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when `a` and `b` are equal but for the case of ASCII letters, as
// Windows compares file names.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// True when `path` does not depend on the current directory: it begins with
// a drive ("C:\x", also "C:x") or is a root or network path ("\x", "/x",
// "\\server\share"), from character `from` on.
inline bool IsAbsolutePath(const std::string& path, std::size_t from = 0) {
  return (path.size() > from + 1 && path[from + 1] == ':') ||
         (path.size() > from && (path[from] == '\\' || path[from] == '/'));
}

// A folder as written (spaces and quotes around it, forward slashes, a final
// backslash) as an absolute path with backslashes: a relative one is put
// below `base` ("." and leading ".\" dropped); with an empty `base` it stays
// relative.
std::string AbsoluteFolder(std::string folder, const std::string& base);

// The folder that holds `path`: the text before its last backslash or
// slash; empty when there is none.
std::string FolderOf(const std::string& path);

// `text` without its leading and trailing spaces.
std::string Trim(const std::string& text);

// The non-empty items of a ';'-separated list, trimmed.
std::vector<std::string> SplitList(const std::string& list);

#endif  // LAUNCHER_TEXT_TEXT_HELPERS_H_
