#include "brand/program_icon.h"

#include <algorithm>
#include <set>

namespace {

bool IsType(const Resource& r, std::uint32_t type) {
  return r.type.isId && r.type.id == type;
}

bool IsProgramGroup(const Resource& r) {
  return IsType(r, kTypeGroupIcon) && r.name.isId &&
         r.name.id == kProgramIconGroup;
}

// The order of the resource tree: type, then name, then language.
bool TreeLess(const Resource& a, const Resource& b) {
  if (!(a.type == b.type)) return ResourceNameLess(a.type, b.type);
  if (!(a.name == b.name)) return ResourceNameLess(a.name, b.name);
  return ResourceNameLess(a.language, b.language);
}

}  // namespace

bool ReplaceProgramIcon(std::vector<Resource>* resources,
                        const std::vector<IconImage>& images,
                        std::string* error) {
  std::set<std::uint32_t> oldIds, keptIds;
  std::vector<ResourceName> groupLanguages;
  // The language of the new images is chosen in the tree's order, not the
  // list's: an input whose directories list their entries in another order
  // is written in the tree's order, so a choice by list order would differ
  // when the output is branded again.
  const Resource* firstGroup = nullptr;
  const Resource* firstIcon = nullptr;
  for (const Resource& r : *resources) {
    bool isGroup = IsType(r, kTypeGroupIcon);
    if ((isGroup || IsType(r, kTypeIcon)) &&
        (firstIcon == nullptr || TreeLess(r, *firstIcon))) {
      firstIcon = &r;
    }
    if (!isGroup) continue;
    std::vector<std::uint16_t> ids;
    if (!ReadIconGroupIds(r.data, &ids, error)) return false;
    if (IsProgramGroup(r)) {
      oldIds.insert(ids.begin(), ids.end());
      groupLanguages.push_back(r.language);
      if (firstGroup == nullptr || TreeLess(r, *firstGroup)) firstGroup = &r;
    } else {
      keptIds.insert(ids.begin(), ids.end());
    }
  }
  ResourceName language = ResourceName::Id(kDefaultIconLanguage);
  if (firstGroup != nullptr) {
    language = firstGroup->language;
  } else if (firstIcon != nullptr) {
    language = firstIcon->language;
    groupLanguages.push_back(language);
  } else {
    groupLanguages.push_back(language);
  }

  resources->erase(
      std::remove_if(resources->begin(), resources->end(),
                     [&](const Resource& r) {
                       if (IsProgramGroup(r)) return true;
                       return IsType(r, kTypeIcon) && r.name.isId &&
                              oldIds.count(r.name.id) != 0 &&
                              keptIds.count(r.name.id) == 0;
                     }),
      resources->end());

  std::set<std::uint32_t> taken = keptIds;
  for (const Resource& r : *resources) {
    if (IsType(r, kTypeIcon) && r.name.isId) taken.insert(r.name.id);
  }
  std::vector<std::uint16_t> newIds;
  for (std::uint32_t id = 1; id <= 0xffff && newIds.size() < images.size();
       ++id) {
    if (taken.count(id) == 0) newIds.push_back(static_cast<std::uint16_t>(id));
  }
  if (newIds.size() < images.size()) {
    *error = "no free icon ids are left for the new images";
    return false;
  }
  for (std::size_t i = 0; i < images.size(); ++i) {
    resources->push_back({ResourceName::Id(kTypeIcon),
                          ResourceName::Id(newIds[i]), language, 0,
                          images[i].data});
  }
  Bytes group = MakeIconGroup(images, newIds);
  for (const ResourceName& groupLanguage : groupLanguages) {
    resources->push_back({ResourceName::Id(kTypeGroupIcon),
                          ResourceName::Id(kProgramIconGroup), groupLanguage,
                          0, group});
  }
  return true;
}
