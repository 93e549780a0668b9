#ifndef LAUNCHER_LAUNCHER_TEXT_FORMAT_H_
#define LAUNCHER_LAUNCHER_TEXT_FORMAT_H_

#include <optional>
#include <string>

// printf-style formatting into a growing string: nothing is cut and nothing
// overflows, whatever the lengths of the values.
std::string Format(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

// The text of an optional value the way the C library prints a missing one.
inline const char* OrNull(const std::optional<std::string>& text) {
  return text ? text->c_str() : "(null)";
}

#endif  // LAUNCHER_LAUNCHER_TEXT_FORMAT_H_
