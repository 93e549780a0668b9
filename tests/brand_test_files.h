#ifndef LAUNCHER_TESTS_BRAND_TEST_FILES_H_
#define LAUNCHER_TESTS_BRAND_TEST_FILES_H_

// Small input files for the tests of launcher-brand: a PE image laid out as
// MinGW's linker does (.text, .rsrc with the given resources, .reloc; when
// signed, an overlay and a certificate table after them), and an .ico file.

#include <cstring>
#include <string>
#include <vector>

#include "brand/pe_image.h"
#include "brand/resource_tree.h"

constexpr std::size_t kOpt = 0x58;  // the optional header

// Every section holds less than 4 KiB, so section i lies at 0x1000 * (i + 1).
inline Bytes BuildTestPe(const std::vector<Resource>& resources,
                         bool is64 = false, bool isSigned = false) {
  const std::size_t optSize = is64 ? 240 : 224, dirs = kOpt + optSize - 128;
  Bytes f(0x200, 0);
  f[0] = 'M', f[1] = 'Z', f[0x3c] = 0x40, f[0x40] = 'P', f[0x41] = 'E';
  f[0x46] = 3, f[0x54] = static_cast<std::uint8_t>(optSize);
  PutU16(f, kOpt, is64 ? 0x20b : 0x10b);
  PutU32(f, kOpt + 32, 0x1000);  // section alignment
  PutU32(f, kOpt + 36, 0x200);   // file alignment
  PutU16(f, kOpt + 70, 0x8140);  // TS-aware, NX, dynamic base
  f[dirs - 4] = 16;              // data directories
  const char* names[] = {".text", ".rsrc", ".reloc"};
  for (std::uint32_t i = 0; i < 3; ++i) {
    const std::uint32_t va = 0x1000 * (i + 1), raw = std::uint32_t(f.size());
    const std::size_t header = kOpt + optSize + 40 * i;
    Bytes data(12, static_cast<std::uint8_t>(0xA0 + i));
    std::string error;
    if (i == 1) SerializeResourceTree(resources, va, &data, &error);
    std::memcpy(&f[header], names[i], 6);
    f.insert(f.end(), data.begin(), data.end());
    PadTo(f, 0x200);
    const std::uint32_t fields[] = {std::uint32_t(data.size()), va,
                                    std::uint32_t(f.size() - raw), raw};
    for (int k = 0; k < 4; ++k) PutU32(f, header + 8 + 4 * k, fields[k]);
    PutU32(f, header + 36, 0x40000040);  // initialized data, readable
    PutU32(f, kOpt + 8, GetU32(f, kOpt + 8) + fields[2]);
    if (i > 0) {  // the resource and base relocation directories
      PutU32(f, dirs + (i == 1 ? 16 : 40), va);
      PutU32(f, dirs + (i == 1 ? 20 : 44), fields[0]);
    }
  }
  if (isSigned) {
    f.insert(f.end(), 5, 'O');
    PutU32(f, dirs + 32, std::uint32_t(f.size()));
    PutU32(f, dirs + 36, 24);
    f.insert(f.end(), 24, 'C');
  }
  return f;
}

inline Resource TestResource(std::uint32_t type, std::uint32_t name,
                             const std::string& data,
                             std::uint32_t language = 0x409) {
  return {ResourceName::Id(type), ResourceName::Id(name),
          ResourceName::Id(language), 0, Bytes(data.begin(), data.end())};
}

// "type/name/language", or the type's text when it is a name.
inline std::string KeyOf(const Resource& r) {
  if (!r.type.isId) return std::string(r.type.text.begin(), r.type.text.end());
  return std::to_string(r.type.id) + "/" + std::to_string(r.name.id) + "/" +
         std::to_string(r.language.id);
}

// An .ico file holding the images (16, 32, 48... pixels wide), with byte
// `at` (when not 0) set to `value`.
inline Bytes IconFile(const std::vector<Bytes>& images, std::size_t at = 0,
                      std::uint8_t value = 0) {
  Bytes f = {0, 0, 1, 0, static_cast<std::uint8_t>(images.size()), 0}, data;
  for (std::size_t i = 0; i < images.size(); ++i) {
    f.insert(f.end(), {std::uint8_t(16 * (i + 1)), 0, 0, 0, 1, 0, 32, 0});
    AppendU32(f, static_cast<std::uint32_t>(images[i].size()));
    AppendU32(f, static_cast<std::uint32_t>(6 + 16 * images.size() +
                                            data.size()));
    data.insert(data.end(), images[i].begin(), images[i].end());
  }
  f.insert(f.end(), data.begin(), data.end());
  if (at != 0) f[at] = value;
  return f;
}

// What the tool reads of a zip archive: `data` where the entries are, a
// central directory of one header, the end record and `comment`.
inline Bytes TestZip(const std::string& data, const std::string& comment = "") {
  Bytes z(data.begin(), data.end());
  z.insert(z.end(), {'P', 'K', 1, 2});
  z.resize(z.size() + 42, 0);
  z.insert(z.end(), {'P', 'K', 5, 6, 0, 0, 0, 0, 1, 0, 1, 0, 46, 0, 0, 0});
  AppendU32(z, std::uint32_t(data.size()));
  AppendU16(z, std::uint16_t(comment.size()));
  z.insert(z.end(), comment.begin(), comment.end());
  return z;
}

const Bytes kTestPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 'I', 'H'};
const Bytes kBitmap = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0,
                       0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0,
                       0,  0, 0, 0, 0,  0, 0, 0, 9,  9};

#endif  // LAUNCHER_TESTS_BRAND_TEST_FILES_H_
