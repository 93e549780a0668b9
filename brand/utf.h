#ifndef LAUNCHER_BRAND_UTF_H_
#define LAUNCHER_BRAND_UTF_H_

// Conversions between UTF-8 (command line, file names, messages) and UTF-16
// (what Windows keeps in resources and hands to wmain).

#include <string>

// Converts strict UTF-8: refuses overlong forms, surrogates, code points
// past U+10FFFF and truncated sequences.
bool Utf8ToUtf16(const std::string& utf8, std::u16string* utf16);

// Converts UTF-16; refuses unpaired surrogates.
bool Utf16ToUtf8(const std::u16string& utf16, std::string* utf8);

#endif  // LAUNCHER_BRAND_UTF_H_
