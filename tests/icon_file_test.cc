#include "brand/icon_file.h"

#include <gtest/gtest.h>

#include "tests/brand_test_files.h"

namespace {

const Bytes kBitmap = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0,
                       0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0,
                       0,  0, 0, 0, 0,  0, 0, 0, 9,  9};
TEST(ParseIconFile, ReadsBitmapAndPngImagesIntoAGroup) {
  std::vector<IconImage> images;
  std::string error;
  ASSERT_TRUE(ParseIconFile(IconFile({kBitmap, kTestPng}, 8, 4), &images,
                            &error)) << error;  // the bitmap has 4 colours
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].data, kBitmap);
  EXPECT_EQ(images[1].data, kTestPng);
  // Each entry is the file's, with the image's id in place of its offset.
  const Bytes group = {0,  0, 1, 0, 2, 0,
                       16, 0, 4, 0, 1, 0, 32, 0, 42, 0, 0, 0, 7, 0,
                       32, 0, 0, 0, 1, 0, 32, 0, 10, 0, 0, 0, 3, 0};
  EXPECT_EQ(MakeIconGroup(images, {7, 3}), group);
  std::vector<std::uint16_t> ids;
  ASSERT_TRUE(ReadIconGroupIds(group, &ids, &error)) << error;
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{7, 3}));
}

TEST(ParseIconFile, RefusesWhatIsNoIcon) {
  const std::pair<Bytes, const char*> cases[] = {
      {{}, "not an icon file"},
      {IconFile({kTestPng}, 1, 1), "not an icon file"},  // reserved is not 0
      {{0, 0, 1, 0, 0, 0}, "has no image"},
      {IconFile({kTestPng}, 4, 2), "directory runs past the end"},
      {IconFile({kTestPng, kBitmap}, 30, 43), "image 2 runs past the end"},
      {IconFile({kTestPng}, 21, 0xff), "icon image 1 runs past the end"},
      {IconFile({Bytes(50, 7)}), "neither a bitmap nor a PNG"},
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
