#include "runtime/java_version.h"

#include <algorithm>

#include "text/text_helpers.h"

namespace {

// More digits than this cannot be a version part and would overflow.
constexpr std::size_t kMaxPartDigits = 9;

}  // namespace

std::optional<JavaVersion> ParseJavaVersion(const std::string& text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::nullopt;
  std::size_t end = text.find_last_not_of(' ') + 1;

  JavaVersion version;
  std::size_t i = begin;
  while (true) {
    std::size_t digitsStart = i;
    while (i < end && IsDigit(text[i])) ++i;
    std::size_t digits = i - digitsStart;
    if (digits == 0 || digits > kMaxPartDigits) return std::nullopt;
    version.parts.push_back(std::stol(text.substr(digitsStart, digits)));
    if (i == end) break;
    // '.' separates parts; '_' introduces the update of the old scheme.
    if (text[i] == '.' || text[i] == '_') {
      ++i;
      continue;
    }
    if (text[i] == '+' || text[i] == '-') break;  // build or pre-release
    return std::nullopt;
  }
  // Up to version 8 the feature number came second, after '1.'.
  if (version.parts.size() > 1 && version.parts[0] == 1) {
    version.parts.erase(version.parts.begin());
  }
  return version;
}

int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b) {
  std::size_t count = std::max(a.parts.size(), b.parts.size());
  for (std::size_t i = 0; i < count; ++i) {
    long x = i < a.parts.size() ? a.parts[i] : 0;
    long y = i < b.parts.size() ? b.parts[i] : 0;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

bool AtMostVersion(const JavaVersion& version, const JavaVersion& max) {
  JavaVersion head = version;
  if (head.parts.size() > max.parts.size()) {
    head.parts.resize(max.parts.size());
  }
  return CompareJavaVersions(head, max) <= 0;
}

std::string JavaVersionText(const JavaVersion& version) {
  std::string text;
  for (long part : version.parts) {
    if (!text.empty()) text += '.';
    text += std::to_string(part);
  }
  return text;
}
