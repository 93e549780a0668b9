#ifndef LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
#define LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_

#include <cstdint>
#include <string>

#include "launcher/output_capture.h"
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

// Fills `javapath` from the search or the registry's current runtime when it
// is still unset; false (after telling the user why) when none was found.
bool FindRuntime(LaunchSettings& settings, PlatformOps& os);

// Where the application runs: `workingDir` when set, else the caller's
// folder when the flavour runs it there; none: the launcher's own.
const std::optional<std::string>& ApplicationDirectory(
    const LaunchSettings& settings);

// Starts the application once as a child runtime and waits for it to end.
// Fills `javapath` first (FindRuntime).
LaunchResult LaunchApplication(LaunchSettings& settings, PlatformOps& os);

// A non-zero exit this soon after the start means the application never got
// going (a missing class, a bad VM option), so the user must be told.
inline constexpr double kEarlyFailureSeconds = 3.0;

// Notes how the application ended, `seconds` after it started; when that was
// with a non-zero `exitCode` in less than kEarlyFailureSeconds, shows the
// "Error" box that names the class and `runtime`, what it ran with, and the
// last lines it wrote to standard error (`errorLines`), when they are known.
void ReportApplicationEnd(const LaunchSettings& settings,
                          const std::string& runtime, int exitCode,
                          std::int64_t seconds, const std::string& errorLines,
                          PlatformOps& os);

// Starts the application's process (a child runtime, or the launcher again)
// so that it dies with the launcher, its output in `capture` when there is
// one; in debug mode says so when it cannot die with the launcher.
StartedProcess StartApplicationProcess(
    const LaunchSettings& settings, const std::string& commandLine,
    const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle, OutputCapture* capture,
    PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_LAUNCH_APPLICATION_H_
