#ifndef LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
#define LAUNCHER_TESTS_LAUNCHER_HARNESS_H_

#include <string>
#include <vector>

#include "settings/launch_settings.h"
#include "launcher/launcher_main.h"
#include "tests/fake_platform.h"

// Runs the whole launcher as the system would, with `args` as its argument
// vector (args[0] the program path): the exit code it ends with.
inline int RunLauncher(const std::vector<std::string>& args,
                       LaunchSettings& settings, FakePlatform& os) {
  return LauncherMain(args, settings, os);
}

#endif  // LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
