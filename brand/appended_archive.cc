#include "brand/appended_archive.h"

#include <algorithm>

#include "brand/zip_archive.h"
#include "resources/resource_ids.h"

namespace {

// The most zero bytes a signing tool puts after the file's data to align
// the certificate table to 8 bytes.
constexpr std::size_t kMaxSignaturePadding = 7;

bool IsAnnouncement(const Resource& r) {
  return r.type.isId && r.type.id == kConfigResourceType && r.name.isId &&
         r.name.id == kArchiveResourceId;
}

// Where the archive may reach: the certificate table, else the file's end.
std::size_t ArchiveLimit(const PeImage& image) {
  DataDirectory cert;
  if (image.directories.size() > kDirectorySecurity) {
    cert = image.directories[kDirectorySecurity];
  }
  if ((cert.address != 0 || cert.size != 0) &&
      cert.address >= image.sectionsEnd && cert.address <= image.file.size()) {
    return cert.address;
  }
  return image.file.size();
}

}  // namespace

bool FindCarriedArchive(const PeImage& image,
                        const std::vector<Resource>& resources, bool mustRead,
                        CarriedArchive* archive, std::string* error) {
  *archive = CarriedArchive();
  auto first = std::find_if(resources.begin(), resources.end(),
                            IsAnnouncement);
  if (first == resources.end()) return true;
  const std::size_t limit = ArchiveLimit(image);
  std::string reason;
  if (first->data.size() != 8 ||
      std::count_if(resources.begin(), resources.end(), IsAnnouncement) != 1) {
    reason = "the resource is not one offset of 8 bytes";
  } else if (GetU64(first->data, 0) < image.sectionsEnd ||
             GetU64(first->data, 0) > limit) {
    reason = "its offset lies outside the data after the image";
  } else {
    archive->present = true;
    archive->start = static_cast<std::size_t>(GetU64(first->data, 0));
    archive->end = limit;
    for (std::size_t pad = 0; pad <= kMaxSignaturePadding; ++pad) {
      std::size_t to = limit - pad;
      if (CheckZipArchive(image.file, archive->start, to, &reason)) {
        archive->end = to;
        return true;
      }
      if (to == archive->start || image.file[to - 1] != 0) break;
    }
  }
  if (!mustRead) return true;
  *error = "the archive that resource RT_RCDATA 2 announces is not there, " +
           reason + " (--jar replaces it, --no-jar removes it)";
  return false;
}

void AnnounceArchive(std::vector<Resource>* resources,
                     std::optional<std::uint64_t> offset) {
  resources->erase(std::remove_if(resources->begin(), resources->end(),
                                  IsAnnouncement),
                   resources->end());
  if (!offset) return;
  Resource r{ResourceName::Id(kConfigResourceType),
             ResourceName::Id(kArchiveResourceId),
             ResourceName::Id(kConfigResourceLanguage), 0, {}};
  AppendU64(r.data, *offset);
  resources->push_back(std::move(r));
}
