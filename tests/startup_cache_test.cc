// The startup cache on the fake system: which form a runtime gets, what
// keeps the cache out, and how files are judged, kept and pruned. (The
// real VMs' side is in tests/jvm; the executable's under Wine in tests/e2e.)
#include "launcher/startup_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "tests/fake_platform.h"

namespace {

const char kFolder[] = "C:\\Users\\me\\AppData\\Local\\Tool\\StartupCache";
// How the VM's archives and Java 25's begin: a mark, a checksum, and the
// format number that the runtime's base archive has too.
const std::string kFormat("\x0b\0\0\0", 4);
const std::string kDynamic = "\xa8\xab\x0b\xf0" "crc!" + kFormat;
const std::string kStatic = "\xa2\xab\x0b\xf0" "crc!" + kFormat;

// A runtime of Java 17 with its base archive, an application in a jar.
struct CacheBench {
  FakePlatform os;
  LaunchSettings settings;
  CacheRuntime runtime{"C:\\jdk", ParseJavaVersion("17.0.9"),
                       "C:\\jdk\\bin\\server\\jvm.dll", "C:\\jdk\\bin\\java.exe"};
  std::vector<std::string> vm;
  std::string classPath = "C:\\App\\app.jar";
  std::uint64_t clock = 1;

  CacheBench() {
    settings.startupCache = true;
    os.environment["LOCALAPPDATA"] = "C:\\Users\\me\\AppData\\Local";
    os.files["C:\\jdk\\bin\\server\\classes.jsa"].content = kStatic;
    os.files["C:\\App\\app.jar"].content = "PK";
  }
  StartupCache Plan(bool quiet = true) {
    return PlanStartupCache(settings, runtime, classPath, vm, quiet, os);
  }
  // A file the VM left in the cache folder, found by the folder's search
  // and by its own name; the newest so far.
  void Put(const std::string& name, const std::string& content) {
    const std::string path = std::string(kFolder) + "\\" + name;
    os.files[path].content = content;
    const DirEntry entry{name, 0, content.size(), ++clock};
    const std::string pattern =
        std::string(kFolder) + "\\*" + name.substr(name.rfind('.'));
    os.listings[pattern].push_back(entry);
    os.listings[path] = {entry};
  }
  std::string LastNote() { return os.notes.empty() ? "" : os.notes.back(); }
};
struct StartupCacheTest : testing::Test, CacheBench {};

TEST_F(StartupCacheTest, TheRuntimesVersionChoosesTheFormOfTheFirstStart) {
  const std::string base = std::string(kFolder) + "\\";
  const struct {
    const char* version;
    bool quiet;
    std::vector<std::string> options;
  } cases[] = {
      {"11.0.2", true, {}},
      {"17.0.9", true,
       {"-XX:ArchiveClassesAtExit=" + base + "17.0.9-78d82735.making",
        "-Xlog:cds*=off"}},
      {"21", true,
       {"-XX:+AutoCreateSharedArchive",
        "-XX:SharedArchiveFile=" + base + "21-78d82735.making",
        "-Xlog:cds*=off"}},
      {"25.0.1", true,
       {"-XX:AOTMode=record",
        "-XX:AOTConfiguration=" + base + "25.0.1-78d82735.aotconf",
        "-Xlog:aot*=off", "-Xlog:cds*=off"}},
      // Java 25's recording prints a line that only a quiet output hides.
      {"25.0.1", false,
       {"-XX:+AutoCreateSharedArchive",
        "-XX:SharedArchiveFile=" + base + "25.0.1-78d82735.making",
        "-Xlog:cds*=off"}},
  };
  for (const auto& c : cases) {
    runtime.version = ParseJavaVersion(c.version);
    const StartupCache cache = Plan(c.quiet);
    EXPECT_EQ(cache.options, c.options) << c.version;
    EXPECT_EQ(cache.making, !c.options.empty()) << c.version;
    if (cache.making) os.CloseFile(cache.lock);
  }
  EXPECT_EQ(os.notes[0],
            "startup cache: left out: Java 11 keeps no cache the launcher "
            "can make (13 and later do)");
  EXPECT_TRUE(os.locks.empty());
}

TEST_F(StartupCacheTest, AnObstacleLeavesTheCacheOutAndTheLogSaysWhy) {
  const std::string folder = kFolder;
  const struct {
    std::string why;
    std::function<void(CacheBench&)> arrange;
  } cases[] = {
      {"the configuration names its own (-XX:SharedArchiveFile=my.jsa)",
       [](CacheBench& t) {
         t.vm = {"-Xmx1g", "-XX:SharedArchiveFile=my.jsa"};
       }},
      {"the runtime has no base archive (C:\\jdk\\bin\\server\\classes.jsa)",
       [](CacheBench& t) {
         t.os.files.erase("C:\\jdk\\bin\\server\\classes.jsa");
       }},
      {"the class path holds the folder C:\\App\\classes",
       [](CacheBench& t) {
         t.classPath += ";C:\\App\\classes";
         t.os.listings["C:\\App\\classes"] = {{"classes", kAttributeDirectory}};
       }},
      {"the runtime's version is unknown",
       [](CacheBench& t) { t.runtime.version.reset(); }},
      {"LOCALAPPDATA is not set",
       [](CacheBench& t) { t.os.environment.clear(); }},
      {"the folder " + folder + " cannot be made",
       [](CacheBench& t) { t.os.unwritable.insert(kFolder); }},
      {"another start is making 17.0.9-78d82735",
       [](CacheBench& t) {
         t.os.locks.insert(std::string(kFolder) + "\\17.0.9-78d82735.lock");
       }},
      {"less than 256 MB free in " + folder,
       [](CacheBench& t) { t.os.freeBytes = 255u << 20; }},
  };
  for (const auto& c : cases) {
    CacheBench t;
    c.arrange(t);
    const StartupCache cache = t.Plan();
    EXPECT_TRUE(cache.options.empty()) << c.why;
    EXPECT_FALSE(cache.making) << c.why;
    EXPECT_EQ(t.LastNote().rfind("startup cache: left out: " + c.why, 0), 0u)
        << t.LastNote();
  }
}

TEST_F(StartupCacheTest, OnlyAWholeFileOfTheVmsReachesIt) {
  Put("17.0.9-78d82735-16.jsa", kDynamic + "abcd");  // whole
  Put("17.0.9-78d82735-17.jsa", kDynamic + "abcd");  // cut short
  Put("17.0.9-78d82735-4.jsa", "junk");              // not the VM's
  Put("17.0.9-78d82735-12.jsa",                      // another format
      kDynamic.substr(0, 8) + "\x0c\0\0\0");
  Put("17.0.9-0badf00d-16.jsa", kDynamic + "abcd");  // another class path
  const StartupCache cache = Plan();
  const std::string whole = std::string(kFolder) + "\\17.0.9-78d82735-16.jsa";
  EXPECT_EQ(cache.options, (std::vector<std::string>{
                               "-XX:SharedArchiveFile=" + whole,
                               "-Xlog:cds*=off"}));
  EXPECT_TRUE(cache.using_ && !cache.making);
  EXPECT_TRUE(os.files.count(whole));
  EXPECT_TRUE(os.files.count(std::string(kFolder) + "\\17.0.9-0badf00d-16.jsa"));
  for (const char* damaged : {"-17.jsa", "-4.jsa", "-12.jsa"}) {
    EXPECT_FALSE(os.files.count(std::string(kFolder) + "\\17.0.9-78d82735" +
                                damaged));
  }
  EXPECT_EQ(os.notes.back(), "startup cache: " + whole + " used");
  EXPECT_TRUE(os.locks.empty());
}

TEST_F(StartupCacheTest, AnUpdatedJarOrRuntimeGetsAFileOfItsOwn) {
  // The VM silently refuses an archive whose jars changed.
  std::set<std::string> bases;
  for (std::uint64_t modified : {1, 2}) {
    for (const char* home : {"C:\\jdk", "C:\\jdk2"}) {
      CacheBench t;
      t.runtime.home = home;
      t.os.listings["C:\\App\\app.jar"] = {{"app.jar", 0, 10, modified}};
      bases.insert(t.Plan().base);
    }
  }
  EXPECT_EQ(bases.size(), 4u);
}

TEST_F(StartupCacheTest, TheFileMadeIsNamedWithItsSizeAndTheNewestTwoStay) {
  Put("17.0.9-11111111-5.jsa", kDynamic + "a");
  Put("17.0.9-22222222-5.jsa", kDynamic + "b");
  Put("17.0.9-33333333-5.jsa", kDynamic + "c");
  StartupCache cache = Plan();
  ASSERT_TRUE(cache.making);
  Put("17.0.9-78d82735.making", kDynamic + "abcdef");  // what the VM wrote
  FinishStartupCache(cache, runtime, os);
  const std::string made = std::string(kFolder) + "\\17.0.9-78d82735-18.jsa";
  EXPECT_EQ(os.files[made].content, kDynamic + "abcdef");
  EXPECT_EQ(os.notes.back(), "startup cache: made " + made + " (18 bytes)");
  EXPECT_TRUE(os.locks.empty());
  // (The fake's listing does not follow the rename: of the three others,
  // the oldest goes.)
  EXPECT_FALSE(os.files.count(std::string(kFolder) + "\\17.0.9-11111111-5.jsa"));
  EXPECT_TRUE(os.files.count(std::string(kFolder) + "\\17.0.9-22222222-5.jsa"));
}

TEST_F(StartupCacheTest, JavasCacheIsAssembledByItsJavaCommandAfterTheRun) {
  runtime.version = ParseJavaVersion("25");
  vm = {"-Xmx1g"};
  StartupCache cache = Plan();
  EXPECT_EQ(cache.quietLine,
            " AOTConfiguration recorded: " + std::string(kFolder) +
                "\\25-78d82735.aotconf");
  Put("25-78d82735.making", kStatic + "xy");  // what the java command made
  FinishStartupCache(cache, runtime, os);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "C:\\jdk\\bin\\java.exe -Xmx1g -XX:AOTMode=create "
            "-XX:AOTConfiguration=" + std::string(kFolder) +
                "\\25-78d82735.aotconf -XX:AOTCache=" + kFolder +
                "\\25-78d82735.making \"-Xlog:aot*=off\" \"-Xlog:cds*=off\" -cp "
                "C:\\App\\app.jar");
  EXPECT_TRUE(os.files.count(std::string(kFolder) + "\\25-78d82735-14.aot"));
}

}  // namespace
