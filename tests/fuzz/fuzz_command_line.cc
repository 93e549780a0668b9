// Command-line assembly over fuzzed settings: the application arguments must
// come back out of the command line exactly as they went in. Input lines:
// flags, javapath, mainclass, then arguments (a line "--" switches from VM
// parameters to arguments).
#include <cstddef>
#include <cstdint>

#include "launcher/command_line.h"
#include "tests/crt_split.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<std::string> lines =
      FuzzLines(std::string(reinterpret_cast<const char*>(data), size));
  if (lines.size() < 3) return 0;
  LaunchSettings s;
  s.quoteAlways = !lines[0].empty() && (lines[0][0] & 1);
  s.javapath = lines[1];
  s.mainclass = lines[2];
  bool arguments = false;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    if (lines[i] == "--") {
      arguments = true;
    } else if (arguments) {
      s.appArguments.push_back(lines[i]);
    } else {
      s.vmParams.push_back(lines[i]);
    }
  }
  BuildCommandLine(s);
  // The round trip holds when the launcher's own pieces are single plain
  // tokens, which is what a working configuration gives.
  LaunchSettings plain = s;
  plain.javapath = "C:\\jre\\bin\\javaw.exe";
  plain.vmParams.clear();
  plain.mainclass = "app.Main";
  std::vector<std::string> split = SplitLikeCRuntime(BuildCommandLine(plain));
  std::vector<std::string> expected;
  for (const std::string& a : plain.appArguments) {
    if (!a.empty() || plain.quoteAlways) expected.push_back(a);
  }
  // javapath, -classpath, app.Main (no class path entries).
  if (split.size() != expected.size() + 3) __builtin_trap();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (split[i + 3] != expected[i]) __builtin_trap();
  }
  return 0;
}
