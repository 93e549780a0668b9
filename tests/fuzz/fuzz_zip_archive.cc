// Reads the end of a fuzzed zip archive. One that is accepted alone must be
// accepted after other bytes too, as it is after an executable: its offsets
// count from its own first byte.
#include <cstddef>
#include <cstdint>

#include "brand/zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Bytes archive(data, data + size);
  std::string error;
  if (!CheckZipArchive(archive, 0, size, &error)) return 0;
  Bytes carried(4096, 'M');
  const std::size_t start = carried.size();
  carried.insert(carried.end(), archive.begin(), archive.end());
  if (!CheckZipArchive(carried, start, carried.size(), &error) ||
      !CheckZipArchive(carried, 0, carried.size(), &error)) {
    __builtin_trap();
  }
  return 0;
}
