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
};

// `input` with the requested resources changed and every other resource
// kept byte for byte. Warnings (a removed signature) are added to
// `warnings`. The result depends only on the input's resources and headers
// and on the request, so branding the output again with the same request
// gives the same bytes.
bool BrandImage(const Bytes& input, const BrandRequest& request,
                Bytes* output, std::vector<std::string>* warnings,
                std::string* error);

#endif  // LAUNCHER_BRAND_BRAND_IMAGE_H_
