#include "config/value_expansion.h"

// Placeholder until expansion lands: values are taken as written.
std::string ExpandValue(const std::optional<std::string>& value, bool,
                        const LaunchSettings&, PlatformOps&) {
  return value ? *value : std::string();
}

void ToForwardSlashes(std::string& text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
}
