#include "brand/icon_file.h"

#include <gtest/gtest.h>

#include "tests/brand_test_files.h"

namespace {

TEST(ParseIconFile, RefusesWhatIsNoIcon) {
  const std::pair<Bytes, const char*> cases[] = {
      {{}, "not an icon file"},
      {IconFile({kTestPng}, 1, 1), "not an icon file"},  // reserved is not 0
      {{0, 0, 1, 0, 0, 0}, "has no image"},
      {IconFile({kTestPng}, 4, 2), "directory runs past the end"},
      {IconFile({kTestPng, kBitmap}, 30, 43), "image 2 runs past the end"},
      {IconFile({kTestPng}, 21, 0xff), "icon image 1 runs past the end"},
      {IconFile({{12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 32, 0}}), "neither a bitmap"},
      {IconFile({{}}), "runs past the end"},
  };
  for (const auto& [file, message] : cases) {
    std::vector<IconImage> images;
    std::string error;
    EXPECT_FALSE(ParseIconFile(file, &images, &error)) << message;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

}  // namespace
