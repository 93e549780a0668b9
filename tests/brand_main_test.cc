#include "brand/brand_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "brand/icon_file.h"
#include "settings/version.h"
#include "tests/brand_test_files.h"

namespace fs = std::filesystem;

namespace {

void Write(const std::string& name, const Bytes& data) {
  std::ofstream(name, std::ios::binary)
      << std::string(data.begin(), data.end());
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
    resources[4].data = MakeIconGroup(std::vector<IconImage>(2), {1, 3});
    resources[5].data = MakeIconGroup(std::vector<IconImage>(1), {3});
    Write("in.exe", BuildTestPe(resources));
    Write("good.ico", IconFile({kBitmap, kTestPng, kTestPng}, 8, 4));
    Write("bad.ico", IconFile({kTestPng}, 2, 2));
    Write("ok.config", {'m', 'a', 'i', 'n', '\n'});
    Write("big.config", Bytes((1 << 20) + 1, 'x'));
    // 99 bytes (signing pads after them); no end record in the comment.
    const std::string comment = "PK\x05\x06 is no end record here";
    Write("app.jar", TestZip("x", comment));
    Write("other.jar", TestZip("other classes", comment));
    Write("cut.jar", TestZip("x", "c"));
    fs::resize_file("cut.jar", 69);
    Bytes z = TestZip("x");  // the end record at 47
    z.push_back(0), Write("trailing.jar", z), z.pop_back();
    PutU32(z, 27, 0x07064b50), Write("zip64.jar", z), PutU32(z, 27, 0);
    PutU32(z, 63, 2), Write("outside.jar", z);
    PutU32(z, 59, 47), PutU32(z, 63, 0), Write("no-central.jar", z);
    Write("stray.exe", BuildTestPe({TestResource(10, 2, "12345678", 0)}));
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  // The exit code; what the tool wrote goes to out_ and err_.
  int Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = BrandMain(args, out, err);
    out_ = out.str(), err_ = err.str();
    return code;
  }

  std::string out_, err_;
  const fs::path previous_ = fs::current_path();
  const fs::path dir_ =
      fs::temp_directory_path() /
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(BrandMainTest, RefusesBadInputAndLeavesEveryFileAsItWas) {
  const int kUsage = kExitUsage, kRefused = kExitRefused;
  std::vector<std::tuple<int, std::vector<std::string>, std::string>> cases = {
      {kUsage, {}, "expected INPUT.exe and OUTPUT.exe"},
      {kUsage, {"a", "b", "--colour", "x"}, "unknown option --colour"},
      {kUsage, {"a", "b", "--icon"}, "--icon needs a value"},
      {kUsage, {"a", "b", "--company", "x", "--company", "y"}, "given twice"},
      {kUsage, {"a", "b", "--description", "caf\xe9"}, "not valid UTF-8"},
      {kUsage, {"a", "b\xc0\xaf"}, "file name is not valid UTF-8"},
      {kUsage, {"a", "b", "--execution-level", "admin"}, "must be asInvoker"},
      {kRefused, {"folder", "out.exe"}, "folder: not a file"},
      {kRefused, {"ok.config", "out.exe"}, "ok.config: not a Windows exe"},
      {kRefused, {"missing.exe", "out.exe"}, "missing.exe: no such file"},
      {kRefused, {"in.exe", "in.exe", "--icon", "bad.ico"}, "bad.ico: not an"},
      {kRefused, {"in.exe", "o.exe", "--config", "big.config"}, "larger than"},
      {kRefused, {"in.exe", "o.exe", "--config", "no.config"}, "no such file"},
      {kRefused, {"in.exe", "no/out.exe"}, "folder does not exist"},
      {kRefused, {"in.exe", "folder"}, "folder: is a folder"},
      {kRefused, {"in.exe", "in.exe", "--execution-level", "asInvoker"},
       "no manifest"},
      {kUsage, {"a", "b", "--jar", "app.jar", "--no-jar"}, "exclude each"},
      {kRefused, {"in.exe", "o.exe", "--jar", "ok.config"}, "config: not a"},
      {kRefused, {"in.exe", "o.exe", "--jar", "cut.jar"}, "cut.jar: not a"},
      {kRefused, {"in.exe", "o.exe", "--jar", "no.jar"}, "no such file"},
      {kRefused, {"in.exe", "o.exe", "--jar", "trailing.jar"}, "no end-of-"},
      {kRefused, {"in.exe", "o.exe", "--jar", "zip64.jar"}, "a zip64 arch"},
      {kRefused, {"in.exe", "o.exe", "--jar", "outside.jar"}, "lies outside"},
      {kRefused, {"in.exe", "o.exe", "--jar", "no-central.jar"}, "no central"},
      {kRefused, {"in.exe", "no/o.exe", "--jar", "app.jar"}, "folder does"},
      {kRefused, {"stray.exe", "o.exe"}, "RT_RCDATA 2 announces is not"},
  };
  for (const char* bad : {"", ".", "1.", ".1", "1..2", "1.2.3.4.5", "65536",
                          "99999999999", "-1", "+1", "1.a", " 1", "1 ", "v1",
                          "1,2"}) {
    cases.push_back({kUsage, {"in.exe", "o.exe", "--version", bad},
                     "--version needs 1 to 4 numbers"});
  }
  std::vector<fs::path> before(fs::directory_iterator("."), {});
  const Bytes input = Read("in.exe");
  for (const auto& [code, args, message] : cases) {
    EXPECT_EQ(Run(args), code) << message;
    EXPECT_EQ(err_.rfind("launcher-brand: ", 0), 0u) << err_;
    EXPECT_NE(err_.find(message), std::string::npos) << err_;
    EXPECT_EQ(err_.find('\n'), err_.size() - 1) << err_;
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator("."), {}), before);
    EXPECT_EQ(Read("in.exe"), input) << message;
  }
  // --version alone asks for the tool's version, anywhere else it sets one.
  EXPECT_EQ(Run({"--version"}), kExitOk);
  EXPECT_EQ(out_, "launcher-brand " LAUNCHER_VERSION "\n");
}

TEST_F(BrandMainTest, BrandingTwiceGivesTheBytesOfBrandingOnce) {
  std::vector<std::string> args = {"in.exe",    "Tool.exe",  "--icon",
                                   "good.ico",  "--config",  "ok.config",
                                   "--version", "65535.0.000007.65535",
                                   "--jar",     "app.jar"};
  ASSERT_EQ(Run(args), 0) << err_;
  const Bytes once = Read("Tool.exe");
  args[0] = "Tool.exe";
  ASSERT_EQ(Run(args), 0) << err_;
  EXPECT_EQ(Read("Tool.exe"), once);
  EXPECT_EQ(err_, "");

  PeImage image;
  std::vector<Resource> resources;
  std::string err;
  ASSERT_TRUE(ParsePeImage(once, &image, &err)) << err;
  ASSERT_TRUE(ParseResourceTree(ResourceSectionBytes(image), 0x2000, 0,
                                &resources, &err)) << err;
  // Image 1 goes, 3 stays for group 102; the new ones take 1, 4 and 5. The
  // configuration and the archive's offset take language 0, the version
  // resource is made anew. The archive ends the file, the checksum covers it.
  std::string keys;
  for (const Resource& r : resources) keys += KeyOf(r) + " ";
  ASSERT_EQ(keys, "3/1/1033 3/2/1033 3/3/1033 3/4/1033 3/5/1033 10/1/0 "
                  "10/2/0 14/101/1033 14/102/1033 16/1/1033 ");
  const Bytes jar = Read("app.jar");
  ASSERT_EQ(resources[6].data.size(), 8u);
  EXPECT_EQ(GetU64(resources[6].data, 0), once.size() - jar.size());
  EXPECT_EQ(Bytes(once.end() - jar.size(), once.end()), jar);
  EXPECT_EQ(GetU32(once, ChecksumOffset(image)),
            PeChecksum(once, ChecksumOffset(image)));
  EXPECT_EQ(GetU16(once, kOpt + 70), 0x8140);  // DllCharacteristics
  resources.erase(resources.begin() + 6);
  EXPECT_EQ(resources[0].data, kBitmap);
  EXPECT_EQ(resources[5].data, Bytes({'m', 'a', 'i', 'n', '\n'}));
  // Each entry is the .ico file's (the bitmap has 4 colours), with the
  // image's id in place of its offset.
  const Bytes group = {0,  0, 1, 0, 3, 0,
                       16, 0, 4, 0, 1, 0, 32, 0, 42, 0, 0, 0, 1, 0,
                       32, 0, 0, 0, 1, 0, 32, 0, 10, 0, 0, 0, 4, 0,
                       48, 0, 0, 0, 1, 0, 32, 0, 10, 0, 0, 0, 5, 0};
  EXPECT_EQ(resources[6].data, group);
  EXPECT_EQ(resources[7].data, MakeIconGroup(std::vector<IconImage>(1), {3}));
  const Bytes& v = resources[8].data;  // VS_FIXEDFILEINFO at 40
  EXPECT_EQ(std::vector<std::uint32_t>(
                {GetU32(v, 48), GetU32(v, 52), GetU32(v, 56), GetU32(v, 60)}),
            std::vector<std::uint32_t>(
                {0xffff0000, 0x0007ffff, 0xffff0000, 0x0007ffff}));
}

// Each output in a folder of its own, so that all have the same file name.
TEST_F(BrandMainTest, TheArchiveIsKeptReplacedOrRemovedNeverDoubled) {
  for (auto d : {"plain", "app", "other", "out"}) fs::create_directory(d);
  fs::permissions("in.exe", fs::perms(0755));
  ASSERT_EQ(Run({"in.exe", "plain/T.exe"}) +
                Run({"in.exe", "app/T.exe", "--jar", "app.jar"}) +
                Run({"in.exe", "other/T.exe", "--jar", "other.jar"}), 0);
  EXPECT_EQ(fs::status("app/T.exe").permissions(), fs::perms(0755));
  EXPECT_EQ(Read("other/T.exe").size() - Read("app/T.exe").size(), 12u);
  // Signed after embedding: zeros align the certificate table to 8 bytes.
  Bytes file = Read("app/T.exe");
  file.resize(AlignUp(file.size(), 8), 0);
  PutU32(file, kOpt + 128, std::uint32_t(file.size()));
  PutU32(file, kOpt + 132, 16);
  file.insert(file.end(), 16, 'C');
  Write("signed.exe", file);
  fs::permissions("signed.exe", fs::perms(0640));
  const std::tuple<const char*, std::vector<std::string>, const char*>
      cases[] = {{"app/T.exe", {}, "app/T.exe"},
                 {"app/T.exe", {"--jar", "app.jar"}, "app/T.exe"},
                 {"app/T.exe", {"--jar", "other.jar"}, "other/T.exe"},
                 {"app/T.exe", {"--no-jar"}, "plain/T.exe"},
                 {"signed.exe", {}, "app/T.exe"}};
  for (auto [input, args, expected] : cases) {
    args.insert(args.begin(), {input, "out/T.exe"});
    EXPECT_EQ(Run(args), 0) << err_;
    EXPECT_EQ(Read("out/T.exe"), Read(expected)) << input << " " << expected;
  }
  EXPECT_EQ(fs::status("out/T.exe").permissions(), fs::perms(0640));
}

}  // namespace
