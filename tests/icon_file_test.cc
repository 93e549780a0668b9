#include "brand/icon_file.h"

#include <gtest/gtest.h>

namespace {

// An .ico file whose images are the given bytes.
Bytes IconFile(const std::vector<Bytes>& images) {
  Bytes f = {0, 0, 1, 0};
  AppendU16(f, static_cast<std::uint16_t>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    Bytes entry = {static_cast<std::uint8_t>(16 * (i + 1)), 0, 0, 0, 1, 0,
                   32, 0};
    f.insert(f.end(), entry.begin(), entry.end());
    AppendU32(f, static_cast<std::uint32_t>(images[i].size()));
    AppendU32(f, static_cast<std::uint32_t>(offset));
    offset += images[i].size();
  }
  for (const Bytes& image : images) f.insert(f.end(), image.begin(), image.end());
  return f;
}

const Bytes kBitmap = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0,
                       0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0,
                       0,  0, 0, 0, 0,  0, 0, 0, 9,  9};
const Bytes kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 'I', 'H'};

TEST(ParseIconFile, ReadsBitmapAndPngImagesIntoAGroup) {
  std::vector<IconImage> images;
  std::string error;
  ASSERT_TRUE(ParseIconFile(IconFile({kBitmap, kPng}), &images, &error))
      << error;
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].data, kBitmap);
  EXPECT_EQ(images[1].data, kPng);
  EXPECT_EQ(images[1].width, 32);
  EXPECT_EQ(images[1].bitCount, 32);
  Bytes group = MakeIconGroup(images, {7, 3});
  EXPECT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(GetU32(group, 6 + 14 + 8), kPng.size());
  std::vector<std::uint16_t> ids;
  ASSERT_TRUE(ReadIconGroupIds(group, &ids, &error)) << error;
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{7, 3}));
}

TEST(ParseIconFile, RefusesWhatIsNoIcon) {
  Bytes cursor = IconFile({kPng}), reserved = IconFile({kPng});
  cursor[2] = 2;
  reserved[0] = 1;
  Bytes cut = IconFile({kPng, kBitmap});
  cut.resize(cut.size() - 1);
  Bytes shortDirectory = IconFile({kPng});
  shortDirectory.resize(12);
  Bytes far = IconFile({kPng});
  PutU32(far, 18, 0xfffffff0);
  const struct {
    Bytes file;
    const char* message;
  } cases[] = {
      {{}, "not an icon file"},
      {cursor, "not an icon file"},
      {reserved, "not an icon file"},
      {{0, 0, 1, 0, 0, 0}, "has no image"},
      {shortDirectory, "directory runs past the end"},
      {cut, "icon image 2 runs past the end"},
      {far, "icon image 1 runs past the end"},
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
