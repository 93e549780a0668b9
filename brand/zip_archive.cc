#include "brand/zip_archive.h"

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLocatorSize = 20;
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
  // Writers add a zip64 end record and its locator before the end record
  // when a field overflows (more than 65535 entries), some always. Its
  // locator gives the record's offset from the start of the file, not of
  // the archive, so the Java runtime does not find the classes of such an
  // archive after an executable.
  if (end - from >= kLocatorSize &&
      GetU32(data, end - kLocatorSize) == kZip64LocatorSignature) {
    *error = "a zip64 archive, which Java reads only at the start of a "
             "file, not after an executable";
    return false;
  }
  const std::uint64_t size = GetU32(data, end + 12);
  const std::uint64_t offset = GetU32(data, end + 16);
  // The central directory ends where the end record begins.
  const std::uint64_t room = end - from;
  if (size > room || offset > room - size) {
    return Fail(error, "its central directory lies outside the file");
  }
  const std::size_t central = end - static_cast<std::size_t>(size);
  if (size != 0 &&
      (size < 4 || GetU32(data, central) != kCentralSignature)) {
    return Fail(error, "no central directory where its end record says");
  }
  return true;
}
