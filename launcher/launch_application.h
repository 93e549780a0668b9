#ifndef LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
#define LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_

#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// How one launch ended.
enum class LaunchEnd {
  kApplicationEnded,    // exitCode holds the application's exit code
  kNoRuntime,           // no runtime was found (the user was told)
  kNotStarted,          // the runtime could not be started
  kCommandLineTooLong,  // longer than Windows starts
};

struct LaunchResult {
  LaunchEnd end;
  int exitCode;  // the application's, when it ended; else 0
};

// Starts the application once and waits for it to end. Fills `javapath`
// from the search or the registry's current runtime when it is still unset.
LaunchResult LaunchApplication(LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
