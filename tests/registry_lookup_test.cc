#include "runtime/registry_lookup.h"

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "runtime/download_prompt.h"
#include "tests/fake_platform.h"
#include "tests/launcher_harness.h"

namespace {

using Boxes = std::vector<std::string>;

const std::string kRoot = kRuntimeRootKey;

std::string Key(const std::string& version) { return kRoot + "\\" + version; }

// Installs `version` with its JavaHome.
void Install(FakePlatform& os, const std::string& version,
             const std::string& home) {
  os.SetValue(Key(version), "JavaHome", home);
}

// The registry of a machine whose current runtime is 1.6 in C:\Java\jre6.
void InstallCurrent16(FakePlatform& os) {
  os.SetValue(kRoot, "CurrentVersion", "1.6");
  Install(os, "1.6", "C:\\Java\\jre6");
}

std::vector<std::string> Texts(const FakePlatform& os) {
  std::vector<std::string> texts;
  for (const FakePlatform::Box& box : os.boxes) texts.push_back(box.text);
  return texts;
}

// FindRuntimeForVersion where the run goes on.
std::optional<std::string> FindForVersion(LaunchSettings& s, FakePlatform& os) {
  FatalExit fatal;
  std::optional<std::string> found = FindRuntimeForVersion(s, os, &fatal);
  EXPECT_EQ(fatal, std::nullopt);
  return found;
}

// --- RuntimeExecutableFromHome

TEST(RuntimeExecutableFromHome, PlainHomeGivesWindowlessRuntime) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Java\\jre6", s, os),
            "C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_TRUE(os.boxes.empty());
}

TEST(RuntimeExecutableFromHome, DebugModeGivesConsoleRuntime) {
  FakePlatform os;
  LaunchSettings s;
  s.debugMode = true;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Java\\jre6", s, os),
            "C:\\Java\\jre6\\bin\\java.exe");
  EXPECT_TRUE(os.boxes.empty());  // nothing quoted, nothing shown
}

TEST(RuntimeExecutableFromHome, HomeWithASpaceIsQuoted) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Program Files\\Java\\jre6", s, os),
            "\"C:\\Program Files\\Java\\jre6\\bin\\javaw.exe\"");
  EXPECT_TRUE(os.boxes.empty());  // the box is for debug mode only
}

TEST(RuntimeExecutableFromHome, QuoteAlwaysQuotesEveryHome) {
  FakePlatform os;
  LaunchSettings s;
  s.quoteAlways = true;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Java\\jre6", s, os),
            "\"C:\\Java\\jre6\\bin\\javaw.exe\"");
}

TEST(RuntimeExecutableFromHome, OnlyTheSpaceCharacterAsksForQuotes) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Java\tjre", s, os),
            "C:\\Java\tjre\\bin\\javaw.exe");
}

TEST(RuntimeExecutableFromHome, DebugModeShowsTheHomeItQuotes) {
  FakePlatform os;
  LaunchSettings s;
  s.debugMode = true;
  EXPECT_EQ(RuntimeExecutableFromHome("C:\\Program Files\\jre", s, os),
            "\"C:\\Program Files\\jre\\bin\\java.exe\"");
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text, "C:\\Program Files\\jre");
  EXPECT_EQ(os.boxes[0].caption, "Adding double quotes around");
  EXPECT_EQ(os.boxes[0].style, kBoxPlain);
}

TEST(RuntimeExecutableFromHome, LongHomeIsKeptWhole) {
  FakePlatform os;
  LaunchSettings s;
  s.quoteAlways = true;
  const std::string home = "C:\\" + std::string(2045, 'h');
  EXPECT_EQ(RuntimeExecutableFromHome(home, s, os),
            "\"" + home + "\\bin\\javaw.exe\"");
}

// --- FindDefaultRuntime

TEST(FindDefaultRuntime, CurrentVersionsHome) {
  FakePlatform os;
  InstallCurrent16(os);
  LaunchSettings s;
  EXPECT_EQ(FindDefaultRuntime(s, os), "C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.keysOpened, (std::vector<std::string>{kRoot, Key("1.6")}));
  EXPECT_EQ(os.openKeys, 0);
  EXPECT_TRUE(os.out.empty());
}

TEST(FindDefaultRuntime, QuotedWhenQuotingAlways) {
  FakePlatform os;
  InstallCurrent16(os);
  LaunchSettings s;
  s.quoteAlways = true;
  EXPECT_EQ(FindDefaultRuntime(s, os), "\"C:\\Java\\jre6\\bin\\javaw.exe\"");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindDefaultRuntime, ConsoleRuntimeInDebugMode) {
  FakePlatform os;
  InstallCurrent16(os);
  LaunchSettings s;
  s.debugMode = true;
  EXPECT_EQ(FindDefaultRuntime(s, os), "C:\\Java\\jre6\\bin\\java.exe");
  EXPECT_TRUE(os.boxes.empty());
}

TEST(FindDefaultRuntime, ValuesAreTextUpToTheirFirstNul) {
  FakePlatform os;
  os.SetValue(kRoot, "CurrentVersion", std::string("1.6\0junk", 8));
  Install(os, "1.6", std::string("C:\\Java\\jre6\0\0", 14));
  LaunchSettings s;
  EXPECT_EQ(FindDefaultRuntime(s, os), "C:\\Java\\jre6\\bin\\javaw.exe");
}

TEST(FindDefaultRuntime, ReadsTheDefaultRegistryView) {
  FakePlatform os;
  os.is64BitProcess = true;
  os.SetValue(kRoot, "CurrentVersion", "1.6", RegistryView::k64);
  os.SetValue(Key("1.6"), "JavaHome", "C:\\Java64", RegistryView::k64);
  InstallCurrent16(os);  // the 32-bit view, not asked for here
  LaunchSettings s;
  EXPECT_EQ(FindDefaultRuntime(s, os), "C:\\Java64\\bin\\javaw.exe");
}

TEST(FindDefaultRuntime, NoRootKey) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
  EXPECT_EQ(os.Captions(), Boxes{"Error!"});
  EXPECT_EQ(Texts(os), Boxes{"No Java Installation Found"});
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindDefaultRuntime, NoRootKeyInDebugModeNamesTheKey) {
  FakePlatform os;
  LaunchSettings s;
  s.debugMode = true;
  EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
  EXPECT_EQ(os.Captions(), (Boxes{"Error Accessing Registry!", "Error!"}));
  EXPECT_EQ(Texts(os), (Boxes{"SOFTWARE\\JavaSoft\\Java Runtime Environment",
                              "No Java Installation Found"}));
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_EQ(os.boxes[1].style, kBoxError);
}

TEST(FindDefaultRuntime, NoCurrentVersionValue) {
  for (bool debug : {false, true}) {
    FakePlatform os;
    os.AddKey(kRoot);
    Install(os, "1.6", "C:\\Java\\jre6");
    LaunchSettings s;
    s.debugMode = debug;
    EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
    if (debug) {
      EXPECT_EQ(os.Captions(), (Boxes{"Error Reading Registry", "Error!"}));
      EXPECT_EQ(Texts(os), (Boxes{"Java Current Version Key",
                                  "No Java Installation Found"}));
      EXPECT_EQ(os.boxes[0].style, kBoxError);
    } else {
      EXPECT_EQ(Texts(os), Boxes{"No Java Installation Found"});
    }
    EXPECT_EQ(os.boxes.back().style, kBoxError);
    EXPECT_EQ(os.keysOpened, std::vector<std::string>{kRoot});
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindDefaultRuntime, CurrentVersionOf255BytesIsReadButLongerIsNot) {
  const std::string v255 = "1." + std::string(253, '6');
  {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", v255);
    Install(os, v255, "C:\\J");
    LaunchSettings s;
    EXPECT_EQ(FindDefaultRuntime(s, os), "C:\\J\\bin\\javaw.exe");
  }
  {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", v255 + "6");
    Install(os, v255 + "6", "C:\\J");
    LaunchSettings s;
    EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
    EXPECT_EQ(Texts(os), Boxes{"No Java Installation Found"});
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindDefaultRuntime, CurrentVersionWithoutKey) {
  for (bool debug : {false, true}) {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", "1.7");
    Install(os, "1.6", "C:\\Java\\jre6");
    LaunchSettings s;
    s.debugMode = debug;
    EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
    if (debug) {
      EXPECT_EQ(os.Captions(), (Boxes{"Error Accessing Registry!", "Error!"}));
      EXPECT_EQ(Texts(os),
                (Boxes{"Java Current Version",
                       "No Java Installation (No Current Version) Found"}));
      EXPECT_EQ(os.boxes[0].style, kBoxError);
    } else {
      EXPECT_EQ(Texts(os),
                Boxes{"No Java Installation (No Current Version) Found"});
    }
    EXPECT_EQ(os.boxes.back().caption, "Error!");
    EXPECT_EQ(os.boxes.back().style, kBoxError);
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindDefaultRuntime, VersionKeyWithoutJavaHome) {
  for (bool debug : {false, true}) {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", "1.6");
    os.AddKey(Key("1.6"));
    LaunchSettings s;
    s.debugMode = debug;
    EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
    if (debug) {
      EXPECT_EQ(os.Captions(), (Boxes{"Error Reading Registry!", "Error!"}));
      EXPECT_EQ(Texts(os),
                (Boxes{"Java Home Directory",
                       "No Java Installation Home Directory Found"}));
      EXPECT_EQ(os.boxes[0].style, kBoxError);
    } else {
      EXPECT_EQ(Texts(os), Boxes{"No Java Installation Home Directory Found"});
    }
    EXPECT_EQ(os.boxes.back().style, kBoxError);
    EXPECT_EQ(os.keysOpened, (std::vector<std::string>{kRoot, Key("1.6")}));
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindDefaultRuntime, JavaHomeOf2048BytesIsReadButLongerIsNot) {
  const std::string home = "C:\\" + std::string(2045, 'h');
  {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", "1.6");
    Install(os, "1.6", home);
    LaunchSettings s;
    s.quoteAlways = true;
    // Longer than the 2048 bytes read: the result grows to hold it all.
    EXPECT_EQ(FindDefaultRuntime(s, os), "\"" + home + "\\bin\\javaw.exe\"");
  }
  {
    FakePlatform os;
    os.SetValue(kRoot, "CurrentVersion", "1.6");
    Install(os, "1.6", home + "h");
    LaunchSettings s;
    EXPECT_EQ(FindDefaultRuntime(s, os), std::nullopt);
    EXPECT_EQ(Texts(os), Boxes{"No Java Installation Home Directory Found"});
    EXPECT_EQ(os.openKeys, 0);
  }
}

// --- FindRuntimeForVersion

TEST(FindRuntimeForVersion, NoneOrEmptyVersionGivesNoneSilently) {
  for (const std::optional<std::string>& version :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    FakePlatform os;
    InstallCurrent16(os);
    LaunchSettings s;
    s.debugMode = true;
    s.javaVersion = version;
    EXPECT_EQ(FindForVersion(s, os), std::nullopt);
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_TRUE(os.keysOpened.empty());
    EXPECT_TRUE(os.out.empty());
  }
}

TEST(FindRuntimeForVersion, ExactUpdateIsUsedDirectly) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  Install(os, "1.6.0_31", "C:\\Java\\jre6u31");
  LaunchSettings s;
  s.javaVersion = "1.6.0_20";
  EXPECT_EQ(FindForVersion(s, os), "C:\\Java\\jre6u20\\bin\\javaw.exe");
  EXPECT_EQ(s.javaVersion, "1.6.0_20");
  // Only the version's key: the update selection never ran.
  EXPECT_EQ(os.keysOpened, std::vector<std::string>{Key("1.6.0_20")});
  EXPECT_TRUE(os.out.empty());
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, FamilyGoesThroughTheUpdateSelection) {
  FakePlatform os;
  Install(os, "1.6", "C:\\Java\\jre6");
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  Install(os, "1.6.0_31", "C:\\Java\\jre6u31");
  LaunchSettings s;
  s.javaVersion = "1.6";
  EXPECT_EQ(FindForVersion(s, os), "C:\\Java\\jre6u31\\bin\\javaw.exe");
  EXPECT_EQ(s.javaVersion, "1.6.0_31");
  EXPECT_EQ(os.keysOpened, (std::vector<std::string>{kRoot, Key("1.6.0_31")}));
  EXPECT_NE(os.out.find("javaVersion=1.6, javaVer=1.6\n"), std::string::npos);
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, MinimumUpdateGoesThroughTheUpdateSelection) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  Install(os, "1.6.0_24", "C:\\Java\\jre6u24");
  LaunchSettings s;
  s.javaVersion = "1.6.0_20+";
  EXPECT_EQ(FindForVersion(s, os), "C:\\Java\\jre6u24\\bin\\javaw.exe");
  EXPECT_EQ(s.javaVersion, "1.6.0_24");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, FamilyWithoutUpdatesKeepsItsOwnKey) {
  FakePlatform os;
  Install(os, "1.6", "C:\\Java\\jre6");
  Install(os, "1.6.0", "C:\\Java\\jre60");
  LaunchSettings s;
  s.javaVersion = "1.6";
  EXPECT_EQ(FindForVersion(s, os), "C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_EQ(s.javaVersion, "1.6");
}

TEST(FindRuntimeForVersion, DebugModeShowsTheKeyPath) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Program Files\\jre");
  LaunchSettings s;
  s.debugMode = true;
  s.javaVersion = "1.6.0_20";
  EXPECT_EQ(FindForVersion(s, os), "\"C:\\Program Files\\jre\\bin\\java.exe\"");
  EXPECT_EQ(os.Captions(),
            (Boxes{"JavaInstallRegPath", "Adding double quotes around"}));
  EXPECT_EQ(os.boxes[0].text, Key("1.6.0_20"));
  EXPECT_EQ(os.boxes[0].style, kBoxPlain);
}

TEST(FindRuntimeForVersion, MissingVersionAsksToDownloadAndReturnsNone) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  LaunchSettings s;
  s.appname = "Tool";
  s.javaVersion = "1.6.0_99";
  os.answers = {kAnswerYes};
  EXPECT_EQ(FindForVersion(s, os), std::nullopt);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Java Runtime Environment Not Found");
  EXPECT_EQ(os.boxes[0].text,
            "Tool requires the Java Runtime Environment version 1.6.0_99\n"
            "Do you want to download it?");
  EXPECT_EQ(os.boxes[0].style, kBoxYesNoError);
  EXPECT_TRUE(os.starts.empty());  // no page for 1.6
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, MissingVersionInDebugModeNamesTheStep) {
  FakePlatform os;
  LaunchSettings s;
  s.debugMode = true;
  s.javaVersion = "1.5.0_99";
  os.answers = {1, 1, kAnswerYes};
  EXPECT_EQ(FindForVersion(s, os), std::nullopt);
  EXPECT_EQ(os.Captions(),
            (Boxes{"JavaInstallRegPath", "Error Accessing Registry!",
                   "Java Runtime Environment Not Found"}));
  EXPECT_EQ(os.boxes[1].text, "Java Current Version");
  EXPECT_EQ(os.boxes[1].style, kBoxError);
  // Yes for a 1.5 version opens the latest-runtime page, and still returns.
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "rundll32 url.dll,FileProtocolHandler \"" +
                std::string(kConsumerDownloadSite) + kLatestRuntimePage + "\"");
}

TEST(FindRuntimeForVersion, PlusWithoutUnderscoreFindsNoKey) {
  FakePlatform os;
  Install(os, "1.6", "C:\\Java\\jre6");
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  LaunchSettings s;
  s.javaVersion = "1.6+";
  EXPECT_EQ(FindForVersion(s, os), std::nullopt);
  EXPECT_EQ(s.javaVersion, "1.6+");
  EXPECT_EQ(os.Captions(), Boxes{"Java Runtime Environment Not Found"});
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, KeyWithoutJavaHomeNamesTheKeyPath) {
  for (bool debug : {false, true}) {
    FakePlatform os;
    os.AddKey(Key("1.6.0_20"));
    LaunchSettings s;
    s.debugMode = debug;
    s.javaVersion = "1.6.0_20";
    EXPECT_EQ(FindForVersion(s, os), std::nullopt);
    const std::string expected =
        "No Java Home Directory Found for "
        "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6.0_20 ";
    if (debug) {
      EXPECT_EQ(os.Captions(), (Boxes{"JavaInstallRegPath",
                                      "Error Reading Registry!", "Error!"}));
      EXPECT_EQ(Texts(os),
                (Boxes{Key("1.6.0_20"), "Java Home Directory", expected}));
      EXPECT_EQ(os.boxes[1].style, kBoxError);
    } else {
      EXPECT_EQ(Texts(os), Boxes{expected});
      EXPECT_EQ(os.Captions(), Boxes{"Error!"});
    }
    EXPECT_EQ(os.boxes.back().style, kBoxError);
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindRuntimeForVersion, JavaHomeOf2048BytesIsReadButLongerIsNot) {
  const std::string home = "C:\\" + std::string(2045, 'h');
  {
    FakePlatform os;
    Install(os, "1.6.0_20", home);
    LaunchSettings s;
    s.javaVersion = "1.6.0_20";
    EXPECT_EQ(FindForVersion(s, os), home + "\\bin\\javaw.exe");
  }
  {
    FakePlatform os;
    Install(os, "1.6.0_20", home + "h");
    LaunchSettings s;
    s.javaVersion = "1.6.0_20";
    EXPECT_EQ(FindForVersion(s, os), std::nullopt);
    EXPECT_EQ(Texts(os), Boxes{"No Java Home Directory Found for " +
                               Key("1.6.0_20") + " "});
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(FindRuntimeForVersion, NoHighEnoughUpdateEndsWith11WithKeysClosed) {
  FakePlatform os;
  Install(os, "1.6.0_17", "C:\\Java\\jre6u17");
  LaunchSettings s;
  s.javaVersion = "1.6.0_20+";
  FatalExit fatal;
  EXPECT_EQ(FindRuntimeForVersion(s, os, &fatal), std::nullopt);
  EXPECT_EQ(fatal, ExitCode::kRuntimeDownloadAsked);
  EXPECT_EQ(os.Captions(), Boxes{"Incompatible JRE Version Found"});
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, LongVersionsAndPathsAreHandledWhole) {
  // Far beyond the 19 characters of the family buffer and the 255 of the key
  // path buffer of old: growing texts carry them all the way.
  const std::string family = "1.6." + std::string(240, '0');
  FakePlatform os;
  Install(os, family + "_7", "C:\\Java\\long");
  LaunchSettings s;
  s.debugMode = true;
  s.javaVersion = family;
  os.answers = {};
  EXPECT_EQ(FindForVersion(s, os), "C:\\Java\\long\\bin\\java.exe");
  EXPECT_EQ(s.javaVersion, family + "_7");
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text, Key(family + "_7"));
  EXPECT_EQ(os.openKeys, 0);
}

TEST(FindRuntimeForVersion, LongMissingVersionIsAskedForWhole) {
  const std::string version = "1.6.0_" + std::string(300, '9');
  FakePlatform os;
  LaunchSettings s;
  s.appname = "Tool";
  s.javaVersion = version;
  EXPECT_EQ(FindForVersion(s, os), std::nullopt);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            "Tool requires the Java Runtime Environment version " + version +
                "\nDo you want to download it?");
}

// --- Through the configuration reader and the whole launcher

const char kConfigPath[] = "C:\\Apps\\Tool\\Tool.config";

int RunTool(FakePlatform& os, LaunchSettings& s, const std::string& config) {
  os.files[kConfigPath] = {config, ""};
  return RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, s, os);
}

TEST(JavaVersionThroughTheLauncher, ExactUpdateIsStarted) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s,
                    "mainclass tool.Main\njavaVersion 1.6.0_20\n"
                    "addjar a.jar\n"),
            0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "C:\\Java\\jre6u20\\bin\\javaw.exe -classpath a.jar tool.Main");
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.openKeys, 0);
}

TEST(JavaVersionThroughTheLauncher, FamilyStartsItsLatestUpdate) {
  FakePlatform os;
  os.majorVersion = 6;  // quotes every runtime path
  Install(os, "1.6", "C:\\Java\\jre6");
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  Install(os, "1.6.0_31", "C:\\Program Files\\Java\\jre6u31");
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s, "mainclass tool.Main\njavaVersion 1.6\n"), 0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "\"C:\\Program Files\\Java\\jre6u31\\bin\\javaw.exe\" -classpath "
            "tool.Main");
  EXPECT_EQ(s.javaVersion, "1.6.0_31");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(JavaVersionThroughTheLauncher, ReadConfigFileSetsJavapath) {
  FakePlatform os;
  Install(os, "1.6.0_20", "C:\\Java\\jre6u20");
  os.files["a.cfg"] = {"javaVersion 1.6.0_20\n", ""};
  LaunchSettings s;
  EXPECT_EQ(ReadConfigFile("a.cfg", s, os), std::nullopt);
  EXPECT_EQ(s.javapath, "C:\\Java\\jre6u20\\bin\\javaw.exe");
}

TEST(JavaVersionThroughTheLauncher, EmptyValueEndsWith5WithoutAMessage) {
  FakePlatform os;
  InstallCurrent16(os);
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s, "mainclass tool.Main\njavaVersion \n"), 5);
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_TRUE(os.starts.empty());
  EXPECT_TRUE(os.keysOpened.empty());
}

TEST(JavaVersionThroughTheLauncher, MissingVersionAsksThenEndsWith5) {
  for (int answer : {kAnswerYes, 7}) {
    FakePlatform os;
    Install(os, "1.5.0_06", "C:\\Java\\jre5");
    os.answers = {answer};
    LaunchSettings s;
    EXPECT_EQ(RunTool(os, s,
                      "appname Tool\nmainclass tool.Main\n"
                      "javaVersion 1.5.0_99\n"),
              5);
    EXPECT_EQ(os.Captions(), Boxes{"Java Runtime Environment Not Found"});
    EXPECT_EQ(os.boxes[0].text,
              "Tool requires the Java Runtime Environment version 1.5.0_99\n"
              "Do you want to download it?");
    // Yes opens the download page (the only process started); No nothing.
    EXPECT_EQ(os.starts.size(), answer == kAnswerYes ? 1u : 0u);
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(JavaVersionThroughTheLauncher, BeforeTheNamesTheQuestionSaysNull) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(
      RunTool(os, s,
              "javaVersion 1.6.0_99\nappname Tool\nmainclass tool.Main\n"),
      5);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            "(null) requires the Java Runtime Environment version 1.6.0_99\n"
            "Do you want to download it?");
}

TEST(JavaVersionThroughTheLauncher, KeyWithoutJavaHomeEndsWith5) {
  FakePlatform os;
  os.AddKey(Key("1.6.0_20"));
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s, "mainclass tool.Main\njavaVersion 1.6.0_20\n"), 5);
  EXPECT_EQ(Texts(os),
            Boxes{"No Java Home Directory Found for " + Key("1.6.0_20") + " "});
  EXPECT_EQ(os.openKeys, 0);
}

TEST(JavaVersionThroughTheLauncher, NoHighEnoughUpdateEndsWith11) {
  FakePlatform os;
  Install(os, "1.6.0_17", "C:\\Java\\jre6u17");
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s,
                    "appname Tool\nmainclass tool.Main\n"
                    "javaVersion 1.6.0_20+\n"),
            11);
  EXPECT_EQ(os.Captions(), Boxes{"Incompatible JRE Version Found"});
  EXPECT_TRUE(os.starts.empty());
  EXPECT_EQ(os.openKeys, 0);
}

// --- Without a javaVersion: the current runtime at launch time

TEST(DefaultRuntimeThroughTheLauncher, CurrentRuntimeIsStarted) {
  FakePlatform os;
  InstallCurrent16(os);
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s, "mainclass tool.Main\n"), 0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "C:\\Java\\jre6\\bin\\javaw.exe -classpath tool.Main");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(DefaultRuntimeThroughTheLauncher, NoRuntimeStartsNothingAndExitsWith0) {
  FakePlatform os;
  LaunchSettings s;
  EXPECT_EQ(RunTool(os, s, "mainclass tool.Main\n"), 0);
  EXPECT_TRUE(os.starts.empty());
  EXPECT_EQ(Texts(os), Boxes{"No Java Installation Found"});
}

TEST(EmptyJavaHome, CountsAsUnreadableInEveryClassicLookup) {
  // An empty REG_SZ, and a REG_DWORD 0, whose bytes read as the empty text.
  const std::string emptyHomes[] = {"", std::string(4, '\0')};
  struct Case {
    const char* config;
    const char* version;  // the key whose JavaHome is empty
    int exitCode;
    std::string userText;
  } cases[] = {
      {"", "1.6", 0, "No Java Installation Home Directory Found"},
      {"javaVersion 1.6.0_20\n", "1.6.0_20", 5,
       "No Java Home Directory Found for " + Key("1.6.0_20") + " "},
      {"javaVersion 1.6\n", "1.6.0_20", 5,
       "No Java Home Directory Found for " + Key("1.6.0_20") + " "},
  };
  for (const Case& c : cases) {
    for (const std::string& home : emptyHomes) {
      for (bool debug : {false, true}) {
        FakePlatform os;
        os.SetValue(kRoot, "CurrentVersion", "1.6");
        Install(os, c.version, home);
        LaunchSettings s;
        std::vector<std::string> args = {"C:\\Apps\\Tool\\Tool.exe"};
        if (debug) args.push_back("-d");
        os.files[kConfigPath] = {
            std::string("mainclass tool.Main\n") + c.config, ""};
        EXPECT_EQ(RunLauncher(args, s, os), c.exitCode) << c.config;
        EXPECT_TRUE(os.starts.empty()) << c.config;
        ASSERT_GE(os.boxes.size(), debug ? 2u : 1u) << c.config;
        EXPECT_EQ(os.boxes.back().text, c.userText);
        if (debug) {
          EXPECT_EQ(os.boxes[os.boxes.size() - 2].text, "Java Home Directory");
          EXPECT_EQ(os.boxes[os.boxes.size() - 2].caption,
                    "Error Reading Registry!");
        } else {
          EXPECT_EQ(os.boxes.size(), 1u) << c.config;
        }
      }
    }
  }
}

}  // namespace
