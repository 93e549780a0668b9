#ifndef LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
#define LAUNCHER_TESTS_LAUNCHER_HARNESS_H_

#include <string>
#include <vector>

#include "launcher/child_process_launch.h"
#include "launcher/launch_sequence.h"
#include "launcher/launcher_main.h"
#include "settings/launch_settings.h"
#include "tests/fake_platform.h"

// Runs the whole launcher as the system would, with `args` as its argument
// vector (args[0] the program path): the exit code it ends with.
inline int RunLauncher(const std::vector<std::string>& args,
                       LaunchSettings& settings, FakePlatform& os) {
  return LauncherMain(args, settings, os);
}

// Finds the runtime and runs the application once as a child runtime, as
// the launch loop's first round does.
inline LaunchResult LaunchChildOnce(LaunchSettings& settings,
                                    FakePlatform& os) {
  ChildProcessLaunch child;
  return LaunchOnce(settings, child, os);
}

#endif  // LAUNCHER_TESTS_LAUNCHER_HARNESS_H_
