#include "jvm/vm_options.h"

#include <cstring>

#include "text/command_words.h"
#include "text/text_helpers.h"

namespace {

// The options of the module system that the java command takes with their
// value as the next word; the VM takes them only as "--opt=value".
bool TakesNextWord(const std::string& word) {
  static const char* const kOptions[] = {
      "--add-opens",     "--add-exports",  "--add-reads",
      "--add-modules",   "--module-path",  "--upgrade-module-path",
      "--limit-modules", "--patch-module", "--enable-native-access"};
  for (const char* option : kOptions) {
    if (word == option) return true;
  }
  return false;
}

// The bytes that "-Xss<digits>[kKmMgG]" names; 0 for any other form, which
// the VM then refuses in its own words.
std::size_t StackBytes(const std::string& word) {
  std::size_t bytes = 0;
  std::size_t i = 4;
  for (; i < word.size() && IsDigit(word[i]); ++i) {
    std::size_t more = bytes * 10 + static_cast<std::size_t>(word[i] - '0');
    if (more / 10 != bytes) return 0;
    bytes = more;
  }
  if (i == 4) return 0;
  if (i + 1 == word.size()) {
    const char* unit = std::strchr("kKmMgG", word[i]);
    if (unit == nullptr) return 0;
    unsigned shift = static_cast<unsigned>(10 * (1 + (unit - "kKmMgG") / 2));
    if (bytes > (static_cast<std::size_t>(-1) >> shift)) return 0;
    bytes <<= shift;
  } else if (i != word.size()) {
    return 0;
  }
  return bytes;
}

}  // namespace

VmOptions TranslateVmParams(const std::vector<std::string>& vmParams) {
  std::vector<std::string> words;
  for (const std::string& param : vmParams) {
    for (std::string& word : SplitCommandWords(param)) {
      words.push_back(std::move(word));
    }
  }
  VmOptions result;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    bool valueFollows = i + 1 < words.size();
    if (StartsWith(word, "--class-path=")) {
      result.classPath.push_back(word.substr(13));
    } else if (valueFollows && (word == "-cp" || word == "-classpath" ||
                                word == "--class-path")) {
      result.classPath.push_back(words[++i]);
    } else if (valueFollows && word == "-p") {
      result.options.push_back("--module-path=" + words[++i]);
    } else if (valueFollows && TakesNextWord(word)) {
      result.options.push_back(word + '=' + words[++i]);
    } else {
      if (StartsWith(word, "-Xss")) result.stackBytes = StackBytes(word);
      result.options.push_back(word);
    }
  }
  return result;
}
