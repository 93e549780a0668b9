#ifndef LAUNCHER_BRAND_RESOURCE_TREE_H_
#define LAUNCHER_BRAND_RESOURCE_TREE_H_

// The resources of an executable as a flat list of (type, name, language)
// -> data, read from and written as the three-level directory tree of a
// resource section.

#include <cstdint>
#include <string>
#include <vector>

#include "brand/byte_io.h"

constexpr std::uint32_t kTypeIcon = 3;
constexpr std::uint32_t kTypeGroupIcon = 14;
constexpr std::uint32_t kTypeVersion = 16;
constexpr std::uint32_t kTypeManifest = 24;

// A directory entry's key: an integer id or a UTF-16 name.
struct ResourceName {
  bool isId = true;
  std::uint32_t id = 0;
  std::u16string text;

  static ResourceName Id(std::uint32_t id) { return {true, id, {}}; }
  bool operator==(const ResourceName& o) const {
    return isId == o.isId && (isId ? id == o.id : text == o.text);
  }
};

// The order Windows requires of a directory's entries: names first,
// compared case-insensitively, then ids ascending.
bool ResourceNameLess(const ResourceName& a, const ResourceName& b);

struct Resource {
  ResourceName type;
  ResourceName name;
  ResourceName language;
  std::uint32_t codePage = 0;
  Bytes data;
};

// Reads the tree whose root directory is at `rootOffset` of `section`, the
// bytes of a section loaded at `sectionRva`. Every offset, count and size is
// checked; a directory or data entry reached twice (a cycle or a shared
// subtree) is refused, so the walk ends and its output stays bounded.
bool ParseResourceTree(const Bytes& section, std::uint32_t sectionRva,
                       std::size_t rootOffset, std::vector<Resource>* out,
                       std::string* error);

// Lays `resources` out as a resource section loaded at `sectionRva`: the
// directories in Windows' order (breadth first), then the data entries, the
// names, and the data, each datum 8-aligned. The same resources give the
// same bytes whatever their order in the list. Refuses two resources with
// the same type, name and language.
bool SerializeResourceTree(std::vector<Resource> resources,
                           std::uint32_t sectionRva, Bytes* out,
                           std::string* error);

#endif  // LAUNCHER_BRAND_RESOURCE_TREE_H_
