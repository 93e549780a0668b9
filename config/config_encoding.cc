#include "config/config_encoding.h"

#include <string_view>

#include "text/text_helpers.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf32LeMark("\xFF\xFE\0\0", 4);

bool BeginsWith(const std::string& content, std::string_view mark) {
  return content.compare(0, mark.size(), mark) == 0;
}

void ShowUnreadable(const std::string& text, PlatformOps& os) {
  os.ui.ShowMessageBox(text + "\nSave it as ANSI or UTF-8.", "Error", kBoxError);
}

// Converts one line at a time, so that a line with a character the code page
// lacks can be named. An odd final byte is half a character, which cannot be
// converted either.
bool ConvertUtf16Le(const std::string& path, std::string* content,
                    PlatformOps& os) {
  const std::string& bytes = *content;
  std::string text;
  int lineNumber = 1;
  std::size_t lineStart = kUtf16LeMark.size();
  std::size_t i = lineStart;
  bool converted = true;
  for (; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\x1a' && bytes[i + 1] == '\0') break;  // Ctrl-Z: the end
    if (bytes[i] != '\n' || bytes[i + 1] != '\0') continue;
    std::string ansi;
    converted =
        os.system.Utf16LeToAnsi(bytes.substr(lineStart, i + 2 - lineStart), &ansi);
    if (!converted) break;
    text += ansi;
    lineStart = i + 2;
    ++lineNumber;
  }
  if (converted) {
    // The last line, up to Ctrl-Z or the end (with an odd byte, if any).
    const std::size_t end = i + 1 < bytes.size() ? i : bytes.size();
    std::string ansi;
    converted =
        os.system.Utf16LeToAnsi(bytes.substr(lineStart, end - lineStart), &ansi);
    text += ansi;
  }
  if (!converted) {
    ShowUnreadable(
        Format("The configuration file %s is saved as UTF-16, and its line %d "
               "holds a character that this system's ANSI code page does not "
               "have.",
               path.c_str(), lineNumber),
        os);
    return false;
  }
  *content = std::move(text);
  return true;
}

}  // namespace

bool DecodeConfigText(const std::string& path, std::string* content,
                      PlatformOps& os) {
  // UTF-32 LE begins like UTF-16 LE, so it is told apart first.
  const char* unreadable = BeginsWith(*content, kUtf32LeMark) ? "UTF-32"
                           : BeginsWith(*content, kUtf16BeMark)
                               ? "UTF-16 big-endian"
                               : nullptr;
  if (unreadable) {
    ShowUnreadable(Format("The configuration file %s is saved as %s, which "
                          "the launcher cannot read.",
                          path.c_str(), unreadable),
                   os);
    return false;
  }
  if (BeginsWith(*content, kUtf8Mark)) {
    content->erase(0, kUtf8Mark.size());
    return true;
  }
  if (BeginsWith(*content, kUtf16LeMark)) {
    return ConvertUtf16Le(path, content, os);
  }
  return true;
}
