#include "brand/icon_file.h"

#include <utility>

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool IsPng(const Bytes& d) {
  static const std::uint8_t kSignature[8] = {0x89, 'P',  'N',  'G',
                                             '\r', '\n', 0x1a, '\n'};
  if (d.size() < 8) return false;
  for (int i = 0; i < 8; ++i) {
    if (d[i] != kSignature[i]) return false;
  }
  return true;
}

// A DIB starts with the size of its header: BITMAPINFOHEADER, V4 or V5.
bool IsBitmap(const Bytes& d) {
  std::uint32_t headerSize = 0;
  return ReadU32(d, 0, &headerSize) &&
         (headerSize == 40 || headerSize == 108 || headerSize == 124) &&
         d.size() >= headerSize;
}

bool ReadHeader(const Bytes& data, const char* what, std::uint16_t* count,
                std::string* error) {
  if (data.size() < kHeaderSize || GetU16(data, 0) != 0 ||
      GetU16(data, 2) != 1) {
    return Fail(error, std::string("not ") + what +
                           " (the header must be reserved 0, type 1)");
  }
  *count = GetU16(data, 4);
  if (*count == 0) return Fail(error, std::string(what) + " has no image");
  return true;
}

}  // namespace

bool ParseIconFile(const Bytes& file, std::vector<IconImage>* images,
                   std::string* error) {
  images->clear();
  std::uint16_t count = 0;
  if (!ReadHeader(file, "an icon file", &count, error)) return false;
  if (!InBounds(file.size(), kHeaderSize, count * kFileEntrySize)) {
    return Fail(error, "the icon directory runs past the end of the file");
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    std::size_t at = kHeaderSize + i * kFileEntrySize;
    IconImage image;
    image.width = file[at];
    image.height = file[at + 1];
    image.colorCount = file[at + 2];
    image.reserved = file[at + 3];
    image.planes = GetU16(file, at + 4);
    image.bitCount = GetU16(file, at + 6);
    std::uint32_t size = GetU32(file, at + 8);
    std::uint32_t offset = GetU32(file, at + 12);
    std::string which = "icon image " + std::to_string(i + 1);
    if (size == 0 || !InBounds(file.size(), offset, size)) {
      return Fail(error, which + " runs past the end of the file");
    }
    image.data.assign(file.begin() + offset, file.begin() + offset + size);
    if (!IsPng(image.data) && !IsBitmap(image.data)) {
      return Fail(error, which + " is neither a bitmap nor a PNG image");
    }
    images->push_back(std::move(image));
  }
  return true;
}

Bytes MakeIconGroup(const std::vector<IconImage>& images,
                    const std::vector<std::uint16_t>& ids) {
  Bytes group;
  AppendU16(group, 0);
  AppendU16(group, 1);
  AppendU16(group, static_cast<std::uint16_t>(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    group.push_back(image.width);
    group.push_back(image.height);
    group.push_back(image.colorCount);
    group.push_back(image.reserved);
    AppendU16(group, image.planes);
    AppendU16(group, image.bitCount);
    AppendU32(group, static_cast<std::uint32_t>(image.data.size()));
    AppendU16(group, ids[i]);
  }
  return group;
}

bool ReadIconGroupIds(const Bytes& group, std::vector<std::uint16_t>* ids,
                      std::string* error) {
  ids->clear();
  std::uint16_t count = 0;
  if (!ReadHeader(group, "an icon group", &count, error)) return false;
  if (!InBounds(group.size(), kHeaderSize, count * kGroupEntrySize)) {
    return Fail(error, "an icon group lists more images than it holds");
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    ids->push_back(GetU16(group, kHeaderSize + i * kGroupEntrySize + 12));
  }
  return true;
}
