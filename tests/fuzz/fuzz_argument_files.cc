// @argfiles over fuzzed file contents. The input is the file "a"; its own
// words, after "@a", are the option words expanded, so that the @words it
// holds name files that exist ("@a") and files that do not. The first byte
// chooses the runtime's version.
#include <cstddef>
#include <cstdint>

#include "jvm/argument_files.h"
#include "tests/fake_platform.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The words of a text that holds no quote, backslash, '#' or NUL.
std::vector<std::string> PlainWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + ' ') {
    if (!IsSpace(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const int versions[] = {0, 8, 17, 25};
  const int javaVersion = versions[data[0] % 4];
  const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> words = SplitArgumentFile(content);
  for (const std::string& word : words) {
    if (word.find('\0') != std::string::npos) __builtin_trap();
  }
  if (content.find_first_of(std::string("\"'\\#\0", 5)) == std::string::npos &&
      words != PlainWords(content)) {
    __builtin_trap();
  }

  FakePlatform os;
  os.files["a"].content = content;
  std::vector<std::string> given = {"@a"};
  given.insert(given.end(), words.begin(), words.end());
  std::vector<std::string> expanded;
  std::string error;
  if (ExpandArgumentFiles(given, javaVersion, os, &expanded, &error)) {
    // Before version 25 every word of the file is kept, in order.
    if (javaVersion == 8 || javaVersion == 17) {
      if (expanded.size() < words.size()) __builtin_trap();
      for (std::size_t i = 0; i < words.size(); ++i) {
        if (expanded[i] != words[i]) __builtin_trap();
      }
    }
  } else if (error.rfind("Error: could not open `", 0) != 0 ||
             error.back() != '\n' || !expanded.empty()) {
    __builtin_trap();
  }
  return 0;
}
