#include "brand/resource_tree.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/brand_test_pe.h"

namespace {

constexpr std::uint32_t kRva = 0x3000;

Resource Named(const std::u16string& type, std::uint32_t name) {
  Resource r = TestResource(0, name, "named");
  r.type = {false, 0, type};
  return r;
}

std::vector<Resource> Parse(const Bytes& section, std::string* error) {
  std::vector<Resource> out;
  if (!ParseResourceTree(section, kRva, 0, &out, error)) out.clear();
  return out;
}

TEST(ResourceTree, WritesWindowsOrderWhateverTheInputOrder) {
  std::vector<Resource> list = {
      TestResource(14, 101, "group"), Named(u"zeta", 1),
      TestResource(3, 2, "image two"), Named(u"beta", 1),
      TestResource(3, 1, "image one", 0x407), Named(u"Alpha", 1),
      TestResource(3, 1, "image one", 0x409), TestResource(10, 1, "")};
  Bytes first, second;
  std::string error;
  ASSERT_TRUE(SerializeResourceTree(list, kRva, &first, &error)) << error;
  std::reverse(list.begin(), list.end());
  ASSERT_TRUE(SerializeResourceTree(list, kRva, &second, &error)) << error;
  EXPECT_EQ(first, second);
  std::vector<Resource> back = Parse(first, &error);
  ASSERT_EQ(back.size(), list.size()) << error;
  const char* order[] = {"Alpha", "beta", "zeta", "3/1/1031", "3/1/1033",
                         "3/2/1033", "10/1/1033", "14/101/1033"};
  for (std::size_t i = 0; i < back.size(); ++i) {
    const Resource& r = back[i];
    std::string key = r.type.isId ? std::to_string(r.type.id) + "/" +
                                        std::to_string(r.name.id) + "/" +
                                        std::to_string(r.language.id)
                                  : std::string(r.type.text.begin(),
                                                r.type.text.end());
    EXPECT_EQ(key, order[i]);
    auto same = std::find_if(list.begin(), list.end(), [&](const Resource& o) {
      return o.type == r.type && o.name == r.name && o.language == r.language;
    });
    EXPECT_EQ(same->data, r.data) << key;
  }
  EXPECT_FALSE(SerializeResourceTree({list[0], list[0]}, kRva, &first,
                                     &error));
}

TEST(ResourceTree, RefusesBrokenTrees) {
  // One resource: root 0..24, type directory 24..48, name directory 48..72,
  // data entry 72..88, data at 88.
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* message;
  };
  const Case cases[] = {
      {"cycle", [](Bytes& s) { PutU32(s, 44, 0x80000000); }, "reached twice"},
      {"entries past the section", [](Bytes& s) { PutU16(s, 14, 5000); },
       "entries run past"},
      {"directory past the section",
       [](Bytes& s) { PutU32(s, 20, 0x80001000); }, "runs past the section"},
      {"name past the section", [](Bytes& s) { PutU32(s, 16, 0x80000f00); },
       "name runs past"},
      {"four levels", [](Bytes& s) { PutU32(s, 68, 0x80000000 | 24); },
       "deeper than three"},
      {"type holding data", [](Bytes& s) { PutU32(s, 20, 72); },
       "type entry holds data"},
      {"data before the section", [](Bytes& s) { PutU32(s, 72, 0x100); },
       "outside the resource section"},
      {"data past the section", [](Bytes& s) { PutU32(s, 76, 0x10000); },
       "outside the resource section"},
  };
  for (const Case& c : cases) {
    Bytes section;
    std::string error;
    ASSERT_TRUE(SerializeResourceTree({TestResource(10, 1, "data")}, kRva,
                                      &section, &error));
    c.damage(section);
    EXPECT_TRUE(Parse(section, &error).empty()) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": "
                                                          << error;
  }
}

}  // namespace
