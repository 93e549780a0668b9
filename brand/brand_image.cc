#include "brand/brand_image.h"

#include <algorithm>

#include "brand/appended_archive.h"
#include "brand/manifest_level.h"
#include "brand/pe_image.h"
#include "brand/program_icon.h"
#include "brand/resource_tree.h"
#include "resources/resource_ids.h"

namespace {

// The manifest Windows reads when it creates the process.
constexpr std::uint32_t kProcessManifestId = 1;
constexpr std::uint32_t kVersionInfoId = 1;
constexpr std::uint32_t kDefaultVersionLanguage = 0x0409;

bool IsResource(const Resource& r, std::uint32_t type, std::uint32_t name) {
  return r.type.isId && r.type.id == type && r.name.isId && r.name.id == name;
}

bool EditVersion(const VersionEdits& edits, std::vector<Resource>* resources,
                 std::string* error) {
  bool found = false;
  for (Resource& r : *resources) {
    if (!IsResource(r, kTypeVersion, kVersionInfoId)) continue;
    found = true;
    VersionBlock root;
    if (!ParseVersionResource(r.data, &root, error)) return false;
    ApplyVersionEdits(edits, &root);
    if (!SerializeVersionResource(root, &r.data, error)) return false;
  }
  if (found) return true;
  VersionBlock root = NewVersionResource();
  ApplyVersionEdits(edits, &root);
  Resource r{ResourceName::Id(kTypeVersion), ResourceName::Id(kVersionInfoId),
             ResourceName::Id(kDefaultVersionLanguage), 0, {}};
  if (!SerializeVersionResource(root, &r.data, error)) return false;
  resources->push_back(std::move(r));
  return true;
}

bool EditManifest(const std::string& level, std::vector<Resource>* resources,
                  std::string* error) {
  bool found = false;
  for (Resource& r : *resources) {
    if (!IsResource(r, kTypeManifest, kProcessManifestId)) continue;
    found = true;
    if (!SetExecutionLevel(&r.data, level, error)) return false;
  }
  if (!found) {
    *error = "the input has no manifest to set the execution level in";
  }
  return found;
}

void EmbedConfig(const Bytes& config, std::vector<Resource>* resources) {
  resources->erase(
      std::remove_if(resources->begin(), resources->end(),
                     [](const Resource& r) {
                       return IsResource(r, kConfigResourceType,
                                         kConfigResourceId);
                     }),
      resources->end());
  resources->push_back({ResourceName::Id(kConfigResourceType),
                        ResourceName::Id(kConfigResourceId),
                        ResourceName::Id(kConfigResourceLanguage), 0,
                        config});
}

// The image with `resources` as its resource section, and the bytes after
// its sections up to `overlayEnd`.
bool Rebuild(const PeImage& image, const std::vector<Resource>& resources,
             std::size_t overlayEnd, Bytes* output,
             std::vector<std::string>* warnings, std::string* error) {
  Bytes sectionBytes;
  return SerializeResourceTree(
             resources, image.sections[image.resourceSection].virtualAddress,
             &sectionBytes, error) &&
         ReplaceResourceSection(image, sectionBytes, overlayEnd, output,
                                warnings, error);
}

// Appends the archive [begin, end) to the rebuilt image `output`, which
// announces it, and makes the checksum cover it.
bool AppendArchive(const PeImage& image, const std::uint8_t* begin,
                   const std::uint8_t* end, Bytes* output,
                   std::string* error) {
  if (static_cast<std::uint64_t>(end - begin) >
      0xffffffffULL - output->size()) {
    *error = "the file would grow past 4 GiB";
    return false;
  }
  output->insert(output->end(), begin, end);
  PutU32(*output, ChecksumOffset(image),
         PeChecksum(*output, ChecksumOffset(image)));
  return true;
}

}  // namespace

bool BrandImage(Bytes input, const BrandRequest& request, Bytes* output,
                std::vector<std::string>* warnings, std::string* error) {
  PeImage image;
  if (!ParsePeImage(std::move(input), &image, error)) return false;
  const PeSection& section = image.sections[image.resourceSection];
  std::vector<Resource> resources;
  std::size_t root = image.directories[kDirectoryResource].address -
                     section.virtualAddress;
  if (!ParseResourceTree(ResourceSectionBytes(image), section.virtualAddress,
                         root, &resources, error)) {
    return false;
  }
  if (request.icon &&
      !ReplaceProgramIcon(&resources, *request.icon, error)) {
    return false;
  }
  if (!EditVersion(request.version, &resources, error)) return false;
  if (request.executionLevel &&
      !EditManifest(*request.executionLevel, &resources, error)) {
    return false;
  }
  if (request.config) EmbedConfig(*request.config, &resources);

  const bool keep = !request.archive && !request.removeArchive;
  CarriedArchive carried;
  if (!FindCarriedArchive(image, resources, keep, &carried, error)) {
    return false;
  }
  const std::size_t overlayEnd =
      carried.present ? carried.start : image.file.size();
  const std::uint8_t *begin = nullptr, *end = nullptr;
  const bool appends = request.archive || (keep && carried.present);
  if (request.archive) {
    begin = request.archive->data();
    end = begin + request.archive->size();
  } else if (keep && carried.present) {
    begin = image.file.data() + carried.start;
    end = image.file.data() + carried.end;
  }
  if (!appends) {
    AnnounceArchive(&resources, std::nullopt);
    return Rebuild(image, resources, overlayEnd, output, warnings, error);
  }
  // The archive's offset is the size of the rebuilt image, which an
  // announcement of any value gives: the resource's size does not change.
  std::vector<std::string> again;
  AnnounceArchive(&resources, 0);
  if (!Rebuild(image, resources, overlayEnd, output, warnings, error)) {
    return false;
  }
  AnnounceArchive(&resources, output->size());
  return Rebuild(image, resources, overlayEnd, output, &again, error) &&
         AppendArchive(image, begin, end, output, error);
}
