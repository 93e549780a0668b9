#include "launcher/launcher_main.h"

#include <gtest/gtest.h>

#include "tests/launcher_harness.h"

namespace {

const char kProgram[] = "C:\\Apps\\Tool\\Tool.exe";
const char kConfig[] = "C:\\Apps\\Tool\\Tool.config";

class LauncherMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    os.files[kConfig].content =
        "vmparam -Xmx256m\n"
        "addpath lib/a.jar\n"
        "mainclass tool.Main\n"
        "javapath C:\\Java\\jre6\\bin\\javaw.exe\n";
  }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), kProgram);
    return RunLauncher(args, settings, os);
  }
  LaunchSettings settings;
  FakePlatform os;
};

TEST_F(LauncherMainTest, ArgumentScanSeparatesSwitchesFromApplicationArgs) {
  os.files["C:\\x.cfg"] = os.files[kConfig];
  EXPECT_EQ(Run({"-d", "-cC:\\x.cfg", "one", "two words"}), 0);
  EXPECT_TRUE(settings.debugMode);
  EXPECT_EQ(settings.configPath, "C:\\x.cfg");
  EXPECT_EQ(settings.appArguments,
            (std::vector<std::string>{"one", "two words"}));
}

TEST_F(LauncherMainTest, AnEmbeddedArchiveMakesTheExecutableTheFirstEntry) {
  os.carriesArchive = true;
  os.modulePath = "C:\\My Apps\\Tool.exe";
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(os.starts[0].commandLine,
            "C:\\Java\\jre6\\bin\\javaw.exe -Xmx256m -classpath "
            "\"C:\\My Apps\\Tool.exe\";lib/a.jar tool.Main");
}

TEST_F(LauncherMainTest, OnlyExactSwitchesCount) {
  os.files["fg"] = os.files[kConfig];
  EXPECT_EQ(Run({"-D", "-debug", "--c", "-cfg"}), 0);
  EXPECT_FALSE(settings.debugMode);
  EXPECT_EQ(settings.configPath, "fg");
  EXPECT_EQ(settings.appArguments,
            (std::vector<std::string>{"-D", "-debug", "--c"}));
  EXPECT_EQ(os.filesRead, (std::vector<std::string>{"fg"}));
}

TEST_F(LauncherMainTest, LaterConfigSwitchWinsAndLoneSwitchFailsLikeMissing) {
  EXPECT_EQ(Run({"-cfirst", "-c"}), 2);
  EXPECT_EQ(settings.configPath, "");
  EXPECT_EQ(os.err, "Can't open jdk.config Error No such file or directory\n");
  EXPECT_TRUE(os.starts.empty());
}

TEST_F(LauncherMainTest, CommandLineArgumentsComeBeforeConfiguredOnes) {
  os.files[kConfig].content += "argument fromfile\n";
  EXPECT_EQ(Run({"cli"}), 0);
  EXPECT_EQ(settings.appArguments,
            (std::vector<std::string>{"cli", "fromfile"}));
}

TEST_F(LauncherMainTest, FullProgramPathFixesStartDirectory) {
  Run({});
  EXPECT_EQ(settings.startDir, "C:\\Apps\\Tool");
  EXPECT_EQ(os.directoryChanges, std::vector<std::string>{"C:\\Apps\\Tool"});
  EXPECT_EQ(os.filesRead, std::vector<std::string>{kConfig});
}

TEST_F(LauncherMainTest, DriveRootGivesDriveOnly) {
  os.files["C:\\tool.config"] = os.files[kConfig];
  EXPECT_EQ(RunLauncher({"C:\\tool.exe"}, settings, os), 0);
  EXPECT_EQ(settings.startDir, "C:");
  EXPECT_EQ(os.directoryChanges, std::vector<std::string>{"C:"});
}

TEST_F(LauncherMainTest, PathWithoutDriveUsesCurrentDirectoryUnchanged) {
  for (const char* program :
       {"tool.exe", "\\\\server\\share\\tool.exe", "C:/Apps/Tool.exe"}) {
    FakePlatform fresh;
    LaunchSettings s;
    fresh.currentDirectory = "D:\\Here";
    RunLauncher({program}, s, fresh);
    EXPECT_EQ(s.startDir, "D:\\Here") << program;
    EXPECT_TRUE(fresh.directoryChanges.empty()) << program;
  }
}

TEST_F(LauncherMainTest, UnreadableCurrentDirectoryLeavesStartDirEmpty) {
  os.currentDirectory = "D:\\" + std::string(300, 'x');
  os.files["\\tool.config"] = os.files[kConfig];
  EXPECT_EQ(RunLauncher({"tool.exe"}, settings, os), 0);
  EXPECT_EQ(settings.startDir, "");
  EXPECT_EQ(os.filesRead, std::vector<std::string>{"\\tool.config"});
}

TEST_F(LauncherMainTest, QuoteAlwaysFollowsMajorVersion) {
  os.majorVersion = 5;
  Run({"a"});
  EXPECT_FALSE(settings.quoteAlways);
  FakePlatform vista;
  vista.files = os.files;
  vista.majorVersion = 6;
  LaunchSettings s;
  RunLauncher({kProgram, "a"}, s, vista);
  EXPECT_TRUE(s.quoteAlways);
  ASSERT_EQ(vista.starts.size(), 1u);
  EXPECT_EQ(vista.starts[0].commandLine,
            "C:\\Java\\jre6\\bin\\javaw.exe -Xmx256m -classpath lib/a.jar "
            "tool.Main \"a\" ");
}

TEST_F(LauncherMainTest, RestartsWhileTheApplicationAsksFor999) {
  os.runs = {{999, 10}, {999, 10}, {0, 10}};
  EXPECT_EQ(Run({}), 0);
  ASSERT_EQ(os.starts.size(), 3u);
  EXPECT_EQ(os.starts[0].commandLine, os.starts[2].commandLine);
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(LauncherMainTest, ExitCodeIsZeroWhateverTheApplicationReturned) {
  os.runs = {{42, 10}};
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(os.starts.size(), 1u);
}

TEST_F(LauncherMainTest, MissingConfigurationEndsWithTwo) {
  os.files.clear();
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(os.err, "Can't open jdk.config Error No such file or directory\n");
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(LauncherMainTest, DebugModeAnnouncesEveryStepInOrder) {
  os.majorVersion = 6;
  EXPECT_EQ(Run({"-d"}), 0);
  EXPECT_EQ(
      os.Captions(),
      (std::vector<std::string>{
          "Running on Vista", "Version", "LpCmdLine", "CWD",
          "Reading App Config file", "Reading Config file", "MainClass is",
          "Javapath is", "Starting dir", "Command Line is"}));
  EXPECT_EQ(os.boxes[0].text, "1.0.16");
  EXPECT_EQ(os.boxes[1].text, "1.0.16");
  EXPECT_EQ(os.boxes[2].text, "[C:\\Apps\\Tool\\Tool.exe]");
  EXPECT_EQ(os.boxes[3].text, "C:\\Apps\\Tool");
  EXPECT_EQ(os.boxes[4].text, "[C:\\Apps\\Tool\\Tool.config]");
  EXPECT_EQ(os.boxes[5].text, "C:\\Apps\\Tool\\Tool.config");
  EXPECT_EQ(os.boxes[6].text, "tool.Main");
  EXPECT_EQ(os.boxes[8].text, "");
  for (const auto& box : os.boxes) EXPECT_EQ(box.style, kBoxPlain);
  EXPECT_EQ(os.out,
            "reading app config C:\\Apps\\Tool\\Tool.config\n"
            "vmparam 0=-Xmx256m\n"
            "vmpath 0=lib/a.jar\n"
            "cmdLine is 72 chars long\n"  // 28 + 11 + 10 + 11 + 12
            "CreateProcess ret 1, exitCode=0\n");
}

TEST_F(LauncherMainTest, DebugModeShowsProgramAgainWhenConfigurationFails) {
  os.files.clear();
  EXPECT_EQ(Run({"-d"}), 2);
  EXPECT_EQ(os.Captions(),
            (std::vector<std::string>{"Version", "LpCmdLine", "CWD",
                                      "Reading App Config file",
                                      "Reading Config file", "LpCmdLine"}));
  EXPECT_EQ(os.boxes.back().text, "[C:\\Apps\\Tool\\Tool.exe]");
}

TEST_F(LauncherMainTest, NoBoxesOrTracesOutsideDebugMode) {
  EXPECT_EQ(Run({"x"}), 0);
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.out, "");
}

TEST_F(LauncherMainTest, MissingMainClassIsRefusedBeforeAnythingStarts) {
  os.files[kConfig].content = "javapath C:\\Java\\jre6\\bin\\javaw.exe\n";
  EXPECT_EQ(Run({}), 2);
  EXPECT_TRUE(os.starts.empty());
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_NE(os.boxes[0].text.find("mainclass"), std::string::npos);
}

TEST_F(LauncherMainTest, EmptyMainClassIsStillLaunched) {
  // 'vmparam -jar' setups rely on an empty main class.
  os.files[kConfig].content =
      "javapath j.exe\nvmparam -jar\nvmparam app.jar\nmainclass \n";
  EXPECT_EQ(Run({}), 0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, "j.exe -jar app.jar -classpath ");
}

}  // namespace
