// The update-level selection over fuzzed subkey names. Input lines: the first
// is javaVersion, every further one a subkey name in enumeration order.
#include <cstddef>
#include <cstdint>

#include "runtime/registry_lookup.h"
#include "runtime/update_selection.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<std::string> lines =
      FuzzLines(std::string(reinterpret_cast<const char*>(data), size));
  FakePlatform os;
  os.AddKey(kRuntimeRootKey);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty() || lines[i].find('\\') != std::string::npos) continue;
    os.AddKey(std::string(kRuntimeRootKey) + "\\" + lines[i]);
  }
  LaunchSettings settings;
  settings.javaVersion = lines[0];
  FatalExit fatal = SelectLatestUpdate(settings, os);
  if (fatal && *fatal != ExitCode::kRuntimeDownloadAsked) __builtin_trap();
  if (fatal) return 0;
  if (os.openKeys != 0) __builtin_trap();
  // The version stays or becomes the name of an installed subkey.
  if (*settings.javaVersion != lines[0]) {
    bool installed = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      installed = installed || lines[i] == *settings.javaVersion;
    }
    if (!installed) __builtin_trap();
  }
  return 0;
}
