#include "runtime/runtime_search.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"
#include "tests/launcher_harness.h"

namespace {

const std::string kApp = "C:\\Apps\\Tool";
const std::string kJdk = "SOFTWARE\\JavaSoft\\JDK";
const std::string kClassic = "SOFTWARE\\JavaSoft\\Java Runtime Environment";

class RuntimeSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.startDir = kApp;
    s.appname = "Tool";
    s.mainclass = "tool.Main";
  }
  // A runtime home that holds its windowless executable.
  void Runtime(const std::string& home) {
    os.files[home + "\\bin\\javaw.exe"] = {};
  }
  void Release(const std::string& home, const std::string& content) {
    os.files[home + "\\release"] = {content, ""};
  }
  // A JavaSoft-style registration: root\version with JavaHome.
  void Register(const std::string& root, const std::string& version,
                const std::string& home, RegistryView view) {
    os.SetValue(root + "\\" + version, "JavaHome", home, view);
  }
  std::optional<std::string> Search(const std::string& places) {
    s.javaSearch = places;
    return FindRuntimeBySearch(s, os);
  }
  LaunchSettings s;
  FakePlatform os;
};

// --- folders, variables, PATH

TEST_F(RuntimeSearchTest, BundledFolderBesideTheExecutableIsMadeAbsolute) {
  Runtime(kApp + "\\jre");
  EXPECT_EQ(Search("jre"), kApp + "\\jre\\bin\\javaw.exe");
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_TRUE(os.out.empty());  // traces are for debug mode
}

TEST_F(RuntimeSearchTest, FolderSpellingsNameTheSameHome) {
  struct Case {
    const char* written;
    std::string home;
  } cases[] = {
      {"jre", kApp + "\\jre"},
      {".\\jre\\", kApp + "\\jre"},
      {"./runtime/jre/", kApp + "\\runtime\\jre"},
      {"\"runtime\\jre\"", kApp + "\\runtime\\jre"},
      {"D:/java/jdk-17", "D:\\java\\jdk-17"},
      {"\\\\server\\java\\jdk", "\\\\server\\java\\jdk"},
  };
  for (const Case& c : cases) {
    FakePlatform fresh;
    fresh.files[c.home + "\\bin\\javaw.exe"] = {};
    s.javaSearch = c.written;
    EXPECT_EQ(FindRuntimeBySearch(s, fresh), c.home + "\\bin\\javaw.exe")
        << c.written;
  }
}

TEST_F(RuntimeSearchTest, PathIsQuotedByTheRegistryRules) {
  Runtime(kApp + "\\my jre");
  EXPECT_EQ(Search("my jre"), "\"" + kApp + "\\my jre\\bin\\javaw.exe\"");
  Runtime(kApp + "\\jre");
  s.quoteAlways = true;
  EXPECT_EQ(Search("jre"), "\"" + kApp + "\\jre\\bin\\javaw.exe\"");
}

TEST_F(RuntimeSearchTest, DebugModeNeedsTheConsoleRuntime) {
  Runtime("C:\\only-windowless");
  os.files["C:\\both\\bin\\javaw.exe"] = {};
  os.files["C:\\both\\bin\\java.exe"] = {};
  s.debugMode = true;
  EXPECT_EQ(Search("C:\\only-windowless;C:\\both"), "C:\\both\\bin\\java.exe");
  EXPECT_NE(os.out.find("C:\\only-windowless (version unknown, folder): "
                        "skipped, no bin\\java.exe"),
            std::string::npos)
      << os.out;
}

TEST_F(RuntimeSearchTest, PlacesAreTriedInTheOrderWritten) {
  Runtime(kApp + "\\jre");
  Runtime("C:\\jdk-21");
  os.environment["JAVA_HOME"] = "C:\\jdk-21";
  EXPECT_EQ(Search("env:JAVA_HOME;jre"), "C:\\jdk-21\\bin\\javaw.exe");
  EXPECT_EQ(Search("jre;env:JAVA_HOME"), kApp + "\\jre\\bin\\javaw.exe");
  // A place that yields nothing passes on to the next.
  EXPECT_EQ(Search("missing;env:UNSET;env:JAVA_HOME"),
            "C:\\jdk-21\\bin\\javaw.exe");
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(RuntimeSearchTest, VariableValueMayBeQuotedOrEndInABackslash) {
  Runtime("C:\\Program Files\\Java\\jdk-17");
  os.environment["java_home"] = "\"C:\\Program Files\\Java\\jdk-17\\\"";
  EXPECT_EQ(Search("env:JAVA_HOME"),
            "\"C:\\Program Files\\Java\\jdk-17\\bin\\javaw.exe\"");
}

TEST_F(RuntimeSearchTest, PathLeadsToTheHomeAboveBin) {
  // An old installer's copy in the system folder is no runtime home.
  os.files["C:\\Windows\\System32\\javaw.exe"] = {};
  Runtime("C:\\jdk-17");
  os.environment["PATH"] = "C:\\Windows\\System32;;C:\\tools;C:\\jdk-17\\bin\\";
  EXPECT_EQ(Search("path"), "C:\\jdk-17\\bin\\javaw.exe");
}

// --- versions and bounds

TEST_F(RuntimeSearchTest, ReleaseFileGivesTheVersionOfAFolder) {
  Runtime("C:\\a");
  Release("C:\\a",
          "IMPLEMENTOR=\"x\"\r\nJAVA_VERSION_DATE=\"2023-10-17\"\r\n"
          "JAVA_VERSION=\"11.0.21\"\r\n");
  s.javaMinVersion = "11";
  EXPECT_EQ(Search("C:\\a"), "C:\\a\\bin\\javaw.exe");
  s.javaMinVersion = "17";
  EXPECT_FALSE(Search("C:\\a"));
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_NE(os.boxes[0].text.find("C:\\a (version 11.0.21, folder): below "
                                  "the minimum 17"),
            std::string::npos)
      << os.boxes[0].text;
}

TEST_F(RuntimeSearchTest, UnknownVersionCountsOnlyWithoutBounds) {
  Runtime("C:\\a");  // no release file
  EXPECT_EQ(Search("C:\\a"), "C:\\a\\bin\\javaw.exe");
  s.javaMaxVersion = "17";
  EXPECT_FALSE(Search("C:\\a"));
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_NE(os.boxes[0].text.find("version unknown"), std::string::npos);
}

TEST_F(RuntimeSearchTest, HighestVersionInsideTheBoundsWinsWithinAPlace) {
  const char* versions[] = {"1.8.0_99", "1.8.0_100", "11.0.2", "17.0.9", "21"};
  for (const char* version : versions) {
    std::string home = std::string("C:\\Java\\") + version;
    Runtime(home);
    Register(kJdk, version, home, RegistryView::k32);
  }
  struct Case {
    const char* min;
    const char* max;
    const char* chosen;
  } cases[] = {
      {nullptr, nullptr, "21"},
      {nullptr, "17", "17.0.9"},
      {"11", "17", "17.0.9"},
      {nullptr, "11", "11.0.2"},
      {nullptr, "1.8", "1.8.0_100"},
      {"1.8.0_100", "1.8", "1.8.0_100"},
      {nullptr, "1.8.0_99", "1.8.0_99"},
  };
  for (const Case& c : cases) {
    s.javaMinVersion = c.min ? std::optional<std::string>(c.min) : std::nullopt;
    s.javaMaxVersion = c.max ? std::optional<std::string>(c.max) : std::nullopt;
    EXPECT_EQ(Search("registry"),
              std::string("C:\\Java\\") + c.chosen + "\\bin\\javaw.exe")
        << (c.min ? c.min : "-") << " .. " << (c.max ? c.max : "-");
  }
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.openKeys, 0);
}

TEST_F(RuntimeSearchTest, BoundThatIsNoVersionIsRefusedBeforeSearching) {
  Runtime(kApp + "\\jre");
  s.javaMinVersion = "eleven";
  s.downloadUrl = "https://example.org/java";
  EXPECT_FALSE(Search("jre"));
  ASSERT_EQ(os.boxes.size(), 1u);  // no download question
  EXPECT_EQ(os.boxes[0].caption, "Error!");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_NE(os.boxes[0].text.find("javaMinVersion value \"eleven\""),
            std::string::npos);

  FakePlatform fresh;
  fresh.files[kApp + "\\jre\\bin\\javaw.exe"] = {};
  s.javaMinVersion = "17";
  s.javaMaxVersion = "11";
  s.javaSearch = "jre";
  EXPECT_FALSE(FindRuntimeBySearch(s, fresh));
  ASSERT_EQ(fresh.boxes.size(), 1u);
  EXPECT_NE(fresh.boxes[0].text.find("javaMinVersion 17 is above the "
                                     "javaMaxVersion 11"),
            std::string::npos);
}

// --- registry places

TEST_F(RuntimeSearchTest, SixtyFourBitRegistrationIsSeenByThe32BitLauncher) {
  os.is64BitProcess = false;
  Runtime("C:\\Program Files\\Java\\jdk-17");
  Register(kJdk, "17.0.9", "C:\\Program Files\\Java\\jdk-17",
           RegistryView::k64);
  EXPECT_EQ(Search("registry"),
            "\"C:\\Program Files\\Java\\jdk-17\\bin\\javaw.exe\"");
}

TEST_F(RuntimeSearchTest, EveryJavaSoftLayoutIsRead) {
  const char* roots[] = {"SOFTWARE\\JavaSoft\\Java Runtime Environment",
                         "SOFTWARE\\JavaSoft\\Java Development Kit",
                         "SOFTWARE\\JavaSoft\\JDK", "SOFTWARE\\JavaSoft\\JRE"};
  for (const char* root : roots) {
    FakePlatform fresh;
    fresh.files["C:\\j\\bin\\javaw.exe"] = {};
    fresh.SetValue(std::string(root) + "\\11", "JavaHome", "C:\\j",
                   RegistryView::k32);
    s.javaSearch = "registry";
    EXPECT_EQ(FindRuntimeBySearch(s, fresh), "C:\\j\\bin\\javaw.exe") << root;
    s.javaSearch = "vendors";
    EXPECT_FALSE(FindRuntimeBySearch(s, fresh)) << root;
  }
}

TEST_F(RuntimeSearchTest, VendorLayoutsAreRead) {
  struct Case {
    const char* key;
    const char* value;
  } cases[] = {
      {"SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI", "Path"},
      {"SOFTWARE\\Eclipse Adoptium\\JRE\\17.0.9.9\\hotspot\\MSI", "Path"},
      {"SOFTWARE\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path"},
      {"SOFTWARE\\Azul Systems\\Zulu\\zulu-17", "InstallationPath"},
  };
  s.javaMinVersion = "17";
  for (const Case& c : cases) {
    FakePlatform fresh;
    fresh.files["C:\\v\\bin\\javaw.exe"] = {};
    fresh.files["C:\\v\\release"] = {"JAVA_VERSION=\"17.0.9\"\n", ""};
    fresh.SetValue(c.key, c.value, "C:\\v\\", RegistryView::k64);
    s.javaSearch = "vendors";
    EXPECT_EQ(FindRuntimeBySearch(s, fresh), "C:\\v\\bin\\javaw.exe") << c.key;
    s.javaSearch = "registry";
    EXPECT_FALSE(FindRuntimeBySearch(s, fresh)) << c.key;
  }
}

TEST_F(RuntimeSearchTest, NameThatIsNoVersionFallsBackToTheReleaseFile) {
  Runtime("C:\\zulu");
  os.SetValue("SOFTWARE\\Azul Systems\\Zulu\\zulu-11", "InstallationPath",
              "C:\\zulu", RegistryView::k64);
  s.javaMinVersion = "11";
  EXPECT_FALSE(Search("vendors"));  // no release file: version unknown
  Release("C:\\zulu", "JAVA_VERSION=\"11.0.21\"\n");
  EXPECT_EQ(Search("vendors"), "C:\\zulu\\bin\\javaw.exe");
}

TEST_F(RuntimeSearchTest, EntryOfAnUninstalledRuntimeIsSkipped) {
  Register(kJdk, "21", "C:\\Java\\jdk-21", RegistryView::k64);  // gone
  Runtime("C:\\Java\\jdk-17");
  Register(kJdk, "17", "C:\\Java\\jdk-17", RegistryView::k64);
  EXPECT_EQ(Search("registry"), "C:\\Java\\jdk-17\\bin\\javaw.exe");
}

TEST_F(RuntimeSearchTest, CurrentVersionPlaysNoPart) {
  Runtime("C:\\Java\\jre6");
  Runtime("C:\\Java\\jre8");
  os.SetValue(kClassic, "CurrentVersion", "1.6");
  Register(kClassic, "1.6", "C:\\Java\\jre6", RegistryView::k32);
  Register(kClassic, "1.8", "C:\\Java\\jre8", RegistryView::k32);
  EXPECT_EQ(Search("registry"), "C:\\Java\\jre8\\bin\\javaw.exe");
}

TEST_F(RuntimeSearchTest, SameHomeCountsOnceWithItsMostPreciseVersion) {
  Runtime("C:\\Java\\jre8");
  // A family key and its update name one install; both views show it on a
  // 32-bit system.
  for (RegistryView view : {RegistryView::k64, RegistryView::k32}) {
    Register(kClassic, "1.8", "C:\\Java\\jre8", view);
    Register(kClassic, "1.8.0_201", "C:\\JAVA\\jre8\\", view);
  }
  s.javaMinVersion = "1.8.0_100";
  s.debugMode = true;
  os.files["C:\\Java\\jre8\\bin\\java.exe"] = {};
  EXPECT_EQ(Search("registry"), "C:\\Java\\jre8\\bin\\java.exe");
  EXPECT_NE(os.out.find("version 8.0.201"), std::string::npos) << os.out;
  EXPECT_EQ(os.out.find("C:\\Java\\jre8 (version 8,"), std::string::npos)
      << os.out;
  EXPECT_NE(os.out.find("counted once"), std::string::npos);
}

// --- tracing, failure and the download question

TEST_F(RuntimeSearchTest, DebugModeTracesEveryCandidateAndItsVerdict) {
  s.debugMode = true;
  for (const char* v : {"11", "17", "21"}) {
    std::string home = std::string("C:\\J\\") + v;
    os.files[home + "\\bin\\java.exe"] = {};
    Register(kJdk, v, home, RegistryView::k64);
  }
  Register(kJdk, "22", "C:\\J\\22", RegistryView::k64);  // uninstalled
  s.javaMinVersion = "12";
  s.javaMaxVersion = "20";
  EXPECT_EQ(Search("registry"), "C:\\J\\17\\bin\\java.exe");
  const char* lines[] = {
      "javaSearch: place registry\n",
      "javaSearch: C:\\J\\11 (version 11, SOFTWARE\\JavaSoft\\JDK\\11, 64-bit "
      "view): skipped, below the minimum 12\n",
      "javaSearch: C:\\J\\17 (version 17, SOFTWARE\\JavaSoft\\JDK\\17, 64-bit "
      "view): taken\n",
      "javaSearch: C:\\J\\21 (version 21, SOFTWARE\\JavaSoft\\JDK\\21, 64-bit "
      "view): skipped, above the maximum 20\n",
      "javaSearch: C:\\J\\22 (version unknown, SOFTWARE\\JavaSoft\\JDK\\22, "
      "64-bit view): skipped, no bin\\java.exe\n",
  };
  for (const char* line : lines) {
    EXPECT_NE(os.out.find(line), std::string::npos) << line << os.out;
  }
}

TEST_F(RuntimeSearchTest, FailureBoxListsEveryPlaceAndWhatItHeld) {
  os.environment["PATH"] = "C:\\Windows";
  Register(kJdk, "11.0.2", "C:\\Java\\jdk-11", RegistryView::k64);
  Runtime("C:\\Java\\jdk-11");
  Register(kJdk, "17", "C:\\Java\\jdk-17", RegistryView::k32);  // gone
  os.AddKey("SOFTWARE\\JavaSoft\\JRE\\9", RegistryView::k32);   // no JavaHome
  s.javaMinVersion = "17";
  EXPECT_FALSE(Search("jre; env:JAVA_HOME ;path;registry;vendors"));
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error!");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_EQ(
      os.boxes[0].text,
      "No Java runtime of version 17 or later was found.\n\n"
      "Places searched:\n"
      "jre:\n"
      "    C:\\Apps\\Tool\\jre (version unknown, folder): no bin\\javaw.exe\n"
      "env:JAVA_HOME:\n"
      "    JAVA_HOME is not set\n"
      "path:\n"
      "    no javaw.exe on PATH\n"
      "registry:\n"
      "    SOFTWARE\\JavaSoft\\JRE\\9, 32-bit view: no JavaHome\n"
      "    C:\\Java\\jdk-11 (version 11.0.2, SOFTWARE\\JavaSoft\\JDK\\11.0.2, "
      "64-bit view): below the minimum 17\n"
      "    C:\\Java\\jdk-17 (version unknown, SOFTWARE\\JavaSoft\\JDK\\17, "
      "32-bit view): no bin\\javaw.exe\n"
      "vendors:\n"
      "    no runtime registered\n");
  EXPECT_TRUE(os.starts.empty());
}

TEST_F(RuntimeSearchTest, DownloadQuestionFollowsTheFailureBox) {
  struct Case {
    int answer;
    bool opened;
  } cases[] = {{kAnswerYes, true}, {7 /* IDNO */, false}};
  s.javaMinVersion = "11";
  s.javaMaxVersion = "17";
  s.downloadUrl = "https://example.org/get?java=\"11\"";
  for (const Case& c : cases) {
    FakePlatform fresh;
    fresh.answers = {1, c.answer};
    s.javaSearch = "jre";
    EXPECT_FALSE(FindRuntimeBySearch(s, fresh));
    ASSERT_EQ(fresh.boxes.size(), 2u);
    EXPECT_EQ(fresh.boxes[1].caption, "Java Runtime Environment Not Found");
    EXPECT_EQ(fresh.boxes[1].style, kBoxYesNoError);
    EXPECT_EQ(fresh.boxes[1].text,
              "Tool requires the Java Runtime Environment version 11 to 17\n"
              "Do you want to download it?");
    ASSERT_EQ(fresh.starts.size(), c.opened ? 1u : 0u);
    if (c.opened) {
      // A quote in the address must not end the handler's argument.
      EXPECT_EQ(fresh.starts[0].commandLine,
                "rundll32 url.dll,FileProtocolHandler "
                "\"https://example.org/get?java=%2211%22\"");
    }
  }
}

TEST_F(RuntimeSearchTest, NoQuestionWithoutADownloadPage) {
  s.downloadUrl = "  ";
  EXPECT_FALSE(Search("jre"));
  EXPECT_EQ(os.Captions(), std::vector<std::string>{"Error!"});
  EXPECT_EQ(os.boxes[0].text.rfind("No Java runtime was found.\n", 0), 0u);
}

TEST_F(RuntimeSearchTest, VersionTextWordsTheBounds) {
  struct Case {
    const char* min;
    const char* max;
    const char* text;
  } cases[] = {
      {"11", "17", "11 to 17"},
      {"11", nullptr, "11 or later"},
      {nullptr, "1.8", "1.8 or earlier"},
      {nullptr, nullptr, "any"},
      {" 17 ", "17", "17"},
  };
  for (const Case& c : cases) {
    s.javaMinVersion = c.min ? std::optional<std::string>(c.min) : std::nullopt;
    s.javaMaxVersion = c.max ? std::optional<std::string>(c.max) : std::nullopt;
    EXPECT_EQ(SearchVersionText(s), c.text);
  }
}

// --- the launch

TEST_F(RuntimeSearchTest, LaunchUsesTheSearchOnlyWhenNoRuntimeIsNamed) {
  Runtime(kApp + "\\jre");
  s.javaSearch = "jre";
  EXPECT_EQ(LaunchChildOnce(s, os).exitCode, 0);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            kApp + "\\jre\\bin\\javaw.exe -classpath tool.Main");

  FakePlatform named;
  s.javapath = "C:/jre/bin/javaw.exe";
  EXPECT_EQ(LaunchChildOnce(s, named).exitCode, 0);
  EXPECT_EQ(named.starts[0].commandLine,
            "C:/jre/bin/javaw.exe -classpath tool.Main");
}

TEST_F(RuntimeSearchTest, LaunchStartsNothingWhenTheSearchFails) {
  // The registry's current runtime is not a fallback for a failed search.
  os.SetValue(kClassic, "CurrentVersion", "1.6");
  Register(kClassic, "1.6", "C:\\Java\\jre6", RegistryView::k32);
  s.javaSearch = "jre";
  EXPECT_EQ(LaunchChildOnce(s, os).end, LaunchEnd::kNoRuntime);
  EXPECT_TRUE(os.starts.empty());
  EXPECT_EQ(os.Captions(), std::vector<std::string>{"Error!"});
}

TEST_F(RuntimeSearchTest, ConfigurationKeywordsReachTheSearch) {
  const std::string program = kApp + "\\Tool.exe";
  os.files[kApp + "\\Tool.config"].content =
      "mainclass tool.Main\n"
      "javaSearch registry;$TOOLDIR/jre\n"
      "javaMinVersion 11\n"
      "javaMaxVersions 17\n"  // matched by its beginning
      "downloadUrl https://example.org/java\n";
  os.environment["TOOLDIR"] = "C:\\Program Files\\Tool";
  Runtime("C:\\Program Files\\Tool\\jre");
  Release("C:\\Program Files\\Tool\\jre", "JAVA_VERSION=\"17.0.9\"\n");
  LaunchSettings settings;
  EXPECT_EQ(RunLauncher({program}, settings, os), 0);
  // Expansion turned the backslashes into slashes and did not quote.
  EXPECT_EQ(settings.javaSearch, "registry;C:/Program Files/Tool/jre");
  EXPECT_EQ(settings.javaMinVersion, "11");
  EXPECT_EQ(settings.javaMaxVersion, "17");
  EXPECT_EQ(settings.downloadUrl, "https://example.org/java");
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine,
            "\"C:\\Program Files\\Tool\\jre\\bin\\javaw.exe\" -classpath "
            "tool.Main");
}

}  // namespace
