// ExpandValue over fuzzed values and environments. Input: first byte holds
// the quote and debug flags; then the value; then, after "\n", "NAME=VALUE"
// environment lines.
#include <cstddef>
#include <cstdint>

#include "config/value_expansion.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const bool quote = data[0] & 1;
  LaunchSettings settings;
  settings.debugMode = data[0] & 2;
  std::vector<std::string> lines =
      FuzzLines(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  FakePlatform os;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::size_t eq = lines[i].find('=');
    if (eq != std::string::npos) {
      os.environment[lines[i].substr(0, eq)] = lines[i].substr(eq + 1);
    }
  }
  const std::string& value = lines[0];
  std::string result = ExpandValue(value, quote, settings, os);
  // A value without a reference comes back as it was.
  if (value.find('$') == std::string::npos && result != value) {
    __builtin_trap();
  }
  // An expanded value holds no backslash.
  if (result != value && result.find('\\') != std::string::npos) {
    __builtin_trap();
  }
  return 0;
}
