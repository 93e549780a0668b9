#ifndef LAUNCHER_LAUNCHER_CHILD_PROCESS_LAUNCH_H_
#define LAUNCHER_LAUNCHER_CHILD_PROCESS_LAUNCH_H_

#include "launcher/launch_mode.h"

// The application as a child runtime: the java command line built from the
// settings, started, waited for; a restart starts it the same way again.
class ChildProcessLaunch : public LaunchMode {
 public:
  LaunchResult Run(LaunchSettings& settings, PlatformOps& os) override;
  LaunchResult RunAgain(LaunchSettings& settings, PlatformOps& os) override {
    return Run(settings, os);
  }
};

#endif  // LAUNCHER_LAUNCHER_CHILD_PROCESS_LAUNCH_H_
