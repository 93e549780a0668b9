#include "brand/manifest_level.h"

#include <gtest/gtest.h>

namespace {

TEST(SetExecutionLevel, ChangesOnlyTheLevelValue) {
  const struct {
    const char* in;
    const char* out;  // nullptr: refused
  } cases[] = {
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
      {"<requestedExecutionLevels level=\"b\"/>", nullptr},
      {"<requestedExecutionLevel uiAccess=\"false\"/>", nullptr},
      {"<requestedExecutionLevel xlevel=\"b\"/>", nullptr},
      {"<requestedExecutionLevel level=\"unterminated/>", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    std::string in = c.in;
    Bytes manifest(in.begin(), in.end());
    std::string error;
    bool ok = SetExecutionLevel(&manifest, "X", &error);
    EXPECT_EQ(ok, c.out != nullptr) << c.in << ": " << error;
    if (ok) {
      EXPECT_EQ(std::string(manifest.begin(), manifest.end()), c.out);
    }
  }
}

}  // namespace
