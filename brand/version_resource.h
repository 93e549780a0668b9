#ifndef LAUNCHER_BRAND_VERSION_RESOURCE_H_
#define LAUNCHER_BRAND_VERSION_RESOURCE_H_

// The VS_VERSIONINFO tree of an RT_VERSION resource: blocks of (length,
// value length, type, UTF-16 key, value, children), each 32-bit aligned.

#include <cstdint>
#include <string>
#include <vector>

#include "brand/byte_io.h"

constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedFileInfoSize = 52;

struct VersionBlock {
  std::u16string key;
  std::uint16_t type = 0;         // 1: the value is text, 0: binary
  std::uint16_t valueLength = 0;  // in UTF-16 units for text, else bytes
  Bytes value;
  std::vector<VersionBlock> children;
};

// Reads the tree. The root must be "VS_VERSION_INFO" with a
// VS_FIXEDFILEINFO value carrying its signature. Lengths and keys are
// bounds-checked; nesting deeper than a version resource has is refused.
bool ParseVersionResource(const Bytes& data, VersionBlock* root,
                          std::string* error);

// Writes the tree with its lengths and padding recomputed; refuses a block
// that would exceed the 64 KiB a length field holds.
bool SerializeVersionResource(const VersionBlock& root, Bytes* out,
                              std::string* error);

// A block holding a text value (with its terminating NUL).
VersionBlock TextBlock(const std::u16string& key, const std::u16string& text);

// The text of a text block, without the terminating NUL.
std::u16string BlockText(const VersionBlock& block);

#endif  // LAUNCHER_BRAND_VERSION_RESOURCE_H_
