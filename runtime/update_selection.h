#ifndef LAUNCHER_RUNTIME_UPDATE_SELECTION_H_
#define LAUNCHER_RUNTIME_UPDATE_SELECTION_H_

#include "launcher/launch_settings.h"
#include "platform/platform_ops.h"

// Replaces a version family ('1.6') or minimum update ('1.6.0_20+') in
// `javaVersion` with the installed subkey of the highest update level. Ends
// the process through the download question (exit code 11) when the runtime
// key cannot be opened or no installed update is high enough.
void SelectLatestUpdate(LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_RUNTIME_UPDATE_SELECTION_H_
