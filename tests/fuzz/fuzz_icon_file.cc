// Reads a fuzzed .ico file; an accepted one must give a group that lists
// every image.
#include <cstddef>
#include <cstdint>

#include "brand/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<IconImage> images;
  std::string error;
  if (!ParseIconFile(Bytes(data, data + size), &images, &error)) return 0;
  std::vector<std::uint16_t> ids, back;
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (images[i].data.empty()) __builtin_trap();
    ids.push_back(static_cast<std::uint16_t>(i + 1));
  }
  if (!ReadIconGroupIds(MakeIconGroup(images, ids), &back, &error) ||
      back != ids) {
    __builtin_trap();
  }
  return 0;
}
