#ifndef LAUNCHER_LAUNCHER_LAUNCH_MODE_H_
#define LAUNCHER_LAUNCHER_LAUNCH_MODE_H_

#include "platform/platform_ops.h"
#include "settings/launch_settings.h"

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

// One way to run the application: a child runtime, or the Java VM in the
// launcher's own process. The launch sequence (launch_sequence.h) finds the
// runtime, runs the application with Run, and while it asks to be started
// again, runs it again with RunAgain. LauncherMain picks the mode, once.
class LaunchMode {
 public:
  // Runs the application once with the runtime that `settings.javapath`
  // names (set by then), waits for its end and reports an early failure.
  virtual LaunchResult Run(LaunchSettings& settings, PlatformOps& os) = 0;
  // Runs it again, after it asked for a restart.
  virtual LaunchResult RunAgain(LaunchSettings& settings, PlatformOps& os) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~LaunchMode() = default;
};

#endif  // LAUNCHER_LAUNCHER_LAUNCH_MODE_H_
