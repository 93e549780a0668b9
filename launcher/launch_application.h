#ifndef LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
#define LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_

#include "launcher/launch_settings.h"
#include "platform/platform_ops.h"

// What LaunchApplication returns when nothing was started (no runtime, or the
// command line could not be started).
constexpr int kNothingLaunched = 2;

// Starts the application once and waits for it to end. Returns the child's
// exit code, or kNothingLaunched. Fills `javapath` from the registry's
// current runtime when it is still unset.
int LaunchApplication(LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
