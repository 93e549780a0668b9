#ifndef LAUNCHER_CONFIG_CONFIG_FILE_H_
#define LAUNCHER_CONFIG_CONFIG_FILE_H_

#include <string>
#include <vector>

#include "settings/exit_codes.h"
#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// Finds the configuration and reads it, as ReadConfigFile does: the -c path;
// else the executable's name with ".config" in place of ".exe" in the start
// directory; else, only when that file does not exist, the configuration
// embedded in the executable (read like a file, its includes relative to the
// start directory, named "<program path> (embedded)").
[[nodiscard]] FatalExit LocateAppConfig(const std::string& programPath,
                                        LaunchSettings& settings,
                                        PlatformOps& os);

// Reads one configuration file into `settings`, following `include` lines.
// Returns none when the file was read to its end; kConfigUnreadable when it
// cannot be opened or its text cannot be read; or the code of a line that
// ended the run (a javaVersion without a runtime, the download question),
// after which nothing more is read.
[[nodiscard]] FatalExit ReadConfigFile(const std::string& path,
                                       LaunchSettings& settings,
                                       PlatformOps& os);

// Splits file content into the lines the reader sees, the way the C library
// reads a text file with a 2048-byte line buffer: a carriage return before a
// line feed is dropped, Ctrl-Z ends the data, a line longer than 2047
// characters comes as several pieces, and each piece keeps its line feed.
std::vector<std::string> SplitConfigLines(const std::string& content);

#endif  // LAUNCHER_CONFIG_CONFIG_FILE_H_
