#include "brand/zip_archive.h"

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;  // without extensible data
constexpr std::size_t kMaxComment = 0xffff;

bool Fail(std::string* error, const std::string& text) {
  *error = "not a zip archive (" + text + ")";
  return false;
}

// The end record: the last signature whose comment reaches `to` exactly.
bool FindEndRecord(const Bytes& data, std::size_t from, std::size_t to,
                   std::size_t* at) {
  if (to < from || to - from < kEndSize) return false;
  std::size_t lowest = from;
  if (to - from - kEndSize > kMaxComment) lowest = to - kEndSize - kMaxComment;
  for (std::size_t p = to - kEndSize;; --p) {
    if (GetU32(data, p) == kEndSignature &&
        p + kEndSize + GetU16(data, p + 20) == to) {
      *at = p;
      return true;
    }
    if (p == lowest) return false;
  }
}

}  // namespace

bool CheckZipArchive(const Bytes& data, std::size_t from, std::size_t to,
                     std::string* error) {
  std::size_t end = 0;
  if (to > data.size() || !FindEndRecord(data, from, to, &end)) {
    return Fail(error, "no end-of-central-directory record at its end");
  }
  std::uint64_t entries = GetU16(data, end + 10);
  std::uint64_t size = GetU32(data, end + 12);
  std::uint64_t offset = GetU32(data, end + 16);
  // What comes right before the central directory's end: the end record,
  // or the zip64 end record that a locator before the end record names.
  std::size_t before = end;
  const std::size_t zip64Room = kLocatorSize + kZip64EndSize;
  if ((entries == 0xffff || size == 0xffffffff || offset == 0xffffffff) &&
      end - from >= kLocatorSize &&
      GetU32(data, end - kLocatorSize) == kZip64LocatorSignature) {
    before = end - zip64Room;
    if (end - from < zip64Room || GetU32(data, before) != kZip64EndSignature) {
      return Fail(error, "no zip64 end record before its locator");
    }
    size = GetU64(data, before + 40);
    offset = GetU64(data, before + 48);
  }
  const std::uint64_t room = before - from;
  if (size > room || offset > room - size) {
    return Fail(error, "its central directory lies outside the file");
  }
  const std::size_t central = before - static_cast<std::size_t>(size);
  if (size != 0 &&
      (size < 4 || GetU32(data, central) != kCentralSignature)) {
    return Fail(error, "no central directory where its end record says");
  }
  return true;
}
