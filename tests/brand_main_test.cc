#include "brand/brand_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <fstream>
#include <set>
#include <sstream>

#include "brand/icon_file.h"
#include "brand/version_resource.h"
#include "brand/version_edit.h"
#include "tests/brand_test_pe.h"

namespace fs = std::filesystem;

namespace {

const char kManifest[] =
    "<?xml version=\"1.0\"?>\n<assembly><requestedExecutionLevel "
    "level=\"asInvoker\" uiAccess=\"false\"/></assembly>\n";

Bytes Group(const std::vector<std::uint16_t>& ids) {
  std::vector<IconImage> images(ids.size());
  for (IconImage& image : images) image.data = Bytes(44, 1);
  return MakeIconGroup(images, ids);
}

Bytes Version() {
  Bytes data;
  std::string error;
  SerializeVersionResource(NewVersionResource(), &data, &error);
  return data;
}

class BrandMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("brand_main_test_" + std::to_string(::testing::UnitTest::
                                                    GetInstance()
                                                        ->random_seed()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "folder");
    previous_ = fs::current_path();
    fs::current_path(dir_);
    std::vector<Resource> resources = {
        TestResource(3, 1, "old image 1"), TestResource(3, 2, "old image 2"),
        TestResource(3, 3, "image of 102"), TestResource(16, 1, ""),
        TestResource(24, 1, kManifest), TestResource(10, 1, "old config"),
        TestResource(6, 7, "strings")};
    resources.push_back(TestResource(14, 101, ""));
    resources.back().data = Group({1, 3});  // image 3 is shared with 102
    resources.push_back(TestResource(14, 102, ""));
    resources.back().data = Group({3});
    resources[3].data = Version();
    Write("in.exe", BuildTestPe(resources));
    resources.erase(resources.begin() + 4);
    Write("nomanifest.exe", BuildTestPe(resources));
    Bytes truncated = BuildTestPe(resources);
    truncated.resize(truncated.size() - 10);
    Write("truncated.exe", truncated);
    Write("notpe.exe", Bytes(300, 'x'));
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0};
    Bytes ico = {0, 0, 1, 0, 3, 0};
    for (std::uint32_t i = 0; i < 3; ++i) {
      Bytes entry = {static_cast<std::uint8_t>(i * 16), 0, 0, 0, 1, 0, 32, 0};
      ico.insert(ico.end(), entry.begin(), entry.end());
      AppendU32(ico, 10);
      AppendU32(ico, 6 + 48 + 10 * i);
    }
    for (int i = 0; i < 3; ++i) ico.insert(ico.end(), png.begin(), png.end());
    Write("good.ico", ico);
    ico[2] = 2;
    Write("bad.ico", ico);
    Write("ok.config", Bytes{'m', 'a', 'i', 'n', '\n'});
    Write("big.config", Bytes((1 << 20) + 1, 'x'));
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }

  void Write(const std::string& name, const Bytes& data) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
  }
  Bytes Read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  std::set<std::string> Listing() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) {
      names.insert(e.path().filename().u8string());
    }
    return names;
  }
  // Runs the tool in the test folder.
  int Run(const std::vector<std::string>& args, std::string* err) {
    std::ostringstream out, errors;
    int code = BrandMain(args, out, errors);
    *err = errors.str();
    return code;
  }

  fs::path dir_, previous_;
};

const std::vector<std::string> kAllOptions = {
    "--icon", "good.ico", "--product-name", "Tool", "--description",
    "Tool \xc3\xa9t\xc3\xa9", "--company", "Co", "--copyright", "(c) Co",
    "--version", "2.1", "--execution-level", "requireAdministrator",
    "--config", "ok.config"};

TEST_F(BrandMainTest, RefusesBadInputAndLeavesEveryFileAsItWas) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* message;
  } cases[] = {
      {{"notpe.exe", "out.exe"}, 1, "not a Windows executable"},
      {{"truncated.exe", "out.exe"}, 1, "truncated"},
      {{"missing.exe", "out.exe"}, 1, "no such file"},
      {{"in.exe", "in.exe", "--icon", "bad.ico"}, 1, "not an icon file"},
      {{"in.exe", "out.exe", "--config", "big.config"}, 1, "larger than"},
      {{"in.exe", "out.exe", "--config", "none.config"}, 1, "no such file"},
      {{"in.exe", "no/out.exe"}, 1, "folder does not exist"},
      {{"in.exe", "folder"}, 1, "is a folder"},
      {{"nomanifest.exe", "out.exe", "--execution-level", "asInvoker"}, 1,
       "has no manifest"},
      {{"in.exe", "out.exe", "--version", "1.2.3.4.5"}, 2, "1 to 4 numbers"},
      {{"in.exe", "out.exe", "--execution-level", "root"}, 2, "asInvoker"},
  };
  const std::set<std::string> before = Listing();
  const Bytes input = Read("in.exe");
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(Run(c.args, &err), c.code) << c.message;
    EXPECT_EQ(err.rfind("launcher-brand: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_EQ(Listing(), before) << c.message;
    EXPECT_EQ(Read("in.exe"), input) << c.message;
  }
}

TEST_F(BrandMainTest, BrandingTwiceGivesTheBytesOfBrandingOnce) {
  std::string err;
  std::vector<std::string> args = {"in.exe", "Tool.EXE"};
  args.insert(args.end(), kAllOptions.begin(), kAllOptions.end());
  ASSERT_EQ(Run(args, &err), 0) << err;
  const Bytes once = Read("Tool.EXE");
  args[0] = "Tool.EXE";
  ASSERT_EQ(Run(args, &err), 0) << err;
  EXPECT_EQ(Read("Tool.EXE"), once);
  EXPECT_EQ(err, "");

  PeImage image;
  std::vector<Resource> resources;
  ASSERT_TRUE(ParsePeImage(once, &image, &err)) << err;
  EXPECT_EQ(GetU32(once, ChecksumOffset(image)),
            PeChecksum(once, ChecksumOffset(image)));
  ASSERT_TRUE(ParseResourceTree(ResourceSectionBytes(image), 0x2000, 0,
                                &resources, &err)) << err;
  std::map<std::string, std::string> found;
  for (const Resource& r : resources) {
    found[std::to_string(r.type.id) + "/" + std::to_string(r.name.id) + "/" +
          std::to_string(r.language.id)] =
        std::string(r.data.begin(), r.data.end());
  }
  std::vector<std::uint16_t> ids;
  const std::string& group = found["14/101/1033"];
  ASSERT_TRUE(ReadIconGroupIds(Bytes(group.begin(), group.end()), &ids, &err));
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{1, 4, 5}));
  const Bytes group102 = Group({3});
  EXPECT_EQ(found["14/102/1033"], std::string(group102.begin(),
                                              group102.end()));
  EXPECT_EQ(found["3/2/1033"], "old image 2");  // listed by no group
  EXPECT_EQ(found["3/3/1033"], "image of 102");
  EXPECT_EQ(found["3/5/1033"].substr(0, 4), "\x89PNG");
  EXPECT_EQ(found["6/7/1033"], "strings");
  EXPECT_EQ(found["10/1/0"], "main\n");
  EXPECT_EQ(found.count("10/1/1033"), 0u);
  EXPECT_NE(found["24/1/1033"].find("level=\"requireAdministrator\" "
                                    "uiAccess"),
            std::string::npos);
  VersionBlock root;
  Bytes version(found["16/1/1033"].begin(), found["16/1/1033"].end());
  ASSERT_TRUE(ParseVersionResource(version, &root, &err)) << err;
  std::map<std::u16string, std::u16string> strings;
  for (const VersionBlock& s : root.children[0].children[0].children) {
    strings[s.key] = BlockText(s);
  }
  EXPECT_EQ(strings, (std::map<std::u16string, std::u16string>{
                         {u"CompanyName", u"Co"},
                         {u"FileDescription", u"Tool \u00e9t\u00e9"},
                         {u"FileVersion", u"2.1"},
                         {u"InternalName", u"Tool"},
                         {u"LegalCopyright", u"(c) Co"},
                         {u"OriginalFilename", u"Tool.EXE"},
                         {u"ProductName", u"Tool"},
                         {u"ProductVersion", u"2.1"}}));
  EXPECT_EQ(GetU32(root.value, 8), 0x00020001u);
}

}  // namespace
