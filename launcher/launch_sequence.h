#ifndef LAUNCHER_LAUNCHER_LAUNCH_SEQUENCE_H_
#define LAUNCHER_LAUNCHER_LAUNCH_SEQUENCE_H_

#include <cstdint>
#include <optional>
#include <string>

#include "launcher/launch_mode.h"
#include "launcher/output_capture.h"
#include "platform/platform_ops.h"
#include "settings/launch_settings.h"

// The launch, whichever way the application runs: the steps both modes
// share, and the loop that starts the application again while it asks.

// Finds the runtime and runs the application once in `mode`.
LaunchResult LaunchOnce(LaunchSettings& settings, LaunchMode& mode,
                        PlatformOps& os);

// Finds the runtime and runs the application in `mode`, and again as long as
// it ends with kRestartCode. This launcher owns the loop: a launcher that
// another started again for a restart (`restartedCopy`) runs the
// application once and hands its exit code back instead.
LaunchResult RunLaunchSequence(LaunchSettings& settings, LaunchMode& mode,
                               PlatformOps& os);

// Fills `javapath` from the search or the registry's current runtime when it
// is still unset; false (after telling the user why) when none was found.
bool FindRuntime(LaunchSettings& settings, PlatformOps& os);

// The home of the runtime that `javapath` names, as an absolute path: the
// current directory changes before the VM library loads (to the
// application's directory), and a library named by a relative path would
// then be looked for elsewhere.
std::string AbsoluteRuntimeHome(const LaunchSettings& settings);

// Where the application runs: `workingDir` when set, else the caller's
// folder when the flavour runs it there; none: the launcher's own.
const std::optional<std::string>& ApplicationDirectory(
    const LaunchSettings& settings);

// A non-zero exit this soon after the start means the application never got
// going (a missing class, a bad VM option), so the user must be told.
inline constexpr double kEarlyFailureSeconds = 3.0;

// Notes how the application ended, `seconds` after it started; when that was
// with a non-zero `exitCode` in less than kEarlyFailureSeconds, and the
// flavour reports it, shows the "Error" box that names the class and
// `runtime`, what it ran with, and the last lines it wrote to standard
// error (`errorLines`), when they are known.
void ReportApplicationEnd(const LaunchSettings& settings,
                          const std::string& runtime, int exitCode,
                          std::int64_t seconds, const std::string& errorLines,
                          PlatformOps& os);

// Starts the application's process (a child runtime, or the launcher again)
// so that it dies with the launcher, its output in `capture` when there is
// one, and notes the start; in debug mode says so when it cannot die with
// the launcher.
StartedProcess StartApplicationProcess(const LaunchSettings& settings,
                                       const std::string& commandLine,
                                       const std::optional<std::string>& directory,
                                       const std::optional<std::string>& consoleTitle,
                                       const ChildOptions& options,
                                       OutputCapture* capture, PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_LAUNCH_SEQUENCE_H_
