#ifndef LAUNCHER_TESTS_E2E_JSON_TEXT_H_
#define LAUNCHER_TESTS_E2E_JSON_TEXT_H_

#include <cstdio>
#include <string>

// `text` as a JSON string. Every byte outside printable ASCII is written as
// \u00XX, so the Python side can decode the log as Latin-1 byte for byte.
inline std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    }
  }
  out += '"';
  return out;
}

// A C text as a JSON string, or null for a null pointer.
inline std::string JsonString(const char* text) {
  return text == nullptr ? "null" : JsonString(std::string(text));
}

#endif  // LAUNCHER_TESTS_E2E_JSON_TEXT_H_
