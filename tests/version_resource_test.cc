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
  root.children[0].children.push_back(english);
  root.children[0].children[1].key = u"040704B0";
  root.children[0].children[1].children.pop_back();
  Bytes data;
  std::string error;
  EXPECT_TRUE(SerializeVersionResource(root, &data, &error)) << error;
  return data;
}

TEST(VersionResource, EditsEveryTableAndWritesWhatItReads) {
  const Bytes data = TwoTables();
  VersionBlock root;
  Bytes again;
  std::string error;
  ASSERT_TRUE(ParseVersionResource(data, &root, &error)) << error;
  ASSERT_TRUE(SerializeVersionResource(root, &again, &error)) << error;
  EXPECT_EQ(again, data);
  EXPECT_EQ(GetU16(data, 0), data.size());
  // 6 + "VS_VERSION_INFO\0" (32) = 38, padded to 40: VS_FIXEDFILEINFO.
  EXPECT_EQ(GetU32(data, 40), kFixedFileInfoSignature);

  VersionEdits edits;
  edits.strings = {{u"ProductName", u"T\u00e9"}, {u"CompanyName", u"New"}};
  ApplyVersionEdits(edits, &root);
  for (const VersionBlock& table : root.children[0].children) {
    std::u16string strings;
    for (const VersionBlock& s : table.children) {
      strings += s.key + u"=" + BlockText(s) + u";";
    }
    EXPECT_EQ(strings,
              u"CompanyName=New;Comments=keep me;ProductName=T\u00e9;");
  }
}

TEST(VersionResource, RefusesBrokenTrees) {
  const std::pair<std::function<void(Bytes&)>, const char*> cases[] = {
      {[](Bytes& d) { d.clear(); }, "runs past its parent"},
      {[](Bytes& d) { PutU16(d, 0, 0xfff0); }, "bad length"},
      {[](Bytes& d) { PutU16(d, 0, 4); }, "bad length"},
      {[](Bytes& d) { PutU16(d, 92, 0); }, "bad length"},  // first child
      {[](Bytes& d) { d[6] = 'W'; }, "not VS_VERSION_INFO"},
      {[](Bytes& d) { d[40] = 0; }, "VS_FIXEDFILEINFO"},
      {[](Bytes& d) { PutU16(d, 0, 20); }, "key runs past"},
      {[](Bytes& d) { PutU16(d, 2, 0x7000); }, "runs past its block"},
  };
  for (const auto& [damage, message] : cases) {
    Bytes data = TwoTables();
    damage(data);
    VersionBlock root;
    std::string error;
    EXPECT_FALSE(ParseVersionResource(data, &root, &error)) << message;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

}  // namespace
