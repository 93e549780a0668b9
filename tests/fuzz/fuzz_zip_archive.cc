// Reads the end of a fuzzed zip archive. One accepted alone must be accepted
// after other bytes too (an executable): its offsets count from itself.
#include "brand/zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Bytes carried(4096, 'M');
  carried.insert(carried.end(), data, data + size);
  std::string error;
  if (CheckZipArchive(carried, 4096, carried.size(), &error) &&
      !CheckZipArchive(carried, 0, carried.size(), &error)) {
    __builtin_trap();
  }
  return 0;
}
