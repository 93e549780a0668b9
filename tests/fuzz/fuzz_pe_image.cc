// Brands a fuzzed executable as launcher-brand does: PE headers, resource
// tree, version resource, icon group, configuration, rebuilt section, the
// archive kept, replaced or removed. An accepted input must brand again to
// the same bytes, and keep an archive when branded without one.
#include <cstddef>
#include <cstdint>

#include "brand/brand_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  BrandRequest request;
  request.version.strings = {{u"OriginalFilename", u"Tool.exe"}};
  request.version.fixedVersion = std::array<std::uint16_t, 4>{1, 2, 3, 4};
  request.icon = std::vector<IconImage>(2);
  request.config = Bytes{'x'};
  if (size % 2) request.executionLevel = "highestAvailable";
  if (size % 3 == 1) request.archive = Bytes{'P', 'K', 5, 6};  // an end
  if (request.archive) request.archive->resize(22);              // record
  request.removeArchive = size % 3 == 2;
  Bytes output, twice;
  std::vector<std::string> warnings;
  std::string error;
  if (!BrandImage(Bytes(data, data + size), request, &output, &warnings,
                  &error)) {
    return 0;
  }
  if (!BrandImage(output, request, &twice, &warnings, &error) ||
      twice != output) {
    __builtin_trap();
  }
  BrandRequest keep = request;
  keep.archive.reset();
  if (request.archive && (!BrandImage(output, keep, &twice, &warnings,
                                      &error) || twice != output)) {
    __builtin_trap();
  }
  return 0;
}
