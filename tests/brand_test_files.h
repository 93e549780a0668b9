#ifndef LAUNCHER_TESTS_BRAND_TEST_FILES_H_
#define LAUNCHER_TESTS_BRAND_TEST_FILES_H_

// Small input files for the tests of launcher-brand: a PE image laid out as
// MinGW's linker does (.text, .rsrc with the given resources, then .reloc or
// another section or none, an overlay and a certificate table), and an .ico
// file.

#include <string>
#include <vector>

#include "brand/pe_image.h"
#include "brand/resource_tree.h"

struct TestPe {
  bool is64 = false;
  std::string afterResources = ".reloc";
  Bytes overlay, certificate;
};

inline Bytes BuildTestPe(const std::vector<Resource>& resources,
                         const TestPe& o = TestPe()) {
  std::vector<std::string> names = {".text", ".rsrc", o.afterResources};
  if (o.afterResources.empty()) names.pop_back();
  const std::size_t optSize = o.is64 ? 240 : 224, opt = 0x58;
  const std::size_t dirs = opt + (o.is64 ? 112 : 96);
  Bytes f(0x200, 0);
  f[0] = 'M', f[1] = 'Z', f[0x40] = 'P', f[0x41] = 'E', f[0x3c] = 0x40;
  f[0x46] = static_cast<std::uint8_t>(names.size());
  f[0x54] = static_cast<std::uint8_t>(optSize);
  PutU16(f, opt, o.is64 ? 0x20b : 0x10b);
  PutU32(f, opt + 32, 0x1000);  // section alignment
  PutU32(f, opt + 36, 0x200);   // file alignment
  f[dirs - 4] = 16;             // data directories
  std::uint32_t va = 0x1000;
  for (std::size_t i = 0; i < names.size(); ++i) {
    Bytes data(12, static_cast<std::uint8_t>(0xA0 + i));
    std::string error;
    if (i == 1) SerializeResourceTree(resources, va, &data, &error);
    std::size_t header = opt + optSize + 40 * i, raw = f.size();
    std::copy(names[i].begin(), names[i].end(), f.begin() + header);
    f.insert(f.end(), data.begin(), data.end());
    PadTo(f, 0x200);
    const std::uint32_t size = static_cast<std::uint32_t>(data.size()),
                        fields[] = {size, va, std::uint32_t(f.size() - raw),
                                    std::uint32_t(raw)};
    for (int k = 0; k < 4; ++k) PutU32(f, header + 8 + 4 * k, fields[k]);
    PutU32(f, header + 36, 0x40000040);  // initialized data, readable
    std::size_t dir = i == 1 ? 2 : names[i] == ".reloc" ? 5 : 0;
    if (dir != 0) {
      PutU32(f, dirs + 8 * dir, va);
      PutU32(f, dirs + 8 * dir + 4, size);
    }
    PutU32(f, opt + 8, GetU32(f, opt + 8) + fields[2]);
    va = static_cast<std::uint32_t>(AlignUp(va + size, 0x1000));
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

// An .ico file holding the images (16, 32, 48... pixels wide), with byte
// `at` (when not 0) set to `value`.
inline Bytes IconFile(const std::vector<Bytes>& images, std::size_t at = 0,
                      std::uint8_t value = 0) {
  Bytes f = {0, 0, 1, 0, static_cast<std::uint8_t>(images.size()), 0};
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    f.insert(f.end(), {static_cast<std::uint8_t>(16 * (i + 1)), 0, 0, 0, 1,
                       0, 32, 0});
    AppendU32(f, static_cast<std::uint32_t>(images[i].size()));
    AppendU32(f, static_cast<std::uint32_t>(offset));
    offset += images[i].size();
  }
  for (const Bytes& image : images) f.insert(f.end(), image.begin(), image.end());
  if (at != 0) f[at] = value;
  return f;
}

const Bytes kTestPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 'I', 'H'};

#endif  // LAUNCHER_TESTS_BRAND_TEST_FILES_H_
