#ifndef LAUNCHER_BRAND_ICON_FILE_H_
#define LAUNCHER_BRAND_ICON_FILE_H_

// Icon files (.ico) and the icon groups (RT_GROUP_ICON) made from them.

#include <cstdint>
#include <string>
#include <vector>

#include "brand/byte_io.h"

// One image of an icon: its directory fields and its bytes (a BMP DIB or a
// PNG file), which become one RT_ICON resource.
struct IconImage {
  std::uint8_t width = 0;  // 0 means 256
  std::uint8_t height = 0;
  std::uint8_t colorCount = 0;
  std::uint8_t reserved = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  Bytes data;
};

// Reads every image of an .ico file. Refuses a wrong header (reserved 0,
// type 1), no image, a directory or image past the end of the file, and an
// image that is neither a bitmap (BITMAPINFOHEADER or later) nor a PNG.
bool ParseIconFile(const Bytes& file, std::vector<IconImage>* images,
                   std::string* error);

// The RT_GROUP_ICON resource listing `images` under the RT_ICON ids `ids`
// (one id per image, same order).
Bytes MakeIconGroup(const std::vector<IconImage>& images,
                    const std::vector<std::uint16_t>& ids);

// The RT_ICON ids an RT_GROUP_ICON resource lists.
bool ReadIconGroupIds(const Bytes& group, std::vector<std::uint16_t>* ids,
                      std::string* error);

#endif  // LAUNCHER_BRAND_ICON_FILE_H_
