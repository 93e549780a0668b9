#include "brand/icon_file.h"

#include <gtest/gtest.h>

namespace {

const Bytes kBitmap = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0,
                       0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0,
                       0,  0, 0, 0, 0,  0, 0, 0, 9,  9};
const Bytes kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 'I', 'H'};

// An .ico file holding the images, with byte `at` (when not 0) set to
// `value`.
Bytes IconFile(const std::vector<Bytes>& images, std::size_t at = 0,
               std::uint8_t value = 0) {
  Bytes f = {0, 0, 1, 0, static_cast<std::uint8_t>(images.size()), 0};
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    f.insert(f.end(), {static_cast<std::uint8_t>(16 * (i + 1)), 0, 0, 0, 1,
                       0, 32, 0});
    AppendU32(f, static_cast<std::uint32_t>(images[i].size()));
    AppendU32(f, static_cast<std::uint32_t>(offset));
    offset += images[i].size();
  }
  for (const Bytes& image : images) f.insert(f.end(), image.begin(), image.end());
  if (at != 0) f[at] = value;
  return f;
}

TEST(ParseIconFile, ReadsBitmapAndPngImagesIntoAGroup) {
  std::vector<IconImage> images;
  std::string error;
  ASSERT_TRUE(ParseIconFile(IconFile({kBitmap, kPng}), &images, &error))
      << error;
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].data, kBitmap);
  EXPECT_EQ(images[1].data, kPng);
  EXPECT_EQ(images[1].width, 32);
  Bytes group = MakeIconGroup(images, {7, 3});
  EXPECT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(GetU32(group, 6 + 14 + 8), kPng.size());
  std::vector<std::uint16_t> ids;
  ASSERT_TRUE(ReadIconGroupIds(group, &ids, &error)) << error;
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{7, 3}));
}

TEST(ParseIconFile, RefusesWhatIsNoIcon) {
  Bytes cut = IconFile({kPng, kBitmap});
  cut.pop_back();
  const struct {
    Bytes file;
    const char* message;
  } cases[] = {
      {{}, "not an icon file"},
      {IconFile({kPng}, 2, 2), "not an icon file"},  // a cursor
      {IconFile({kPng}, 1, 1), "not an icon file"},
      {{0, 0, 1, 0, 0, 0}, "has no image"},
      {IconFile({kPng}, 4, 2), "directory runs past the end"},
      {cut, "icon image 2 runs past the end"},
      {IconFile({kPng}, 21, 0xff), "icon image 1 runs past the end"},
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
