// The startup cache on every real Java VM of this machine, through the
// in-process driver with the options the launcher's own code builds: a
// later start uses the file the first made, a damaged file or a runtime
// without its base archive still starts the application, and nothing
// about the cache reaches its output.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <chrono>

#include "tests/jvm/host_vm.h"

namespace {

using namespace host_vm;

const std::vector<std::string> kVms = FindVms();
const Scratch kScratch("cache-tests-");

struct Start {
  Outcome outcome;
  std::string notes;  // the launch log's
};

// The application of a jar, compiled by the runtime's own javac, in a
// folder of its own for each runtime and test.
fs::path Prepare(const fs::path& home, const std::string& test) {
  const fs::path dir = kScratch.path / (home.filename().string() + "-" + test);
  const std::string bin = (home / "bin/").string();
  const std::string commands =
      bin + "javac -d " + (dir / "classes").string() + " " JVM_TEST_SOURCES
      "/java/InJar.java && " + bin + "jar cf " + (dir / "app.jar").string() +
      " -C " + (dir / "classes").string() + " .";
  fs::create_directories(dir);
  EXPECT_EQ(std::system(commands.c_str()), 0) << commands;
  return dir;
}

// One start by the launcher's code, the cache on or off, in `dir` with
// LOCALAPPDATA below it; the VM library is `library`.
Start StartApp(const fs::path& library, const fs::path& dir, bool cache,
          const std::vector<std::string>& vmParams = {}) {
  const fs::path notes = dir / "notes";
  const Outcome outcome = Forked(dir / "out", dir / "err", [&] {
    if (chdir(dir.c_str()) != 0) _exit(120);
    setenv("LOCALAPPDATA", (dir / "local").c_str(), 1);
    HostVmPlatform os;
    LaunchSettings settings;
    settings.startupCache = cache;
    settings.vmParams = vmParams;
    settings.classPathEntries = {"app.jar"};
    settings.mainclass = "j.InJar";
    const int code = RunAsTheLauncher(settings, library, os);
    {
      std::ofstream log(notes);
      for (const std::string& note : os.notes) log << note << "\n";
    }
    std::fflush(nullptr);
    _exit(code);
  });
  return {outcome, Slurp(notes)};
}

// The cache's files, by name.
std::vector<fs::path> CacheFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator(dir / "local/Tool/StartupCache", error)) {
    const std::string name = entry.path().filename();
    if (name.find(".jsa") != std::string::npos ||
        name.find(".aot") != std::string::npos) {
      files.push_back(entry.path());
    }
  }
  return files;
}

class CacheVm : public testing::TestWithParam<std::string> {
 protected:
  void ExpectAsWithout(const Start& start, const Start& without) {
    EXPECT_EQ(start.outcome.code, without.outcome.code) << start.notes;
    EXPECT_EQ(start.outcome.out, without.outcome.out) << start.notes;
    EXPECT_EQ(start.outcome.err, without.outcome.err) << start.notes;
  }
};

TEST_P(CacheVm, ALaterStartUsesTheFileTheFirstMadeAndDamageIsMadeGood) {
  const fs::path library = GetParam();
  const fs::path dir = Prepare(Home(library), "uses");
  const Start without = StartApp(library, dir, false);
  ASSERT_EQ(without.outcome.code, 0) << without.outcome.err;
  const Start first = StartApp(library, dir, true);
  ExpectAsWithout(first, without);
  EXPECT_NE(first.notes.find(" being made in "), std::string::npos)
      << first.notes;
  ASSERT_EQ(CacheFiles(dir).size(), 1u) << first.notes;
  // The VM's own account of where the main class came from.
  const Start second =
      StartApp(library, dir, true, {"-Xlog:class+load=info:file=loaded.txt"});
  ExpectAsWithout(second, without);
  EXPECT_NE(second.notes.find(" used\n"), std::string::npos) << second.notes;
  EXPECT_NE(Slurp(dir / "loaded.txt").find("j.InJar source: shared objects file"),
            std::string::npos);

  // Cut short; of another kind (the right size); a header of garbage after
  // the right mark. Each time the application starts as without, and the
  // file is made again.
  for (const char* damage : {"cut", "foreign", "garbage"}) {
    const fs::path file = CacheFiles(dir).at(0);
    const std::string whole = Slurp(file);
    std::string bad = damage == std::string("cut")
                          ? whole.substr(0, whole.size() / 2)
                          : std::string(whole.size(), '\x5a');
    if (damage == std::string("garbage")) bad.replace(0, 4, whole, 0, 4);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bad;
    const Start start = StartApp(library, dir, true);
    ExpectAsWithout(start, without);
    EXPECT_NE(start.notes.find("removed the damaged"), std::string::npos)
        << damage << "\n" << start.notes;
    ASSERT_EQ(CacheFiles(dir).size(), 1u) << damage;
    const std::string made = Slurp(CacheFiles(dir)[0]);
    EXPECT_EQ(made.substr(0, 4) + made.substr(8, 4),
              whole.substr(0, 4) + whole.substr(8, 4))
        << damage;
  }

  // While another start makes the file, this one runs without it.
  const fs::path file = CacheFiles(dir).at(0);
  const std::string name = file.filename();
  const fs::path lock = dir / "local/Tool/StartupCache" /
                        (name.substr(0, name.rfind('-')) + ".lock");
  const int held = open(lock.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  fs::remove(file);
  const Start waiting = StartApp(library, dir, true);
  close(held);
  ExpectAsWithout(waiting, without);
  EXPECT_NE(waiting.notes.find("left out: another start is making"),
            std::string::npos)
      << waiting.notes;
  EXPECT_TRUE(CacheFiles(dir).empty());

  // An updated jar is a new application's, whose file is made anew (the VM
  // would refuse the old one without a word); the newest two files stay.
  for (int update = 1; update <= 3; ++update) {
    fs::last_write_time(dir / "app.jar", fs::last_write_time(dir / "app.jar") +
                                             std::chrono::seconds(update));
    const Start updated = StartApp(library, dir, true);
    EXPECT_NE(updated.notes.find(" being made in "), std::string::npos)
        << updated.notes;
  }
  EXPECT_EQ(CacheFiles(dir).size(), 2u);
}

TEST_P(CacheVm, ARuntimeWithoutItsBaseArchiveStartsWithout) {
  const fs::path home = Home(GetParam());
  const fs::path dir = Prepare(home, "jlink");
  const fs::path image = dir / "image";
  const std::string command = (home / "bin/jlink").string() +
                              " --add-modules java.base --output " +
                              image.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  ASSERT_FALSE(fs::exists(image / "lib/server/classes.jsa"));
  const fs::path library = image / "lib/server/libjvm.so";
  const Start start = StartApp(library, dir, true);
  ExpectAsWithout(start, StartApp(library, dir, false));
  EXPECT_EQ(start.outcome.code, 0) << start.outcome.err;
  EXPECT_NE(start.notes.find("left out: the runtime has no base archive"),
            std::string::npos)
      << start.notes;
  EXPECT_TRUE(CacheFiles(dir).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryVm, CacheVm, testing::ValuesIn(kVms),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string vm = Home(info.param).filename();
                           for (char& c : vm) c = std::isalnum(c) ? c : '_';
                           return vm;
                         });

}  // namespace
