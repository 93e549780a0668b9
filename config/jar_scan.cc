#include "config/jar_scan.h"

// Placeholder until the jar scan lands.
void AddJarDirectory(const std::string&, LaunchSettings&, PlatformOps&) {}
