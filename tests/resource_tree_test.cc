#include "brand/resource_tree.h"

#include <gtest/gtest.h>

#include "tests/brand_test_files.h"

namespace {

constexpr std::uint32_t kRva = 0x3000;

Resource Named(const std::u16string& type) {
  Resource r = TestResource(0, 1, "named");
  r.type = {false, 0, type};
  return r;
}

TEST(ResourceTree, WritesWindowsOrderAndReadsItBack) {
  std::vector<Resource> list = {
      TestResource(14, 101, "group"), Named(u"Zeta"),
      TestResource(3, 2, "image two"), Named(u"beta"),
      TestResource(3, 1, "image one", 0x407), Named(u"Alpha"),
      TestResource(3, 1, "image one'", 0x409), TestResource(10, 1, "")};
  Bytes section;
  std::string error;
  ASSERT_TRUE(SerializeResourceTree(list, kRva, &section, &error)) << error;
  std::vector<Resource> back;
  ASSERT_TRUE(ParseResourceTree(section, kRva, 0, &back, &error)) << error;
  std::string keys;
  for (const Resource& r : back) {
    keys += KeyOf(r) + "=" + std::string(r.data.begin(), r.data.end()) + " ";
  }
  EXPECT_EQ(keys, "Alpha=named beta=named Zeta=named 3/1/1031=image one "
                  "3/1/1033=image one' 3/2/1033=image two 10/1/1033= "
                  "14/101/1033=group ");
  EXPECT_FALSE(SerializeResourceTree({list[0], list[0]}, kRva, &section,
                                     &error));
  EXPECT_NE(error.find("the same type, name and language"), std::string::npos);
}

TEST(ResourceTree, RefusesBrokenTrees) {
  // One resource: root 0..24, type directory 24..48, name directory 48..72,
  // data entry 72..88, data at 88.
  const std::tuple<std::size_t, std::uint32_t, const char*> cases[] = {
      {44, 0x80000000, "reached twice"},  // the name directory is the root
      {12, 5000u << 16, "entries run past"},
      {20, 0x80001000, "runs past the section"},
      {16, 0x80000f00, "name runs past"},
      {68, 0x80000000 | 24, "deeper than three"},
      {20, 72, "type entry holds data"},
      {72, 0x100, "outside the resource section"},
      {76, 0x10000, "outside the resource section"},
  };
  for (const auto& [at, value, message] : cases) {
    Bytes section;
    std::vector<Resource> out;
    std::string error;
    ASSERT_TRUE(SerializeResourceTree({TestResource(10, 1, "data")}, kRva,
                                      &section, &error));
    PutU32(section, at, value);
    EXPECT_FALSE(ParseResourceTree(section, kRva, 0, &out, &error));
    EXPECT_NE(error.find(message), std::string::npos) << at << error;
  }
}

}  // namespace
