#ifndef LAUNCHER_LAUNCHER_LAUNCHER_MAIN_H_
#define LAUNCHER_LAUNCHER_LAUNCHER_MAIN_H_

#include <string>
#include <vector>

#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// The whole run: scans `args` (args[0] is the program path as invoked, the
// rest the program's arguments), reads the configuration and starts the
// application until it stops asking for a restart. Returns the launcher's
// exit code, one of ExitCode's: every fatal end of the run comes back here.
int LauncherMain(const std::vector<std::string>& args, LaunchSettings& settings,
                 PlatformOps& os);

// True when the system's major version is above 5.
bool IsVistaOrLater(System& system);

#endif  // LAUNCHER_LAUNCHER_LAUNCHER_MAIN_H_
