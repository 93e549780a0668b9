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
  ASSERT_TRUE(ParseIconFile(IconFile({kBitmap, kTestPng}), &images, &error))
      << error;
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].data, kBitmap);
  EXPECT_EQ(images[1].data, kTestPng);
  EXPECT_EQ(images[1].width, 32);
  Bytes group = MakeIconGroup(images, {7, 3});
  EXPECT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(GetU32(group, 6 + 14 + 8), kTestPng.size());
  std::vector<std::uint16_t> ids;
  ASSERT_TRUE(ReadIconGroupIds(group, &ids, &error)) << error;
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{7, 3}));
}

TEST(ParseIconFile, RefusesWhatIsNoIcon) {
  Bytes cut = IconFile({kTestPng, kBitmap});
  cut.pop_back();
  const struct {
    Bytes file;
    const char* message;
  } cases[] = {
      {{}, "not an icon file"},
      {IconFile({kTestPng}, 2, 2), "not an icon file"},  // a cursor
      {IconFile({kTestPng}, 1, 1), "not an icon file"},
      {{0, 0, 1, 0, 0, 0}, "has no image"},
      {IconFile({kTestPng}, 4, 2), "directory runs past the end"},
      {cut, "icon image 2 runs past the end"},
      {IconFile({kTestPng}, 21, 0xff), "icon image 1 runs past the end"},
      {IconFile({Bytes(50, 7)}), "neither a bitmap nor a PNG"},
      {IconFile({{}}), "runs past the end"},
  };
  for (const auto& c : cases) {
    std::vector<IconImage> images;
    std::string error;
    EXPECT_FALSE(ParseIconFile(c.file, &images, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

}  // namespace
