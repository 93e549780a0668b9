#include "brand/version_resource.h"

#include <gtest/gtest.h>

#include <functional>

#include "brand/version_edit.h"

namespace {

// Two string tables; texts of odd and even lengths, so that padding shows.
Bytes TwoTables() {
  VersionBlock root = NewVersionResource();
  VersionBlock& english = root.children[0].children[0];
  english.children = {TextBlock(u"CompanyName", u"Old Co"),
                      TextBlock(u"Comments", u"keep me"),
                      TextBlock(u"ProductName", u"Old")};
  VersionBlock german = english;
  german.key = u"040704B0";
  german.children.pop_back();
  root.children[0].children.push_back(german);
  Bytes data;
  std::string error;
  EXPECT_TRUE(SerializeVersionResource(root, &data, &error)) << error;
  return data;
}

std::vector<std::u16string> Strings(const VersionBlock& table) {
  std::vector<std::u16string> out;
  for (const VersionBlock& s : table.children) {
    out.push_back(s.key + u"=" + BlockText(s));
  }
  return out;
}

TEST(VersionResource, ReadsWhatItWritesWithLengthsAndPadding) {
  Bytes data = TwoTables(), again;
  VersionBlock root;
  std::string error;
  ASSERT_TRUE(ParseVersionResource(data, &root, &error)) << error;
  ASSERT_TRUE(SerializeVersionResource(root, &again, &error)) << error;
  EXPECT_EQ(again, data);
  EXPECT_EQ(GetU16(data, 0), data.size());
  EXPECT_EQ(GetU16(data, 2), 52);  // VS_FIXEDFILEINFO
  EXPECT_EQ(data.size() % 4, 0u);
  // Root: 6 + "VS_VERSION_INFO\0" (32) = 38, padded to 40, then the value.
  EXPECT_EQ(GetU32(data, 40), kFixedFileInfoSignature);
  EXPECT_EQ(root.children[1].key, u"VarFileInfo");
}

TEST(VersionEdits, SetsStringsInEveryTableAndTheFixedNumbers) {
  VersionBlock root;
  std::string error;
  ASSERT_TRUE(ParseVersionResource(TwoTables(), &root, &error)) << error;
  VersionEdits edits;
  edits.strings = {{u"ProductName", u"Tool \u00e9t\u00e9"},
                   {u"CompanyName", u"New Co"}};
  edits.fixedVersion = std::array<std::uint16_t, 4>{2, 1, 0, 7};
  ApplyVersionEdits(edits, &root);
  const VersionBlock& tables = root.children[0];
  using List = std::vector<std::u16string>;
  EXPECT_EQ(Strings(tables.children[0]),
            (List{u"CompanyName=New Co", u"Comments=keep me",
                  u"ProductName=Tool \u00e9t\u00e9"}));
  EXPECT_EQ(Strings(tables.children[1]),
            (List{u"CompanyName=New Co", u"Comments=keep me",
                  u"ProductName=Tool \u00e9t\u00e9"}));
  for (std::size_t at : {8, 16}) {
    EXPECT_EQ(GetU32(root.value, at), 0x00020001u);
    EXPECT_EQ(GetU32(root.value, at + 4), 0x00000007u);
  }
  EXPECT_EQ(GetU32(root.value, 36), 1u);  // the file type stays
}

TEST(VersionResource, RefusesBrokenTrees) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* message;
  };
  const Case cases[] = {
      {"empty", [](Bytes& d) { d.clear(); }, "runs past its parent"},
      {"length past the end", [](Bytes& d) { PutU16(d, 0, 0xfff0); },
       "bad length"},
      {"length too small", [](Bytes& d) { PutU16(d, 0, 4); }, "bad length"},
      {"child length zero", [](Bytes& d) { PutU16(d, 92, 0); },
       "bad length"},
      {"other root key", [](Bytes& d) { d[6] = 'W'; }, "not VS_VERSION_INFO"},
      {"no signature", [](Bytes& d) { d[40] = 0; }, "VS_FIXEDFILEINFO"},
      {"key without end",
       [](Bytes& d) {
         PutU16(d, 0, 20);
         std::fill(d.begin() + 6, d.begin() + 20, 'A');
       },
       "key runs past"},
      {"value past its block", [](Bytes& d) { PutU16(d, 2, 0x7000); },
       "runs past its block"},
  };
  for (const Case& c : cases) {
    Bytes data = TwoTables();
    c.damage(data);
    VersionBlock root;
    std::string error;
    EXPECT_FALSE(ParseVersionResource(data, &root, &error)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": "
                                                          << error;
  }
}

}  // namespace
