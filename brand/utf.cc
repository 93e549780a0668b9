#include "brand/utf.h"

#include <cstdint>

bool Utf8ToUtf16(const std::string& utf8, std::u16string* utf16) {
  utf16->clear();
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::uint8_t lead = static_cast<std::uint8_t>(utf8[i]);
    std::uint32_t cp;
    std::size_t extra;
    std::uint32_t minimum;
    if (lead < 0x80) {
      cp = lead, extra = 0, minimum = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
      return false;
    }
    if (extra > utf8.size() - i - 1) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      std::uint8_t next = static_cast<std::uint8_t>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      utf16->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      utf16->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      utf16->push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return true;
}

bool Utf16ToUtf8(const std::u16string& utf16, std::string* utf8) {
  utf8->clear();
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    std::uint32_t cp = utf16[i];
    if (cp >= 0xDC00 && cp <= 0xDFFF) return false;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 1 >= utf16.size()) return false;
      std::uint32_t low = utf16[i + 1];
      if (low < 0xDC00 || low > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      utf8->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      utf8->push_back(static_cast<char>(0xC0 | (cp >> 6)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      utf8->push_back(static_cast<char>(0xE0 | (cp >> 12)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      utf8->push_back(static_cast<char>(0xF0 | (cp >> 18)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return true;
}
