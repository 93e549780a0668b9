// The startup cache on the fake system, where the other layers cannot go:
// what keeps the cache out, the file's name, and pruning. (The forms and
// options are tested under Wine in tests/e2e, damaged files on real VMs in
// tests/jvm.)
#include "launcher/startup_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "tests/fake_platform.h"

namespace {

const char kFolder[] = "C:\\Users\\me\\AppData\\Local\\Tool\\StartupCache";
// How the VM's archives begin: a mark, a checksum, the runtime's format.
const std::string kDynamic("\xa8\xab\x0b\xf0" "crc!\x0b\0\0\0", 12);

// A runtime of Java 17 with its base archive, an application in a jar.
struct CacheBench {
  FakePlatform os;
  LaunchSettings settings;
  CacheRuntime runtime{"C:\\jdk", ParseJavaVersion("17.0.9"),
                       "C:\\jdk\\bin\\server\\jvm.dll", "C:\\jdk\\bin\\java.exe"};
  std::string classPath = "C:\\App\\app.jar";

  CacheBench() {
    settings.startupCache = true;
    os.environment["LOCALAPPDATA"] = "C:\\Users\\me\\AppData\\Local";
    os.files["C:\\jdk\\bin\\server\\classes.jsa"].content =
        "\xa2\xab\x0b\xf0" + kDynamic.substr(4);
  }
  StartupCache Plan() {
    return PlanStartupCache(settings, runtime, classPath, {}, true, os);
  }
};

TEST(StartupCache, AnObstacleLeavesTheCacheOutAndTheLogSaysWhy) {
  const std::string folder = kFolder;
  const struct {
    std::string why;
    std::function<void(CacheBench&)> arrange;
  } cases[] = {
      {"the class path holds the folder C:\\App\\classes",
       [](CacheBench& t) {
         t.classPath += ";C:\\App\\classes";
         t.os.listings["C:\\App\\classes"] = {{"classes", kAttributeDirectory}};
       }},
      {"the runtime's version is unknown",
       [](CacheBench& t) { t.runtime.version.reset(); }},
      {"LOCALAPPDATA is not set",
       [](CacheBench& t) { t.os.environment.clear(); }},
      // Two starts at once: one makes the file, the other runs without.
      {"another start is making 17.0.9-78d82735",
       [&](CacheBench& t) {
         t.os.locks.insert(folder + "\\17.0.9-78d82735.lock");
       }},
      {"less than 256 MB free in " + folder,
       [](CacheBench& t) { t.os.freeBytes = 255u << 20; }},
  };
  for (const auto& c : cases) {
    CacheBench t;
    c.arrange(t);
    const StartupCache cache = t.Plan();
    EXPECT_TRUE(cache.options.empty() && !cache.making) << c.why;
    EXPECT_EQ(t.os.notes.back().rfind("startup cache: left out: " + c.why, 0),
              0u)
        << t.os.notes.back();
  }
}

TEST(StartupCache, AnUpdatedJarOrRuntimeGetsAFileOfItsOwn) {
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

TEST(StartupCache, TheFileMadeIsNamedWithItsSizeAndTheNewestTwoStay) {
  CacheBench t;
  const std::string folder = std::string(kFolder) + "\\";
  std::uint64_t modified = 0;
  for (const char* hash : {"11111111", "22222222", "33333333"}) {
    const std::string name = std::string("17.0.9-") + hash + "-5.jsa";
    t.os.files[folder + name].content = kDynamic;
    t.os.listings[folder + "*.jsa"].push_back({name, 0, 12, ++modified});
  }
  StartupCache cache = t.Plan();
  ASSERT_TRUE(cache.making);
  const std::string making = folder + "17.0.9-78d82735.making";
  t.os.files[making].content = kDynamic + "abcdef";  // what the VM wrote
  t.os.listings[making] = {{"17.0.9-78d82735.making", 0, 18, 9}};
  FinishStartupCache(cache, t.runtime, t.os);
  const std::string made = folder + "17.0.9-78d82735-18.jsa";
  EXPECT_EQ(t.os.files[made].content, kDynamic + "abcdef");
  EXPECT_EQ(t.os.notes.back(), "startup cache: made " + made + " (18 bytes)");
  EXPECT_TRUE(t.os.locks.empty());
  // (The fake's listing does not follow the rename: of the three others,
  // the oldest goes.)
  EXPECT_FALSE(t.os.files.count(folder + "17.0.9-11111111-5.jsa"));
  EXPECT_TRUE(t.os.files.count(folder + "17.0.9-22222222-5.jsa"));
}

}  // namespace
