#include "launcher/child_process_launch.h"

#include <gtest/gtest.h>

#include "launcher/command_line.h"
#include "tests/fake_platform.h"
#include "tests/launcher_harness.h"

namespace {

class ChildProcessLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.javapath = "C:\\Java\\jre6\\bin\\javaw.exe";
    settings.mainclass = "tool.Main";
    settings.classPathEntries = {"lib/a.jar"};
  }
  LaunchSettings settings;
  FakePlatform os;
};

TEST_F(ChildProcessLaunchTest, StartsWaitsAndReturnsTheExitCode) {
  os.runs = {{7, 10}};
  EXPECT_EQ(LaunchChildOnce(settings, os).exitCode, 7);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "C:\\Java\\jre6\\bin\\javaw.exe -classpath lib/a.jar tool.Main");
  EXPECT_FALSE(os.starts[0].directory);
  EXPECT_FALSE(os.starts[0].consoleTitle);
  EXPECT_EQ(os.waits, (std::vector<std::string>{"idle 5000", "end", "close"}));
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(ChildProcessLaunchTest, DebugModeReportsEachQuotedArgumentAsWritten) {
  settings.debugMode = true;
  settings.appArguments = {"plain", "two words", "*.txt"};
  LaunchChildOnce(settings, os);
  std::vector<std::string> reported;
  for (const FakePlatform::Box& box : os.boxes) {
    if (box.caption == "Adding double quotes around") {
      reported.push_back(box.text);
    }
  }
  EXPECT_EQ(reported, (std::vector<std::string>{"two words", "*.txt"}));
}

TEST_F(ChildProcessLaunchTest, WorkingDirAndConsoleTitleReachTheChild) {
  settings.workingDir = "C:/data";
  settings.consoleTitle = "My Tool";
  LaunchChildOnce(settings, os);
  EXPECT_EQ(os.starts[0].directory, "C:/data");
  EXPECT_EQ(os.starts[0].consoleTitle, "My Tool");
}

TEST_F(ChildProcessLaunchTest, JavasCacheIsAssembledWhereTheApplicationRan) {
  // The relative class path means the files of the working folder, for the
  // run that recorded what it loaded and for the one that assembles it.
  settings.startupCache = true;
  settings.workingDir = "C:\\Data";
  os.environment["LOCALAPPDATA"] = "C:\\Users\\me\\AppData\\Local";
  os.files["C:\\Java\\jre6\\release"].content = "JAVA_VERSION=\"25\"\n";
  os.files["C:\\Java\\jre6\\bin\\server\\jvm.dll"].content = "MZ";
  os.files["C:\\Java\\jre6\\bin\\server\\classes.jsa"].content =
      std::string("\xa2\xab\x0b\xf0" "crc!\x13\0\0\0", 12);
  LaunchChildOnce(settings, os);
  ASSERT_EQ(os.starts.size(), 2u);
  EXPECT_NE(os.starts[1].commandLine.find("-XX:AOTMode=create"),
            std::string::npos);
  EXPECT_EQ(os.starts[1].directory, "C:\\Data");
}

TEST_F(ChildProcessLaunchTest, EarlyNonZeroExitIsReported) {
  struct Case {
    std::uint32_t code;
    std::int64_t seconds;
    bool reported;
  } cases[] = {
      {1, 1, true},  {1, 2, true},  {1, 3, false},
      {1, 5, false}, {0, 0, false}, {999, 0, true},
  };
  for (const Case& c : cases) {
    FakePlatform fresh;
    fresh.runs = {{c.code, c.seconds}};
    EXPECT_EQ(LaunchChildOnce(settings, fresh).exitCode,
              static_cast<int>(c.code));
    EXPECT_EQ(fresh.boxes.size(), c.reported ? 1u : 0u)
        << "code " << c.code << " after " << c.seconds << " s";
  }
}

TEST_F(ChildProcessLaunchTest, EarlyFailureBoxTextIsExact) {
  os.runs = {{999, 0}};
  LaunchChildOnce(settings, os);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_EQ(os.boxes[0].text,
            "Error launching Class tool.Main\n with Java "
            "C:\\Java\\jre6\\bin\\javaw.exe.\nError=999");
}

TEST_F(ChildProcessLaunchTest, ExitCodeWithTopBitSetIsNegative) {
  os.runs = {{0xC0000005u, 0}};
  EXPECT_EQ(LaunchChildOnce(settings, os).exitCode, -1073741819);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_NE(os.boxes[0].text.find("Error=-1073741819"), std::string::npos);
}

TEST_F(ChildProcessLaunchTest, FailedStartIsReportedAndNothingIsWaitedOn) {
  os.runs = {{0, 0, /*startFails=*/true, /*errorCode=*/2}};
  EXPECT_EQ(LaunchChildOnce(settings, os).end, LaunchEnd::kNotStarted);
  EXPECT_TRUE(os.waits.empty());
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_EQ(os.boxes[0].text,
            "The Java runtime could not be started.\nCommand line: "
            "C:\\Java\\jre6\\bin\\javaw.exe -classpath lib/a.jar tool.Main\n"
            "Error 2: The system cannot find the file specified.");
}

TEST_F(ChildProcessLaunchTest, CommandLineOverTheWindowsLimitIsRefused) {
  // 32767 characters are accepted; one more is not.
  const std::string base =
      "C:\\Java\\jre6\\bin\\javaw.exe  -classpath lib/a.jar tool.Main";
  settings.vmParams = {std::string(32767 - base.size(), 'x')};
  EXPECT_EQ(LaunchChildOnce(settings, os).exitCode, 0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine.size(), 32767u);

  FakePlatform refused;
  settings.vmParams[0] += 'x';
  EXPECT_EQ(LaunchChildOnce(settings, refused).end,
            LaunchEnd::kCommandLineTooLong);
  EXPECT_TRUE(refused.starts.empty());
  ASSERT_EQ(refused.boxes.size(), 1u);
  EXPECT_EQ(refused.boxes[0].caption, "Error");
  EXPECT_NE(refused.boxes[0].text.find("32768 characters"), std::string::npos);
}

TEST_F(ChildProcessLaunchTest, MissingRuntimeReturnsWithoutStarting) {
  settings.javapath.reset();
  EXPECT_EQ(LaunchChildOnce(settings, os).end, LaunchEnd::kNoRuntime);
  EXPECT_TRUE(os.starts.empty());
}

TEST_F(ChildProcessLaunchTest, DebugModeShowsQuotedArgumentsAndTraces) {
  settings.debugMode = true;
  settings.appArguments = {"plain", "two words"};
  os.runs = {{3, 10}};
  LaunchChildOnce(settings, os);
  EXPECT_EQ(os.Captions(), (std::vector<std::string>{
                               "Javapath is", "Adding double quotes around",
                               "Starting dir", "Command Line is"}));
  EXPECT_EQ(os.boxes[1].text, "two words");
  EXPECT_EQ(os.boxes[3].text,
            "C:\\Java\\jre6\\bin\\javaw.exe -classpath lib/a.jar tool.Main "
            "plain \"two words\" ");
  EXPECT_EQ(os.out,
            "cmdLine is 82 chars long\n"  // 28 + 11 + 11 + 8 + 12 + 12
            "CreateProcess ret 1, exitCode=3\n");
}

}  // namespace
