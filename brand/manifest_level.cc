#include "brand/manifest_level.h"

#include <cstring>

namespace {

constexpr char kElement[] = "requestedExecutionLevel";

bool Fail(std::string* error, const std::string& text) {
  *error = "manifest: " + text;
  return false;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
  return !IsSpace(c) && c != '/' && c != '>' && c != '=' && c != '<' &&
         c != '"' && c != '\'';
}

// Where the construct starting at `at` (a '<') ends, for the ones that may
// hold a '<' or '>' that is no markup.
std::size_t SkipSpecial(const std::string& text, std::size_t at) {
  static const struct {
    const char* open;
    const char* close;
  } kSpecial[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
  for (const auto& s : kSpecial) {
    if (text.compare(at, std::strlen(s.open), s.open) == 0) {
      std::size_t end = text.find(s.close, at + std::strlen(s.open));
      return end == std::string::npos ? text.size()
                                      : end + std::strlen(s.close);
    }
  }
  return std::string::npos;
}

// Finds the level attribute's value in the start tag whose attributes begin
// at `pos`; sets [valueStart, valueEnd) and returns true when present.
bool FindLevel(const std::string& text, std::size_t pos,
               std::size_t* valueStart, std::size_t* valueEnd) {
  while (pos < text.size()) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] == '>' || text[pos] == '/') {
      return false;
    }
    std::size_t nameStart = pos;
    while (pos < text.size() && IsNameChar(text[pos])) ++pos;
    std::string name = text.substr(nameStart, pos - nameStart);
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] != '=') return false;
    ++pos;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size() || (text[pos] != '"' && text[pos] != '\'')) {
      return false;
    }
    std::size_t close = text.find(text[pos], pos + 1);
    if (close == std::string::npos) return false;
    if (name == "level") {
      *valueStart = pos + 1;
      *valueEnd = close;
      return true;
    }
    pos = close + 1;
  }
  return false;
}

}  // namespace

bool IsExecutionLevel(const std::string& level) {
  return level == "asInvoker" || level == "highestAvailable" ||
         level == "requireAdministrator";
}

bool SetExecutionLevel(Bytes* manifest, const std::string& level,
                       std::string* error) {
  std::string text(manifest->begin(), manifest->end());
  std::string out;
  std::size_t copied = 0;
  int found = 0;
  std::size_t pos = 0;
  while ((pos = text.find('<', pos)) != std::string::npos) {
    std::size_t skip = SkipSpecial(text, pos);
    if (skip != std::string::npos) {
      pos = skip;
      continue;
    }
    std::size_t nameEnd = pos + 1;
    while (nameEnd < text.size() && IsNameChar(text[nameEnd])) ++nameEnd;
    std::string name = text.substr(pos + 1, nameEnd - pos - 1);
    std::size_t colon = name.rfind(':');
    if (colon != std::string::npos) name = name.substr(colon + 1);
    pos = nameEnd;
    if (name != kElement) continue;
    std::size_t valueStart = 0, valueEnd = 0;
    if (!FindLevel(text, nameEnd, &valueStart, &valueEnd)) {
      return Fail(error, "requestedExecutionLevel has no level attribute");
    }
    out.append(text, copied, valueStart - copied);
    out.append(level);
    copied = valueEnd;
    pos = valueEnd;
    ++found;
  }
  if (found == 0) {
    return Fail(error, "it has no requestedExecutionLevel element");
  }
  out.append(text, copied, std::string::npos);
  manifest->assign(out.begin(), out.end());
  return true;
}
