#include "brand/pe_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/brand_test_files.h"

namespace {

const std::vector<Resource> kResources = {TestResource(10, 1, "config")};
constexpr std::size_t kDirs = kOpt + 96, kReloc = kOpt + 224 + 80;

bool Replace(const Bytes& file, const Bytes& resources, Bytes* output,
             std::vector<std::string>* warnings, std::string* error) {
  PeImage in;
  return ParsePeImage(file, &in, error) &&
         ReplaceResourceSection(in, resources, file.size(), output, warnings,
                                error);
}

TEST(ReplaceResourceSection, RefusesWhatItCannotReadOrRebuild) {
  const std::pair<std::function<void(Bytes&)>, const char*> cases[] = {
      {[](Bytes& f) { f.assign(100, 'x'); }, "no MZ header"},
      {[](Bytes& f) { f[0x41] = 'X'; }, "no PE signature"},
      {[](Bytes& f) { PutU32(f, 0x3c, 0xfffffff0); }, "no PE signature"},
      {[](Bytes& f) { f.resize(0x80); }, "optional header is truncated"},
      {[](Bytes& f) { PutU16(f, kOpt, 0x107); }, "unknown optional"},
      {[](Bytes& f) { f.resize(kOpt + 240); }, "section table runs past"},
      {[](Bytes& f) { f.resize(f.size() - 9); }, "past the end of the"},
      {[](Bytes& f) { PutU32(f, kDirs + 16, 0); }, "no resource section"},
      {[](Bytes& f) { PutU32(f, kDirs + 16, 0x9000); }, "in no section"},
      {[](Bytes& f) { PutU32(f, kOpt + 36, 0x300); }, "alignment"},
      {[](Bytes& f) { PutU32(f, kOpt + 92, 1000); }, "data directories"},
      {[](Bytes& f) { f[kReloc + 1] = 'x'; },
       "section .xeloc follows the resource section and cannot be moved"},
      {[](Bytes& f) { PutU32(f, kDirs + 8, 0x3004); },  // imports in .reloc
       "section .reloc follows the resource section and cannot be moved"},
      {[](Bytes& f) { PutU32(f, kDirs + 40, 0x7000); },
       "data directory 5 points at no section"},
      {[](Bytes& f) { PutU32(f, kDirs + 72, 0x2004); },
       "data directory 9 points at no section, or into the resource"},
  };
  for (const auto& [damage, message] : cases) {
    Bytes file = BuildTestPe(kResources), output;
    damage(file);
    std::vector<std::string> warnings;
    std::string error;
    EXPECT_FALSE(Replace(file, Bytes(8, 1), &output, &warnings, &error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

TEST(ReplaceResourceSection, MovesRelocationsAndDropsOnlyTheSignature) {
  for (bool is64 : {false, true}) {
    Bytes file = BuildTestPe(kResources, is64, true), output;
    PutU32(file, kReloc + (is64 ? 16 : 0) + 16, 12);  // raw size, unaligned
    const Bytes overlay(file.begin() + 0x600 + 12, file.end() - 24);
    Bytes resources(0x2345, 0x5a);
    std::vector<std::string> warnings;
    std::string error;
    PeImage out;
    ASSERT_TRUE(Replace(file, resources, &output, &warnings, &error)) << error;
    ASSERT_TRUE(ParsePeImage(output, &out, &error)) << error;
    const PeSection &rsrc = out.sections[1], &reloc = out.sections[2];
    const DataDirectory* d = out.directories.data();
    // The sections, the resource, relocation and certificate directories,
    // SizeOfImage and SizeOfInitializedData.
    EXPECT_EQ(std::vector<std::uint32_t>(
                  {rsrc.virtualAddress, rsrc.virtualSize, rsrc.rawSize,
                   reloc.virtualAddress, reloc.rawSize,
                   reloc.rawOffset - rsrc.rawOffset, d[2].address, d[2].size,
                   d[5].address, d[5].size, d[4].address, d[4].size,
                   GetU32(output, out.optionalOffset + 56),
                   GetU32(output, out.optionalOffset + 8)}),
              std::vector<std::uint32_t>({0x2000, 0x2345, 0x2400, 0x5000,
                                          0x200, 0x2400, 0x2000, 0x2345,
                                          0x5000, 12, 0, 0, 0x6000, 0x2800}));
    EXPECT_TRUE(std::equal(resources.begin(), resources.end(),
                           output.begin() + rsrc.rawOffset));
    EXPECT_EQ(output[reloc.rawOffset], 0xA2);
    EXPECT_EQ(Bytes(output.begin() + reloc.rawOffset + reloc.rawSize,
                    output.end()), overlay);
    EXPECT_EQ(GetU32(output, ChecksumOffset(out)),
              PeChecksum(output, ChecksumOffset(out)));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("signature removed"), std::string::npos);
  }
}

TEST(PeChecksum, FoldsCarriesSkipsTheFieldAndAddsTheLength) {
  // 0xffff + 0x0002 = 0x10001 folds to 0x0002; + 0x0003 = 5; + length 10.
  const Bytes file = {0xff, 0xff, 2, 0, 0x77, 0x77, 0x77, 0x77, 3, 0};
  EXPECT_EQ(PeChecksum(file, 4), 5u + 10u);
  EXPECT_EQ(PeChecksum(Bytes{1, 2, 3}, 100), 0x0201u + 3 + 3);
}

}  // namespace
