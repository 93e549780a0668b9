#ifndef LAUNCHER_SETTINGS_EXIT_CODES_H_
#define LAUNCHER_SETTINGS_EXIT_CODES_H_

#include <optional>

// The launcher's own exit codes. Scripts and installers test them, so their
// values never change.
enum class ExitCode : int {
  kNormal = 0,                 // the launch loop ended
  kConfigUnreadable = 2,       // the configuration cannot be read
  kNoRuntimeForVersion = 5,    // a javaVersion line found no runtime
  kRuntimeDownloadAsked = 11,  // after the missing-runtime question
  // The console flavour's own, when no application ran (the GUI flavour
  // ends with kNormal then). They follow the shells' codes for a command
  // that was not found or could not be run.
  kCommandLineTooLong = 125,  // longer than Windows starts
  kRuntimeNotStarted = 126,   // the runtime was found but did not start
  kNoRuntimeFound = 127,      // no runtime was found
};

// What a step that may end the run decided: none to go on, or the code the
// launcher ends with. A step that sets it does nothing more (no later
// configuration line, box or registry read), and every caller hands it
// straight up to LauncherMain, the one place that ends the run.
using FatalExit = std::optional<ExitCode>;

#endif  // LAUNCHER_SETTINGS_EXIT_CODES_H_
