#include "brand/brand_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "brand/icon_file.h"
#include "brand/version_resource.h"
#include "tests/brand_test_pe.h"

namespace fs = std::filesystem;

namespace {

Bytes Group(const std::vector<std::uint16_t>& ids) {
  return MakeIconGroup(std::vector<IconImage>(ids.size()), ids);
}

void Write(const std::string& name, const Bytes& data) {
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()),
             static_cast<std::streamsize>(data.size()));
}

Bytes Read(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Runs in a folder of its own with an executable whose group 101 lists
// images 1 and 3, group 102 image 3; image 2 belongs to no group.
class BrandMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "folder");
    fs::current_path(dir_);
    std::vector<Resource> resources = {
        TestResource(3, 1, "old image 1"), TestResource(3, 2, "old image 2"),
        TestResource(3, 3, "image of 102"), TestResource(10, 1, "old"),
        TestResource(24, 1, "<requestedExecutionLevel level='asInvoker'/>")};
    resources.push_back(TestResource(14, 101, ""));
    resources.back().data = Group({1, 3});
    resources.push_back(TestResource(14, 102, ""));
    resources.back().data = Group({3});
    Write("in.exe", BuildTestPe(resources));
    resources.erase(resources.begin() + 4);
    Write("nomanifest.exe", BuildTestPe(resources));
    Bytes truncated = BuildTestPe(resources);
    Write("truncated.exe", Bytes(truncated.begin(), truncated.end() - 9));
    Bytes ico = {0, 0, 1, 0, 3, 0};
    for (std::uint32_t i = 0; i < 3; ++i) {
      ico.insert(ico.end(), {0, 0, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0});
      AppendU32(ico, 6 + 48 + 8 * i);
    }
    for (int i = 0; i < 3; ++i) {
      ico.insert(ico.end(), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'});
    }
    Write("good.ico", ico);
    ico[2] = 2;
    Write("bad.ico", ico);
    Write("ok.config", {'m', 'a', 'i', 'n', '\n'});
    Write("big.config", Bytes((1 << 20) + 1, 'x'));
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  int Run(const std::vector<std::string>& args, std::string* err) {
    std::ostringstream out, errors;
    int code = BrandMain(args, out, errors);
    *err = errors.str();
    return code;
  }

  const fs::path previous_ = fs::current_path();
  const fs::path dir_ =
      fs::temp_directory_path() /
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(BrandMainTest, RefusesBadInputAndLeavesEveryFileAsItWas) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"folder", "out.exe"}, "folder: not a file"},
      {{"ok.config", "out.exe"}, "not a Windows executable"},
      {{"truncated.exe", "out.exe"}, "truncated"},
      {{"missing.exe", "out.exe"}, "missing.exe: no such file"},
      {{"in.exe", "in.exe", "--icon", "bad.ico"}, "bad.ico: not an icon"},
      {{"in.exe", "out.exe", "--config", "big.config"}, "larger than"},
      {{"in.exe", "out.exe", "--config", "no.config"}, "no such file"},
      {{"in.exe", "no/out.exe"}, "folder does not exist"},
      {{"in.exe", "folder"}, "folder: is a folder"},
      {{"nomanifest.exe", "out.exe", "--execution-level", "asInvoker"},
       "has no manifest"},
  };
  std::vector<fs::path> before(fs::directory_iterator("."), {});
  const Bytes input = Read("in.exe");
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(Run(c.args, &err), kExitRefused) << c.message;
    EXPECT_EQ(err.rfind("launcher-brand: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator("."), {}), before);
    EXPECT_EQ(Read("in.exe"), input) << c.message;
  }
  std::string err;
  EXPECT_EQ(Run({"in.exe", "out.exe", "--version", "1.x"}, &err), kExitUsage);
}

TEST_F(BrandMainTest, BrandingTwiceGivesTheBytesOfBrandingOnce) {
  std::vector<std::string> args = {
      "in.exe", "Tool.EXE", "--icon", "good.ico", "--version", "2.1",
      "--execution-level", "requireAdministrator", "--config", "ok.config"};
  std::string err;
  ASSERT_EQ(Run(args, &err), 0) << err;
  const Bytes once = Read("Tool.EXE");
  args[0] = "Tool.EXE";
  ASSERT_EQ(Run(args, &err), 0) << err;
  EXPECT_EQ(Read("Tool.EXE"), once);
  EXPECT_EQ(err, "");

  PeImage image;
  std::vector<Resource> resources;
  ASSERT_TRUE(ParsePeImage(once, &image, &err)) << err;
  ASSERT_TRUE(ParseResourceTree(ResourceSectionBytes(image), 0x2000, 0,
                                &resources, &err)) << err;
  std::map<std::string, std::string> found;
  for (const Resource& r : resources) {
    found[std::to_string(r.type.id) + "/" + std::to_string(r.name.id) + "/" +
          std::to_string(r.language.id)] = {r.data.begin(), r.data.end()};
  }
  std::vector<std::uint16_t> ids;
  const std::string &group = found["14/101/1033"], &other = found["14/102/1033"];
  ASSERT_TRUE(ReadIconGroupIds({group.begin(), group.end()}, &ids, &err));
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{1, 4, 5}));
  EXPECT_EQ(Bytes(other.begin(), other.end()), Group({3}));
  EXPECT_EQ(found["3/2/1033"], "old image 2");
  EXPECT_EQ(found["3/3/1033"], "image of 102");
  EXPECT_EQ(found["3/5/1033"].substr(0, 4), "\x89PNG");
  EXPECT_EQ(found["10/1/0"], "main\n");
  EXPECT_EQ(found.count("10/1/1033"), 0u);  // the old one is replaced
  EXPECT_EQ(found["24/1/1033"],
            "<requestedExecutionLevel level='requireAdministrator'/>");
  const std::string& version = found["16/1/1033"];  // made anew
  VersionBlock root;
  ASSERT_TRUE(ParseVersionResource({version.begin(), version.end()}, &root,
                                   &err)) << err;
  std::map<std::u16string, std::u16string> strings;
  for (const VersionBlock& s : root.children[0].children[0].children) {
    strings[s.key] = BlockText(s);
  }
  EXPECT_EQ(strings, (std::map<std::u16string, std::u16string>{
                         {u"FileVersion", u"2.1"},
                         {u"InternalName", u"Tool"},
                         {u"OriginalFilename", u"Tool.EXE"},
                         {u"ProductVersion", u"2.1"}}));
}

}  // namespace
