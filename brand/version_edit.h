#ifndef LAUNCHER_BRAND_VERSION_EDIT_H_
#define LAUNCHER_BRAND_VERSION_EDIT_H_

// Changes to the version information: strings of every string table and
// the fixed file and product version numbers.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "brand/version_resource.h"

struct VersionEdits {
  // Key and text, in the order they are applied.
  std::vector<std::pair<std::u16string, std::u16string>> strings;
  // A, B, C, D of FileVersion and ProductVersion.
  std::optional<std::array<std::uint16_t, 4>> fixedVersion;
};

// Sets each string in every string table of StringFileInfo: an existing
// string keeps its place, a missing one is appended to the table. A tree
// without StringFileInfo, or with no string table in it, gets one for
// U.S. English, Unicode ("040904B0").
void ApplyVersionEdits(const VersionEdits& edits, VersionBlock* root);

// A version resource for an executable that has none: version 0.0.0.0, an
// application for Windows NT, and an empty string table for U.S. English,
// Unicode, as its translation says.
VersionBlock NewVersionResource();

#endif  // LAUNCHER_BRAND_VERSION_EDIT_H_
