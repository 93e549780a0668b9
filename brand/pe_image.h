#ifndef LAUNCHER_BRAND_PE_IMAGE_H_
#define LAUNCHER_BRAND_PE_IMAGE_H_

// Reads the headers of a PE32 or PE32+ executable and writes a copy of it
// whose resource section is replaced. Only the bytes of the file are used;
// nothing is loaded or mapped.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "brand/byte_io.h"

constexpr std::size_t kDirectorySecurity = 4;   // a file offset, not an RVA
constexpr std::size_t kDirectoryResource = 2;
constexpr std::size_t kDirectoryBaseReloc = 5;

struct DataDirectory {
  std::uint32_t address = 0;
  std::uint32_t size = 0;
};

struct PeSection {
  std::string name;  // up to 8 characters, trailing NULs removed
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t characteristics = 0;
  std::size_t headerOffset = 0;  // where its 40-byte header is in the file

  // The addresses the section occupies once loaded.
  std::uint64_t VirtualEnd() const {
    return std::uint64_t{virtualAddress} +
           (virtualSize != 0 ? virtualSize : rawSize);
  }
};

struct PeImage {
  Bytes file;
  bool is64 = false;
  std::size_t coffOffset = 0;      // the COFF file header, after "PE\0\0"
  std::size_t optionalOffset = 0;  // the optional header
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::vector<DataDirectory> directories;
  std::vector<PeSection> sections;  // in the order of the section table
  std::size_t resourceSection = 0;  // index of the section holding resources
  std::size_t sectionsEnd = 0;      // end of the last section's file data
};

// Where the checksum field lies in the file: the same offset of the optional
// header in PE32 and PE32+.
inline std::size_t ChecksumOffset(const PeImage& image) {
  return image.optionalOffset + 64;
}

// Parses `file`. Refuses anything that is not a PE image, whose headers,
// section table or section data run past the end of the file, or that has
// no resource directory inside a section.
bool ParsePeImage(Bytes file, PeImage* image, std::string* error);

// The resource section's file bytes.
Bytes ResourceSectionBytes(const PeImage& image);

// The image with `resources` (laid out for the resource section's address)
// as its resource section. Sections after it are moved when only their data
// directory refers to them (.reloc), else refused. An Authenticode
// certificate is dropped and its directory zeroed, with a warning; the other
// bytes after the sections, up to `overlayEnd` (the file's size, or where an
// archive that the caller appends itself begins), are kept after them.
// SizeOfImage, the section table, SizeOfInitializedData, the moved
// directories and the checksum are brought up to date.
bool ReplaceResourceSection(const PeImage& image, const Bytes& resources,
                            std::size_t overlayEnd, Bytes* output,
                            std::vector<std::string>* warnings,
                            std::string* error);

// The PE checksum of `file`: the 16-bit one's-complement sum of its words
// with the checksum field taken as zero, plus the file's length.
std::uint32_t PeChecksum(const Bytes& file, std::size_t checksumOffset);

#endif  // LAUNCHER_BRAND_PE_IMAGE_H_
