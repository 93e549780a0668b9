#ifndef LAUNCHER_BRAND_BYTE_IO_H_
#define LAUNCHER_BRAND_BYTE_IO_H_

// Little-endian reads and writes over byte buffers. Every read that takes an
// offset from a file is checked against the buffer's size; the unchecked
// Get/Put forms are for offsets the caller has already checked or made.

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// True when [offset, offset + length) lies inside a buffer of `size` bytes,
// without overflow whatever the operands.
inline bool InBounds(std::size_t size, std::uint64_t offset,
                     std::uint64_t length) {
  return offset <= size && length <= size - offset;
}

inline std::uint16_t GetU16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) |
         (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::uint64_t GetU64(const Bytes& b, std::size_t at) {
  return GetU32(b, at) | (std::uint64_t{GetU32(b, at + 4)} << 32);
}

inline bool ReadU16(const Bytes& b, std::uint64_t at, std::uint16_t* value) {
  if (!InBounds(b.size(), at, 2)) return false;
  *value = GetU16(b, static_cast<std::size_t>(at));
  return true;
}

inline bool ReadU32(const Bytes& b, std::uint64_t at, std::uint32_t* value) {
  if (!InBounds(b.size(), at, 4)) return false;
  *value = GetU32(b, static_cast<std::size_t>(at));
  return true;
}

inline void PutU16(Bytes& b, std::size_t at, std::uint16_t value) {
  b[at] = static_cast<std::uint8_t>(value);
  b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& b, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

inline void AppendU16(Bytes& b, std::uint16_t value) {
  b.push_back(static_cast<std::uint8_t>(value));
  b.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(Bytes& b, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

inline void AppendU64(Bytes& b, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) {
    b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

// `value` rounded up to a multiple of `alignment` (a power of two).
inline std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) & ~(alignment - 1);
}

// Appends zero bytes until the size is a multiple of `alignment`.
inline void PadTo(Bytes& b, std::size_t alignment) {
  b.resize(static_cast<std::size_t>(AlignUp(b.size(), alignment)), 0);
}

#endif  // LAUNCHER_BRAND_BYTE_IO_H_
