#ifndef LAUNCHER_BRAND_BRAND_IMAGE_H_
#define LAUNCHER_BRAND_BRAND_IMAGE_H_

// Branding an executable in memory: what the command line asks of its
// resources, applied to the bytes of the file.

#include <optional>
#include <string>
#include <vector>

#include "brand/byte_io.h"
#include "brand/icon_file.h"
#include "brand/version_edit.h"

struct BrandRequest {
  std::optional<std::vector<IconImage>> icon;  // the new program icon
  VersionEdits version;                        // strings and fixed numbers
  std::optional<std::string> executionLevel;   // a valid level
  std::optional<Bytes> config;                 // the embedded configuration
  // The archive to carry after the image (a zip CheckZipArchive accepts),
  // in place of the input's; without it and without removeArchive, the
  // input's archive is kept.
  std::optional<Bytes> archive;
  bool removeArchive = false;
};

// `input` with the requested resources changed and every other resource
// kept byte for byte. Warnings (a removed signature) are added to
// `warnings`. The result depends only on the input's resources and headers,
// its archive and on the request, so branding the output again with the
// same request gives the same bytes. The archive comes last, after any other
// bytes the input has after its sections, and the announcement resource
// gives its offset; the checksum covers the whole file.
bool BrandImage(Bytes input, const BrandRequest& request,
                Bytes* output, std::vector<std::string>* warnings,
                std::string* error);

#endif  // LAUNCHER_BRAND_BRAND_IMAGE_H_
