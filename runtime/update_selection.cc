#include "runtime/update_selection.h"

// Placeholder until the update-level selection lands.
void SelectLatestUpdate(LaunchSettings&, PlatformOps&) {}
