#ifndef LAUNCHER_TESTS_BRAND_TEST_PE_H_
#define LAUNCHER_TESTS_BRAND_TEST_PE_H_

// A small PE image in memory for the tests of launcher-brand: .text, .rsrc
// holding the given resources, then .reloc (or another section), then an
// overlay and a certificate table, laid out as MinGW's linker does.

#include <string>
#include <vector>

#include "brand/pe_image.h"
#include "brand/resource_tree.h"

struct TestPe {
  bool is64 = false;
  std::string afterResources = ".reloc";  // "" for .rsrc as last section
  Bytes overlay;
  Bytes certificate;
};

inline Bytes BuildTestPe(const std::vector<Resource>& resources,
                         const TestPe& o = TestPe()) {
  const std::uint32_t fileAlign = 0x200, sectionAlign = 0x1000;
  std::vector<std::string> names = {".text", ".rsrc"};
  if (!o.afterResources.empty()) names.push_back(o.afterResources);
  const std::size_t optSize = o.is64 ? 240 : 224, opt = 0x58;
  Bytes f(opt + optSize + 40 * names.size(), 0);
  f[0] = 'M', f[1] = 'Z', f[0x40] = 'P', f[0x41] = 'E';
  PutU32(f, 0x3c, 0x40);
  PutU16(f, 0x46, static_cast<std::uint16_t>(names.size()));
  PutU16(f, 0x54, static_cast<std::uint16_t>(optSize));
  PutU16(f, opt, o.is64 ? 0x20b : 0x10b);
  PutU32(f, opt + 32, sectionAlign);
  PutU32(f, opt + 36, fileAlign);
  PutU32(f, opt + (o.is64 ? 108 : 92), 16);
  const std::size_t dirs = opt + (o.is64 ? 112 : 96);
  PadTo(f, fileAlign);
  std::uint32_t va = sectionAlign;
  for (std::size_t i = 0; i < names.size(); ++i) {
    Bytes data(12, static_cast<std::uint8_t>(0xA0 + i));
    std::string error;
    if (names[i] == ".rsrc") SerializeResourceTree(resources, va, &data, &error);
    std::size_t header = opt + optSize + 40 * i, raw = f.size();
    std::copy(names[i].begin(), names[i].end(), f.begin() + header);
    f.insert(f.end(), data.begin(), data.end());
    PadTo(f, fileAlign);
    const std::uint32_t fields[] = {
        static_cast<std::uint32_t>(data.size()), va,
        static_cast<std::uint32_t>(f.size() - raw),
        static_cast<std::uint32_t>(raw)};
    for (int k = 0; k < 4; ++k) PutU32(f, header + 8 + 4 * k, fields[k]);
    PutU32(f, header + 36, 0x40000040);
    std::size_t dir = names[i] == ".rsrc" ? 2 : names[i] == ".reloc" ? 5 : 0;
    if (dir != 0) {
      PutU32(f, dirs + 8 * dir, va);
      PutU32(f, dirs + 8 * dir + 4, static_cast<std::uint32_t>(data.size()));
    }
    PutU32(f, opt + 8, GetU32(f, opt + 8) + fields[2]);
    va = static_cast<std::uint32_t>(AlignUp(va + data.size(), sectionAlign));
  }
  PutU32(f, opt + 56, va);
  f.insert(f.end(), o.overlay.begin(), o.overlay.end());
  if (!o.certificate.empty()) {
    PutU32(f, dirs + 32, static_cast<std::uint32_t>(f.size()));
    PutU32(f, dirs + 36, static_cast<std::uint32_t>(o.certificate.size()));
    f.insert(f.end(), o.certificate.begin(), o.certificate.end());
  }
  PutU32(f, opt + 64, PeChecksum(f, opt + 64));
  return f;
}

inline Resource TestResource(std::uint32_t type, std::uint32_t name,
                             const std::string& data,
                             std::uint32_t language = 0x409) {
  return {ResourceName::Id(type), ResourceName::Id(name),
          ResourceName::Id(language), 0, Bytes(data.begin(), data.end())};
}

#endif  // LAUNCHER_TESTS_BRAND_TEST_PE_H_
