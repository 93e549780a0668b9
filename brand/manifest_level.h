#ifndef LAUNCHER_BRAND_MANIFEST_LEVEL_H_
#define LAUNCHER_BRAND_MANIFEST_LEVEL_H_

// The execution level an application manifest requests.

#include <string>

#include "brand/byte_io.h"

// True for asInvoker, highestAvailable and requireAdministrator.
bool IsExecutionLevel(const std::string& level);

// Replaces the value of the level attribute of every requestedExecutionLevel
// element (with or without a namespace prefix) of the UTF-8 manifest text;
// every other byte stays. Comments, CDATA sections and processing
// instructions are skipped. Refuses a manifest without such an element, or
// with one that has no level attribute.
bool SetExecutionLevel(Bytes* manifest, const std::string& level,
                       std::string* error);

#endif  // LAUNCHER_BRAND_MANIFEST_LEVEL_H_
