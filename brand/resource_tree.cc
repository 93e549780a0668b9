#include "brand/resource_tree.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectorySize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;

bool Fail(std::string* error, const std::string& text) {
  *error = "resources: " + text;
  return false;
}

char16_t FoldCase(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

struct Entry {
  ResourceName name;
  bool isDirectory = false;
  std::uint32_t target = 0;
};

struct Walk {
  const Bytes& section;
  std::uint32_t sectionRva;
  std::set<std::size_t> seen;  // directories and data entries read so far
  std::uint64_t dataTotal = 0;
};

bool ReadName(const Walk& walk, std::uint32_t offset, ResourceName* name,
              std::string* error) {
  std::uint16_t length = 0;
  if (!ReadU16(walk.section, offset, &length) ||
      !InBounds(walk.section.size(), std::uint64_t{offset} + 2,
                std::uint64_t{length} * 2)) {
    return Fail(error, "a resource name runs past the section");
  }
  name->isId = false;
  name->text.clear();
  for (std::uint16_t i = 0; i < length; ++i) {
    name->text.push_back(GetU16(walk.section, offset + 2 + 2 * i));
  }
  return true;
}

bool ReadDirectory(Walk& walk, std::size_t offset, std::vector<Entry>* entries,
                   std::string* error) {
  if (!walk.seen.insert(offset).second) {
    return Fail(error, "a directory is reached twice (a cycle?)");
  }
  const Bytes& s = walk.section;
  if (!InBounds(s.size(), offset, kDirectorySize)) {
    return Fail(error, "a directory runs past the section");
  }
  std::size_t count = std::size_t{GetU16(s, offset + 12)} +
                      GetU16(s, offset + 14);
  if (!InBounds(s.size(), offset + kDirectorySize, count * kEntrySize)) {
    return Fail(error, "a directory's entries run past the section");
  }
  entries->clear();
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t at = offset + kDirectorySize + i * kEntrySize;
    std::uint32_t name = GetU32(s, at);
    std::uint32_t target = GetU32(s, at + 4);
    Entry e;
    if (name & kHighBit) {
      if (!ReadName(walk, name & ~kHighBit, &e.name, error)) return false;
    } else {
      e.name = ResourceName::Id(name);
    }
    e.isDirectory = (target & kHighBit) != 0;
    e.target = target & ~kHighBit;
    entries->push_back(e);
  }
  return true;
}

bool ReadData(Walk& walk, const Entry& entry, Resource* resource,
              std::string* error) {
  if (entry.isDirectory) {
    return Fail(error, "the tree is deeper than three levels");
  }
  const Bytes& s = walk.section;
  if (!walk.seen.insert(entry.target).second) {
    return Fail(error, "a data entry is reached twice");
  }
  if (!InBounds(s.size(), entry.target, kDataEntrySize)) {
    return Fail(error, "a data entry runs past the section");
  }
  std::uint32_t rva = GetU32(s, entry.target);
  std::uint32_t size = GetU32(s, entry.target + 4);
  resource->codePage = GetU32(s, entry.target + 8);
  walk.dataTotal += size;
  if (rva < walk.sectionRva ||
      !InBounds(s.size(), rva - walk.sectionRva, size) ||
      walk.dataTotal > s.size()) {
    return Fail(error, "resource data lies outside the resource section");
  }
  auto begin = s.begin() + (rva - walk.sectionRva);
  resource->data.assign(begin, begin + size);
  return true;
}

// The resources grouped as the directory tree holds them.
struct NameNode {
  ResourceName name;
  std::vector<std::size_t> resources;  // one per language
};
struct TypeNode {
  ResourceName type;
  std::vector<NameNode> names;
};

// Writes a directory's counts; false when either does not fit its field.
bool PutDirectory(Bytes& out, std::size_t at,
                  const std::vector<const ResourceName*>& keys) {
  std::size_t named = 0;
  for (const ResourceName* key : keys) named += key->isId ? 0 : 1;
  if (named > 0xffff || keys.size() - named > 0xffff) return false;
  PutU16(out, at + 12, static_cast<std::uint16_t>(named));
  PutU16(out, at + 14, static_cast<std::uint16_t>(keys.size() - named));
  return true;
}

}  // namespace

bool ResourceNameLess(const ResourceName& a, const ResourceName& b) {
  if (a.isId != b.isId) return !a.isId;
  if (a.isId) return a.id < b.id;
  std::u16string fa = a.text, fb = b.text;
  std::transform(fa.begin(), fa.end(), fa.begin(), FoldCase);
  std::transform(fb.begin(), fb.end(), fb.begin(), FoldCase);
  return std::tie(fa, a.text) < std::tie(fb, b.text);
}

bool ParseResourceTree(const Bytes& section, std::uint32_t sectionRva,
                       std::size_t rootOffset, std::vector<Resource>* out,
                       std::string* error) {
  Walk walk{section, sectionRva, {}, 0};
  out->clear();
  std::vector<Entry> types, names, languages;
  if (!ReadDirectory(walk, rootOffset, &types, error)) return false;
  for (const Entry& type : types) {
    if (!type.isDirectory) return Fail(error, "a type entry holds data");
    if (!ReadDirectory(walk, type.target, &names, error)) return false;
    for (const Entry& name : names) {
      if (!name.isDirectory) return Fail(error, "a name entry holds data");
      if (!ReadDirectory(walk, name.target, &languages, error)) return false;
      for (const Entry& language : languages) {
        Resource r;
        r.type = type.name;
        r.name = name.name;
        r.language = language.name;
        if (!ReadData(walk, language, &r, error)) return false;
        out->push_back(std::move(r));
      }
    }
  }
  return true;
}

bool SerializeResourceTree(std::vector<Resource> resources,
                           std::uint32_t sectionRva, Bytes* out,
                           std::string* error) {
  auto less = [](const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return ResourceNameLess(a.type, b.type);
    if (!(a.name == b.name)) return ResourceNameLess(a.name, b.name);
    return ResourceNameLess(a.language, b.language);
  };
  std::sort(resources.begin(), resources.end(), less);
  std::vector<TypeNode> tree;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const Resource& r = resources[i];
    if (i > 0 && !less(resources[i - 1], r)) {
      return Fail(error, "two resources have the same type, name and "
                         "language");
    }
    if (tree.empty() || !(tree.back().type == r.type)) {
      tree.push_back({r.type, {}});
    }
    std::vector<NameNode>& names = tree.back().names;
    if (names.empty() || !(names.back().name == r.name)) {
      names.push_back({r.name, {}});
    }
    names.back().resources.push_back(i);
  }

  // Layout: root, type directories, name directories, data entries, names,
  // data.
  std::size_t pos = kDirectorySize + kEntrySize * tree.size();
  std::vector<std::size_t> typeAt, nameAt;
  for (const TypeNode& t : tree) {
    typeAt.push_back(pos);
    pos += kDirectorySize + kEntrySize * t.names.size();
  }
  for (const TypeNode& t : tree) {
    for (const NameNode& n : t.names) {
      nameAt.push_back(pos);
      pos += kDirectorySize + kEntrySize * n.resources.size();
    }
  }
  const std::size_t dataEntriesAt = pos;
  pos += kDataEntrySize * resources.size();
  std::vector<std::pair<const ResourceName*, std::size_t>> strings;
  auto placeName = [&](const ResourceName& name) {
    if (name.isId) return;
    strings.push_back({&name, pos});
    pos += 2 + 2 * name.text.size();
  };
  for (const TypeNode& t : tree) placeName(t.type);
  for (const TypeNode& t : tree) {
    for (const NameNode& n : t.names) placeName(n.name);
  }
  for (const Resource& r : resources) placeName(r.language);
  std::vector<std::size_t> dataAt;
  for (const Resource& r : resources) {
    pos = static_cast<std::size_t>(AlignUp(pos, 8));
    dataAt.push_back(pos);
    pos += r.data.size();
  }
  pos = static_cast<std::size_t>(AlignUp(pos, 8));
  if (pos > 0x7fffffff || pos > 0xffffffffULL - sectionRva) {
    return Fail(error, "the resource section would be too large");
  }

  Bytes b(pos, 0);
  auto nameField = [&](const ResourceName& name) -> std::uint32_t {
    if (name.isId) return name.id & ~kHighBit;
    for (const auto& s : strings) {
      if (s.first == &name) return kHighBit | static_cast<std::uint32_t>(
                                                  s.second);
    }
    return 0;  // not reached: every name was placed above
  };
  for (const auto& s : strings) {
    if (s.first->text.size() > 0xffff) {
      return Fail(error, "a resource name is too long");
    }
    PutU16(b, s.second, static_cast<std::uint16_t>(s.first->text.size()));
    for (std::size_t k = 0; k < s.first->text.size(); ++k) {
      PutU16(b, s.second + 2 + 2 * k, s.first->text[k]);
    }
  }
  std::vector<const ResourceName*> keys;
  for (const TypeNode& t : tree) keys.push_back(&t.type);
  bool countsFit = PutDirectory(b, 0, keys);
  std::size_t nameIndex = 0;
  for (std::size_t ti = 0; ti < tree.size(); ++ti) {
    const TypeNode& t = tree[ti];
    std::size_t entry = kDirectorySize + kEntrySize * ti;
    PutU32(b, entry, nameField(t.type));
    PutU32(b, entry + 4, kHighBit | static_cast<std::uint32_t>(typeAt[ti]));
    keys.clear();
    for (std::size_t ni = 0; ni < t.names.size(); ++ni, ++nameIndex) {
      const NameNode& n = t.names[ni];
      keys.push_back(&n.name);
      entry = typeAt[ti] + kDirectorySize + kEntrySize * ni;
      PutU32(b, entry, nameField(n.name));
      PutU32(b, entry + 4,
             kHighBit | static_cast<std::uint32_t>(nameAt[nameIndex]));
      std::vector<const ResourceName*> languages;
      for (std::size_t li = 0; li < n.resources.size(); ++li) {
        std::size_t index = n.resources[li];
        const Resource& r = resources[index];
        languages.push_back(&r.language);
        std::size_t at = nameAt[nameIndex] + kDirectorySize + kEntrySize * li;
        std::size_t dataEntry = dataEntriesAt + kDataEntrySize * index;
        PutU32(b, at, nameField(r.language));
        PutU32(b, at + 4, static_cast<std::uint32_t>(dataEntry));
        PutU32(b, dataEntry,
               sectionRva + static_cast<std::uint32_t>(dataAt[index]));
        PutU32(b, dataEntry + 4, static_cast<std::uint32_t>(r.data.size()));
        PutU32(b, dataEntry + 8, r.codePage);
        std::copy(r.data.begin(), r.data.end(), b.begin() + dataAt[index]);
      }
      countsFit = PutDirectory(b, nameAt[nameIndex], languages) && countsFit;
    }
    countsFit = PutDirectory(b, typeAt[ti], keys) && countsFit;
  }
  if (!countsFit) return Fail(error, "too many entries in one directory");
  *out = std::move(b);
  return true;
}
