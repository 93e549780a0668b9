// Reads a fuzzed executable as launcher-brand does (PE headers, resource
// tree, version resource) and brands it. Whatever is accepted must write
// back to something that reads again the same way.
#include <cstddef>
#include <cstdint>

#include "brand/brand_image.h"
#include "brand/pe_image.h"
#include "brand/resource_tree.h"
#include "brand/version_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Bytes file(data, data + size);
  PeImage image;
  std::string error;
  if (!ParsePeImage(file, &image, &error)) return 0;
  const PeSection& section = image.sections[image.resourceSection];
  std::vector<Resource> resources;
  if (!ParseResourceTree(
          ResourceSectionBytes(image), section.virtualAddress,
          image.directories[kDirectoryResource].address -
              section.virtualAddress,
          &resources, &error)) {
    return 0;
  }
  for (const Resource& r : resources) {
    VersionBlock root, again;
    Bytes written, rewritten;
    if (!r.type.isId || r.type.id != kTypeVersion ||
        !ParseVersionResource(r.data, &root, &error) ||
        !SerializeVersionResource(root, &written, &error)) {
      continue;
    }
    if (!ParseVersionResource(written, &again, &error) ||
        !SerializeVersionResource(again, &rewritten, &error) ||
        rewritten != written) {
      __builtin_trap();
    }
  }
  BrandRequest request;
  request.version.strings = {{u"OriginalFilename", u"Tool.exe"}};
  request.version.fixedVersion = std::array<std::uint16_t, 4>{1, 2, 3, 4};
  request.icon = std::vector<IconImage>(2);
  request.config = Bytes{'x'};
  Bytes output, twice;
  std::vector<std::string> warnings;
  if (!BrandImage(file, request, &output, &warnings, &error)) return 0;
  if (!BrandImage(output, request, &twice, &warnings, &error) ||
      twice != output) {
    __builtin_trap();
  }
  return 0;
}
