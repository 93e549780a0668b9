#include "config/value_expansion.h"

#include "text/text_helpers.h"

namespace {

// Where the name after the '$' at `dollar` ends: at the first backslash after
// it anywhere in the value, else at the first forward slash after it, else at
// the end. Every other character up to there belongs to the name.
std::size_t SeparatorPosition(const std::string& text, std::size_t dollar) {
  std::size_t end = text.find('\\', dollar + 1);
  if (end == std::string::npos) end = text.find('/', dollar + 1);
  if (end == std::string::npos) end = text.size();
  return end;
}

bool EndsInSeparator(const std::string& text) {
  return !text.empty() && (text.back() == '/' || text.back() == '\\');
}

}  // namespace

std::string ExpandValue(const std::optional<std::string>& value, bool quote,
                        const LaunchSettings& settings, PlatformOps& os) {
  if (!value || value->empty()) return std::string();
  const std::string& text = *value;

  // Only the first reference is expanded; a later '$' is copied as written.
  const std::size_t dollar = text.find('$');
  if (dollar == std::string::npos) return text;
  const std::size_t separator = SeparatorPosition(text, dollar);

  // An '=' before the reference means the value is a "key=path" setting whose
  // path part must stay one word, so it is quoted whatever the caller asked.
  const std::size_t equals = text.find('=');
  const bool hasEquals = equals != std::string::npos;
  if (hasEquals && equals < dollar) quote = true;

  const std::string name = text.substr(dollar + 1, separator - dollar - 1);
  std::optional<std::string> variable;
  if (!name.empty()) variable = os.system.Environment(name);
  if (!variable) {
    if (settings.debugMode) {
      os.ui.ShowMessageBox(name, "Can't find variable", kBoxPlain);
    }
    return text;
  }

  const bool quoted = quote && variable->find(' ') != std::string::npos;
  std::string result;
  // Without an '=' the whole value is one word; with one, only the part from
  // the reference on is quoted, so that "key=" stays outside the quotes.
  if (quoted && !hasEquals) result += '"';
  result.append(text, 0, dollar);
  if (quoted && hasEquals) result += '"';
  result += *variable;
  // A variable that already ends in a separator absorbs the one written after
  // the reference, so '$DIR\lib' does not become 'dir//lib'.
  std::size_t rest = separator;
  if (EndsInSeparator(*variable) && separator < text.size()) ++rest;
  result.append(text, rest, std::string::npos);
  if (quoted) result += '"';

  if (settings.debugMode) {
    os.ui.ShowMessageBox(
        Format("arg [%s] expanded to [%s]\n", text.c_str(), result.c_str()),
        "Parse Path", kBoxPlain);
  }
  ToForwardSlashes(result);
  return result;
}

void ToForwardSlashes(std::string& text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
}
