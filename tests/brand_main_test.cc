#include "brand/brand_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "brand/icon_file.h"
#include "tests/brand_test_files.h"

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

// Runs in a folder of its own, with an executable (no manifest) whose group
// 101 lists images 1 and 3 and group 102 image 3; image 2 is in no group.
class BrandMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "folder");
    fs::current_path(dir_);
    std::vector<Resource> resources = {
        TestResource(3, 1, "old image"), TestResource(3, 2, "no group's"),
        TestResource(3, 3, "image of 102"), TestResource(10, 1, "old"),
        TestResource(14, 101, ""), TestResource(14, 102, "")};
    resources[4].data = Group({1, 3});
    resources[5].data = Group({3});
    Bytes exe = BuildTestPe(resources);
    Write("in.exe", exe);
    Write("truncated.exe", Bytes(exe.begin(), exe.end() - 9));
    Write("good.ico", IconFile({kTestPng, kTestPng, kTestPng}));
    Write("bad.ico", IconFile({kTestPng}, 2, 2));
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
      {{"in.exe", "in.exe", "--execution-level", "asInvoker"}, "no manifest"},
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
  std::vector<std::string> args = {"in.exe", "Tool.EXE", "--icon",
                                   "good.ico", "--config", "ok.config"};
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
  std::map<std::string, Bytes> found;
  for (const Resource& r : resources) {
    found[std::to_string(r.type.id) + "/" + std::to_string(r.name.id) + "/" +
          std::to_string(r.language.id)] = r.data;
  }
  // Image 1 goes, 3 stays for group 102; the new ones take 1, 4 and 5.
  std::vector<std::uint16_t> ids;
  ASSERT_TRUE(ReadIconGroupIds(found["14/101/1033"], &ids, &err));
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{1, 4, 5}));
  EXPECT_EQ(found["14/102/1033"], Group({3}));
  const std::string kept[] = {"no group's", "image of 102", "main\n"};
  EXPECT_EQ(found["3/2/1033"], Bytes(kept[0].begin(), kept[0].end()));
  EXPECT_EQ(found["3/3/1033"], Bytes(kept[1].begin(), kept[1].end()));
  EXPECT_EQ(found["10/1/0"], Bytes(kept[2].begin(), kept[2].end()));
  EXPECT_EQ(found.count("10/1/1033"), 0u);  // the old configuration
  const Bytes& version = found["16/1/1033"];  // made anew
  const std::u16string internal(u"InternalName\0Tool\0", 18);
  EXPECT_NE(std::search(version.begin(), version.end(),
                        reinterpret_cast<const std::uint8_t*>(internal.data()),
                        reinterpret_cast<const std::uint8_t*>(
                            internal.data() + internal.size())),
            version.end());
}

}  // namespace
