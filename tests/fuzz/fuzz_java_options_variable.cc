// JDK_JAVA_OPTIONS over fuzzed values: the splitter, then the whole reading
// with the value's own @words naming a file "a" that holds the value again.
// The first byte chooses the runtime's version.
#include <cstddef>
#include <cstdint>

#include "jvm/java_options_variable.h"
#include "tests/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const int versions[] = {0, 8, 17, 25};
  const int javaVersion = versions[data[0] % 4];
  const std::string value(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> words;
  const bool closed = SplitJdkJavaOptions(value, &words);
  const bool quoted = value.find_first_of("\"'") != std::string::npos;
  if (!closed && !quoted) __builtin_trap();
  std::size_t letters = 0;
  for (const std::string& word : words) {
    letters += word.size();
    // Without quotes no word holds whitespace, and none is empty.
    if (!quoted && (word.empty() ||
                    word.find_first_of(" \t\n\r\f\v") != std::string::npos)) {
      __builtin_trap();
    }
  }
  if (letters > value.size()) __builtin_trap();

  FakePlatform os;
  os.environment["JDK_JAVA_OPTIONS"] = value;
  os.files["a"].content = value;
  JdkJavaOptions read = ReadJdkJavaOptions(os, os, javaVersion);
  const std::string note = "NOTE: Picked up JDK_JAVA_OPTIONS: " + value + "\n";
  if (read.note != (javaVersion == 8 ? "" : note)) __builtin_trap();
  if (!read.error.empty() &&
      (read.error.rfind("Error: ", 0) != 0 || read.error.back() != '\n' ||
       !read.words.empty())) {
    __builtin_trap();
  }
  if (!closed && javaVersion != 8 && read.error.empty()) __builtin_trap();
  return 0;
}
