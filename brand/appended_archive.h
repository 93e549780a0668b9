#ifndef LAUNCHER_BRAND_APPENDED_ARCHIVE_H_
#define LAUNCHER_BRAND_APPENDED_ARCHIVE_H_

// The application's archive (a zip or jar) that an executable carries after
// its PE image, and the resource that announces it (RT_RCDATA 2, language
// neutral: the file offset of the archive's first byte, 8 bytes
// little-endian; see resources/resource_ids.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "brand/pe_image.h"
#include "brand/resource_tree.h"

// Where the archive lies in the input file: [start, end).
struct CarriedArchive {
  bool present = false;
  std::size_t start = 0;
  std::size_t end = 0;
};

// Finds the archive the announcement among `resources` names. It ends with
// its zip end record, before the certificate table of a file signed after
// embedding (up to 7 zero bytes of the signature's padding may lie between
// them). With `mustRead` (the archive is to be kept), an announcement that
// names no archive is refused; without, the bytes from the announced offset
// to the certificate or the end of the file count as the archive, and an
// announcement whose offset lies outside them names none.
bool FindCarriedArchive(const PeImage& image,
                        const std::vector<Resource>& resources, bool mustRead,
                        CarriedArchive* archive, std::string* error);

// Removes every announcement (RT_RCDATA 2, in any language) and, when
// `offset` is given, adds one holding it.
void AnnounceArchive(std::vector<Resource>* resources,
                     std::optional<std::uint64_t> offset);

#endif  // LAUNCHER_BRAND_APPENDED_ARCHIVE_H_
