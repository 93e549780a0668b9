#include "launcher/launch_log.h"

#include <gtest/gtest.h>

#include "tests/launcher_harness.h"

namespace {

const char kLog[] = "C:\\Apps\\Tool\\logs\\launch.log";
const char kConfig[] = "C:\\Apps\\Tool\\Tool.config";

// Runs the GUI launcher with a configuration that names the log.
int RunLogged(FakePlatform& os, const std::vector<std::string>& args = {}) {
  os.files[kConfig].content =
      "mainclass a.B\nlogFile logs\\launch.log\njavapath C:\\jre\\javaw.exe\n";
  os.runs = {{3, 1}};
  LaunchSettings settings;
  std::vector<std::string> argv = {"C:\\Apps\\Tool\\Tool.exe"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunLauncher(argv, settings, os);
}

TEST(LaunchLog, OneBlockPerRunWithTheLinesKeptFromBeforeTheLogWasKnown) {
  FakePlatform os;
  os.files[kLog].content = "earlier run\r\n";
  EXPECT_EQ(RunLogged(os, {"two words"}), 0);
  EXPECT_EQ(os.files[kLog].content,
            "earlier run\r\n"
            "[4242] ==== 2026-12-09 10:15:02 launcher 1.0.16 (GUI)\r\n"
            "[4242] program: C:\\Apps\\Tool\\Tool.exe\r\n"
            "[4242] arguments: \"two words\"\r\n"
            "[4242] configuration: C:\\Apps\\Tool\\Tool.config\r\n"
            "[4242] runtime: C:\\jre\\javaw.exe (javapath)\r\n"
            "[4242] started: C:\\jre\\javaw.exe -classpath a.B "
            "\"two words\" \r\n"
            "[4242] application exit code 3 after 1 s\r\n"
            "[4242] message: Error: Error launching Class a.B\\n with Java "
            "C:\\jre\\javaw.exe.\\nError=3\r\n"
            "[4242] launcher exit code 0\r\n");
  // Each line in a write of its own, so that two runs never mix within one.
  EXPECT_EQ(os.appends.size(), 9u);
  EXPECT_EQ(os.openAppends, 0);
}

TEST(LaunchLog, NeverHurtsTheApplication) {
  const struct {
    const char* name;
    std::string existing;
    const char* openError;
    bool unwritable;
    std::size_t blockLines;  // lines of this run in the log
    const char* debugTrace;
  } cases[] = {
      {"rotated", std::string(kLogRotationBytes + 1, 'x'), "", false, 9, ""},
      {"unopenable", "", "Permission denied", false, 0,
       "logFile C:\\Apps\\Tool\\logs\\launch.log cannot be opened"},
      {"unwritable", "", "", true, 0,
       "logFile C:\\Apps\\Tool\\logs\\launch.log cannot be written"},
  };
  for (const auto& c : cases) {
    for (bool debug : {false, true}) {
      FakePlatform os;
      os.files[kLog] = {c.existing, c.openError};
      if (c.unwritable) os.unwritable.insert(kLog);
      EXPECT_EQ(RunLogged(os, debug ? std::vector<std::string>{"-d"}
                                    : std::vector<std::string>{}),
                0);
      EXPECT_EQ(os.starts.size(), 1u) << c.name;
      EXPECT_EQ(os.out.find(c.debugTrace) != std::string::npos,
                debug || !*c.debugTrace)
          << c.name << os.out;
      if (debug) continue;
      const std::string& log = os.files[kLog].content;
      EXPECT_EQ(static_cast<std::size_t>(std::count(log.begin(), log.end(),
                                                    '\n')),
                c.blockLines)
          << c.name;
      // A log over 1 MiB is set aside whole, replacing an older one.
      EXPECT_EQ(os.files.count(std::string(kLog) + ".1") != 0,
                !c.existing.empty())
          << c.name;
    }
  }
}

}  // namespace
