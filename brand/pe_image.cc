#include "brand/pe_image.h"

#include <utility>

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10b;
constexpr std::uint16_t kMagicPe32Plus = 0x20b;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kMaxSections = 96;

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool IsPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

bool ParseSections(PeImage* image, std::size_t tableOffset,
                   std::uint16_t count, std::string* error) {
  const Bytes& file = image->file;
  if (!InBounds(file.size(), tableOffset, count * kSectionHeaderSize)) {
    return Fail(error, "the section table runs past the end of the file");
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    std::size_t at = tableOffset + i * kSectionHeaderSize;
    PeSection s;
    for (std::size_t k = 0; k < 8 && file[at + k] != 0; ++k) {
      s.name.push_back(static_cast<char>(file[at + k]));
    }
    s.virtualSize = GetU32(file, at + 8);
    s.virtualAddress = GetU32(file, at + 12);
    s.rawSize = GetU32(file, at + 16);
    s.rawOffset = GetU32(file, at + 20);
    s.characteristics = GetU32(file, at + 36);
    s.headerOffset = at;
    if (s.rawSize != 0 && !InBounds(file.size(), s.rawOffset, s.rawSize)) {
      return Fail(error, "section " + s.name +
                             " runs past the end of the file (truncated?)");
    }
    if (!image->sections.empty() &&
        s.virtualAddress < image->sections.back().VirtualEnd()) {
      return Fail(error, "the section table is not in address order");
    }
    if (s.rawSize != 0 && s.rawOffset + std::size_t{s.rawSize} >
                              image->sectionsEnd) {
      image->sectionsEnd = s.rawOffset + std::size_t{s.rawSize};
    }
    image->sections.push_back(s);
  }
  return true;
}

bool FindResourceSection(PeImage* image, std::string* error) {
  if (image->directories.size() <= kDirectoryResource ||
      image->directories[kDirectoryResource].address == 0) {
    return Fail(error, "the file has no resource section");
  }
  std::uint32_t rva = image->directories[kDirectoryResource].address;
  for (std::size_t i = 0; i < image->sections.size(); ++i) {
    const PeSection& s = image->sections[i];
    if (s.rawSize != 0 && rva >= s.virtualAddress &&
        rva - s.virtualAddress < s.rawSize) {
      image->resourceSection = i;
      return true;
    }
  }
  return Fail(error, "the resource directory lies in no section");
}

}  // namespace

bool ParsePeImage(Bytes file, PeImage* image, std::string* error) {
  *image = PeImage();
  image->file = std::move(file);
  const Bytes& f = image->file;
  std::uint32_t peOffset = 0;
  if (f.size() < 0x40 || f[0] != 'M' || f[1] != 'Z' ||
      !ReadU32(f, 0x3c, &peOffset)) {
    return Fail(error, "not a Windows executable (no MZ header)");
  }
  if (peOffset % 4 != 0 || !InBounds(f.size(), peOffset, 4 + 20) ||
      f[peOffset] != 'P' ||
      f[peOffset + 1] != 'E' || f[peOffset + 2] != 0 ||
      f[peOffset + 3] != 0) {
    return Fail(error, "not a PE executable (no PE signature)");
  }
  image->coffOffset = peOffset + 4;
  std::uint16_t sectionCount = GetU16(f, image->coffOffset + 2);
  std::uint16_t optionalSize = GetU16(f, image->coffOffset + 16);
  image->optionalOffset = image->coffOffset + 20;
  std::uint16_t magic = 0;
  if (!ReadU16(f, image->optionalOffset, &magic)) {
    return Fail(error, "the optional header is truncated");
  }
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
    return Fail(error, "unknown optional header type");
  }
  image->is64 = magic == kMagicPe32Plus;
  std::size_t directoriesAt = image->is64 ? 112 : 96;
  if (optionalSize < directoriesAt ||
      !InBounds(f.size(), image->optionalOffset, optionalSize)) {
    return Fail(error, "the optional header is truncated");
  }
  const std::size_t opt = image->optionalOffset;
  image->sectionAlignment = GetU32(f, opt + 32);
  image->fileAlignment = GetU32(f, opt + 36);
  if (!IsPowerOfTwo(image->fileAlignment) ||
      !IsPowerOfTwo(image->sectionAlignment) ||
      image->sectionAlignment < image->fileAlignment) {
    return Fail(error, "the section or file alignment is not valid");
  }
  std::uint32_t directoryCount = GetU32(f, opt + directoriesAt - 4);
  if (directoryCount > (optionalSize - directoriesAt) / 8) {
    return Fail(error, "the data directories run past the optional header");
  }
  for (std::uint32_t i = 0; i < directoryCount; ++i) {
    std::size_t at = opt + directoriesAt + 8 * i;
    image->directories.push_back({GetU32(f, at), GetU32(f, at + 4)});
  }
  if (sectionCount == 0 || sectionCount > kMaxSections) {
    return Fail(error, "the file has no usable section table");
  }
  return ParseSections(image, opt + optionalSize, sectionCount, error) &&
         FindResourceSection(image, error);
}

Bytes ResourceSectionBytes(const PeImage& image) {
  const PeSection& s = image.sections[image.resourceSection];
  auto begin = image.file.begin() + s.rawOffset;
  return Bytes(begin, begin + s.rawSize);
}

std::uint32_t PeChecksum(const Bytes& file, std::size_t checksumOffset) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    if (i >= checksumOffset && i < checksumOffset + 4) continue;
    std::uint32_t word = file[i];
    if (i + 1 < file.size()) word |= std::uint32_t{file[i + 1]} << 8;
    sum += word;
    sum = (sum & 0xffff) + (sum >> 16);
  }
  sum = (sum & 0xffff) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}
