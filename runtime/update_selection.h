#ifndef LAUNCHER_RUNTIME_UPDATE_SELECTION_H_
#define LAUNCHER_RUNTIME_UPDATE_SELECTION_H_

#include <optional>
#include <string>

#include "settings/exit_codes.h"
#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// Replaces a version family ('1.6') or minimum update ('1.6.0_20+') in
// `javaVersion` with the installed subkey of the highest update level. Asks
// the download question and returns kRuntimeDownloadAsked, which ends the
// run, when the runtime key cannot be opened or no installed update is high
// enough.
[[nodiscard]] FatalExit SelectLatestUpdate(LaunchSettings& settings,
                                           PlatformOps& os);

// Reads an update level the way the C library's atoi reads a number: leading
// white space is skipped, one optional sign is taken, then decimal digits up
// to the first other character; no digits read as 0. A number beyond the
// 32-bit range reads as its nearest limit (INT_MAX or INT_MIN) instead of
// overflowing.
int ReadUpdateLevel(const std::string& text);

// The update level of a version text: the number after its first '_', or none
// when it has no '_'.
std::optional<int> UpdateLevelOf(const std::string& version);

#endif  // LAUNCHER_RUNTIME_UPDATE_SELECTION_H_
