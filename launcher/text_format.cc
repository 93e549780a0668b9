#include "launcher/text_format.h"

#include <cstdarg>
#include <cstdio>

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list retry;
  va_copy(retry, args);
  // Nearly every text fits in a small buffer, which saves the second
  // formatting pass (formatting is most of the cost of a jar or a trace).
  char small[256];
  int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
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
