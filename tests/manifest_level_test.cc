#include "brand/manifest_level.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ManifestLevel, SetExecutionLevelChangesOnlyTheValueOrRefuses) {
  // The manifest, and the manifest after or the error when refused.
  const std::pair<const char*, const char*> cases[] = {
      {"<r><requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
       "<r><requestedExecutionLevel level=\"X\" uiAccess=\"false\"/>"},
      {"<v3:requestedExecutionLevel uiAccess='false'\n  level = 'a'></v3:"
       "requestedExecutionLevel>",
       "<v3:requestedExecutionLevel uiAccess='false'\n  level = 'X'></v3:"
       "requestedExecutionLevel>"},
      {"<!-- <requestedExecutionLevel level=\"c\"/> -->"
       "<requestedExecutionLevel level=\"b\"/>",
       "<!-- <requestedExecutionLevel level=\"c\"/> -->"
       "<requestedExecutionLevel level=\"X\"/>"},
      {"<requestedExecutionLevels level=\"b\"/>", "no requestedExecution"},
      {"<requestedExecutionLevel uiAccess=\"false\"/>", "no level attribute"},
      {"<requestedExecutionLevel xlevel=\"b\"/>", "no level attribute"},
      {"<requestedExecutionLevel level=\"unterminated/>", "no level attr"},
      {"", "manifest: it has no requestedExecutionLevel element"},
  };
  for (const auto& [in, out] : cases) {
    Bytes manifest(in, in + std::strlen(in));
    std::string error;
    if (SetExecutionLevel(&manifest, "X", &error)) {
      EXPECT_EQ(std::string(manifest.begin(), manifest.end()), out);
    } else {
      EXPECT_NE(error.find(out), std::string::npos) << in << ": " << error;
    }
  }
}

}  // namespace
