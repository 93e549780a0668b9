// Reads a whole configuration, with nested includes, from fuzzed files,
// environment and registry, through the launcher's entry routine.
//
// Input: parts separated by "\n==\n". Part 0 is C:\App\Tool.config; parts 1
// to n-2 are the files "f1", "f2"... that it may include; the last part holds
// "NAME=VALUE" environment lines, "R:NAME=HOME" lines that install a registry
// runtime version NAME with that JavaHome, "CV=NAME" for CurrentVersion, and
// "D:PATTERN=NAME,NAME" directory listings.
#include <cstddef>
#include <cstdint>

#include "launcher/command_line.h"
#include "launcher/launcher_main.h"
#include "runtime/registry_lookup.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<std::string> parts = SplitFuzzInput(data, size, "\n==\n");
  FakePlatform os;
  os.currentDirectory = "C:\\App";
  os.files["C:\\App\\Tool.config"].content = parts[0];
  for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
    os.files["f" + std::to_string(i)].content = parts[i];
  }
  if (parts.size() > 1) {
    for (const std::string& line : FuzzLines(parts.back())) {
      std::size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      std::string name = line.substr(0, eq), value = line.substr(eq + 1);
      if (name.rfind("R:", 0) == 0) {
        os.SetValue(std::string(kRuntimeRootKey) + "\\" + name.substr(2),
                    "JavaHome", value);
      } else if (name == "CV") {
        os.SetValue(kRuntimeRootKey, "CurrentVersion", value);
      } else if (name.rfind("D:", 0) == 0) {
        std::vector<DirEntry>& entries = os.listings[name.substr(2)];
        for (const std::string& entry : FuzzLines(value)) {
          entries.push_back({entry, entry.empty() ? kAttributeDirectory : 0u});
        }
      } else {
        os.environment[name] = value;
      }
    }
  }
  os.answers = {6, 7, 6, 7};
  os.runs = {{999, 0}, {999, 9}, {1, 0}};
  os.majorVersion = size % 2 ? 6 : 5;

  LaunchSettings settings;
  std::vector<std::string> args = {"C:\\App\\Tool.exe", "arg one"};
  if (size % 3 == 0) args.push_back("-d");
  const int code = LauncherMain(args, settings, os);
  if (code != 0 && code != 2 && code != 5 && code != 11) __builtin_trap();
  // Whatever was started stayed within what Windows accepts, and no key was
  // left open on a path that returned.
  for (const FakePlatform::Start& start : os.starts) {
    if (start.commandLine.size() > kMaxCommandLineLength) __builtin_trap();
  }
  return 0;
}
