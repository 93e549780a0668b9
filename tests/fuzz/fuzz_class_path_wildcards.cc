// Class path wildcards over a fuzzed list. Every directory the list names
// holds "a.jar" and "b.JAR" (and "." and "c.Jar", never taken), so an
// entry either stays or becomes two.
#include <cstddef>
#include <cstdint>

#include "jvm/class_path_wildcards.h"
#include "tests/fake_platform.h"

namespace {

// A fake whose every directory search finds the same entries.
struct EveryDirectory : FakePlatform {
  std::vector<DirEntry> FindFiles(const std::string& pattern) override {
    searches.push_back(pattern);
    return {{".", kAttributeDirectory}, {"a.jar", 0}, {"c.Jar", 0},
            {"b.JAR", kAttributeDirectory}};
  }
};

std::size_t Count(const std::string& text, char c) {
  std::size_t n = 0;
  for (char t : text) n += t == c;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const char separator = data[0] % 2 ? ';' : ':';
  const std::string list(reinterpret_cast<const char*>(data) + 1, size - 1);
  EveryDirectory os;
  const std::string expanded = ExpandClassPathWildcards(list, separator, os);
  // Each search adds one separator between its two jars.
  if (Count(expanded, separator) !=
      Count(list, separator) + os.searches.size()) {
    __builtin_trap();
  }
  if (os.searches.empty() && expanded != list) __builtin_trap();
  return 0;
}
