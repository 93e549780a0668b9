#ifndef LAUNCHER_TESTS_FUZZ_FUZZ_INPUT_H_
#define LAUNCHER_TESTS_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Cuts a fuzz input into parts at a separator line, so that one input can
// carry several files, an environment and registry contents.
inline std::vector<std::string> SplitFuzzInput(const std::uint8_t* data,
                                               std::size_t size,
                                               const std::string& separator) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t at = input.find(separator, start);
    if (at == std::string::npos) {
      parts.push_back(input.substr(start));
      return parts;
    }
    parts.push_back(input.substr(start, at - start));
    start = at + separator.size();
  }
}

// The lines of a text, without their line feeds.
inline std::vector<std::string> FuzzLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

#endif  // LAUNCHER_TESTS_FUZZ_FUZZ_INPUT_H_
