#ifndef LAUNCHER_CONFIG_JAR_SCAN_H_
#define LAUNCHER_CONFIG_JAR_SCAN_H_

#include <string>

#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// Appends "directory/name" to the class path for every jar file that the
// pattern "directory/*.jar" finds, in the platform's order. A directory as the
// first match ends the scan with nothing added; a later one is skipped.
void AddJarDirectory(const std::string& directory, LaunchSettings& settings,
                     PlatformOps& os);

#endif  // LAUNCHER_CONFIG_JAR_SCAN_H_
