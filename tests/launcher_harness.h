#ifndef LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
#define LAUNCHER_TESTS_LAUNCHER_HARNESS_H_

#include <string>
#include <vector>

#include "launcher/launch_settings.h"
#include "launcher/launcher_main.h"
#include "tests/fake_platform.h"

// Runs `call` and returns the exit code it ended the process with, or -1000
// when it returned normally.
template <typename Call>
int ExitCodeOf(Call&& call) {
  try {
    call();
  } catch (const FakeProcessEnd& end) {
    return end.code;
  }
  return -1000;
}

// Runs the whole launcher as the system would, with `args` as its argument
// vector (args[0] the program path): the exit code it returned, or the code it
// ended the process with.
inline int RunLauncher(const std::vector<std::string>& args,
                       LaunchSettings& settings, FakePlatform& os) {
  int returned = -1;
  int ended = ExitCodeOf([&] { returned = LauncherMain(args, settings, os); });
  return ended == -1000 ? returned : ended;
}

#endif  // LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
