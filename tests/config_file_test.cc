#include "config/config_file.h"

#include <gtest/gtest.h>

#include "tests/launcher_harness.h"

namespace {

using Lines = std::vector<std::string>;

TEST(SplitConfigLines, ReadsLikeTheCLibraryInTextMode) {
  EXPECT_EQ(SplitConfigLines("a b\r\nc d\n"), (Lines{"a b\n", "c d\n"}));
  EXPECT_EQ(SplitConfigLines("lone\rcr\n"), (Lines{"lone\rcr\n"}));
  EXPECT_EQ(SplitConfigLines("last line"), (Lines{"last line"}));
  EXPECT_EQ(SplitConfigLines("a b\n\x1amainclass x\n"), (Lines{"a b\n"}));
  EXPECT_EQ(SplitConfigLines("a\r\x1a\n"), (Lines{"a\r"}));
  EXPECT_EQ(SplitConfigLines(""), Lines{});
}

TEST(SplitConfigLines, LongLinesComeInPiecesOf2047) {
  std::string longLine(2047, 'x');
  EXPECT_EQ(SplitConfigLines(longLine + "\n"), (Lines{longLine, "\n"}));
  Lines pieces = SplitConfigLines(std::string(5000, 'y') + "\nnext");
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].size(), 2047u);
  EXPECT_EQ(pieces[1].size(), 2047u);
  EXPECT_EQ(pieces[2], std::string(906, 'y') + "\n");
  EXPECT_EQ(pieces[3], "next");
}

class ReadConfigFileTest : public ::testing::Test {
 protected:
  FatalExit Read(const std::string& content) {
    os.files["app.config"].content = content;
    return ReadConfigFile("app.config", settings, os);
  }
  LaunchSettings settings;
  FakePlatform os;
};

TEST_F(ReadConfigFileTest, EveryKeywordFillsItsField) {
  EXPECT_EQ(Read("vmparam -Xmx64m\n"
                 "javapath C:/jre/bin/javaw.exe\n"
                 "addpath classes\n"
                 "mainclass app.Main\n"
                 "appname Tool\n"
                 "argument --verbose\n"
                 "addjar lib/x.jar\n"
                 "consoleTitle My Tool\n"
                 "workingDir C:/work\n"),
            std::nullopt);
  EXPECT_EQ(settings.vmParams, Lines{"-Xmx64m"});
  EXPECT_EQ(settings.javapath, "C:/jre/bin/javaw.exe");
  EXPECT_EQ(settings.classPathEntries, (Lines{"classes", "lib/x.jar"}));
  EXPECT_EQ(settings.mainclass, "app.Main");
  EXPECT_EQ(settings.appname, "Tool");
  EXPECT_EQ(settings.appArguments, Lines{"--verbose"});
  EXPECT_EQ(settings.consoleTitle, "My Tool");
  EXPECT_EQ(settings.workingDir, "C:/work");
}

TEST_F(ReadConfigFileTest, KeysMatchByTheirBeginningInTableOrder) {
  Read(
      "vmparams -Xmx64m\n"
      "mainclassName a.B\n"
      "addjarsX nothing\n"  // an addjars line never reaches addjar
      "addjarfile one.jar\n"
      "MainClass ignored.Case\n"
      "unknown value\n");
  EXPECT_EQ(settings.vmParams, Lines{"-Xmx64m"});
  EXPECT_EQ(settings.mainclass, "a.B");
  EXPECT_EQ(settings.classPathEntries, Lines{"one.jar"});
  EXPECT_EQ(os.searches, Lines{"nothing/*.jar"});
}

TEST_F(ReadConfigFileTest, ValueIsEverythingAfterTheFirstSpace) {
  Read(
      "mainclass  app.Main\n"
      "appname Tool \n"
      "argument a\tb c\n"
      "vmparam\t-Xmx1m tail\n");
  EXPECT_EQ(settings.mainclass, " app.Main");
  EXPECT_EQ(settings.appname, "Tool ");
  EXPECT_EQ(settings.appArguments, Lines{"a\tb c"});
  // A tab does not split, so the key is "vmparam\t-Xmx1m" (still vmparam).
  EXPECT_EQ(settings.vmParams, Lines{"tail"});
}

TEST_F(ReadConfigFileTest, CommentsEmptyAndSpacelessLinesAreIgnored) {
  Read(
      "# mainclass a.A\n"
      "// mainclass b.B\n"
      "/x mainclass c.C\n"
      "\n"
      "mainclass\n"
      "appname\n");
  EXPECT_FALSE(settings.mainclass);
  EXPECT_FALSE(settings.appname);
}

TEST_F(ReadConfigFileTest, TrailingSpaceGivesEmptyValueAndLastLineKeepsAll) {
  Read("mainclass \nappname Tool");
  EXPECT_EQ(settings.mainclass, "");
  EXPECT_EQ(settings.appname, "Tool");
}

TEST_F(ReadConfigFileTest, ScalarsTakeTheLastValueListsAppend) {
  Read("mainclass a.A\nmainclass b.B\nvmparam -a\nvmparam -b\n");
  EXPECT_EQ(settings.mainclass, "b.B");
  EXPECT_EQ(settings.vmParams, (Lines{"-a", "-b"}));
}

TEST_F(ReadConfigFileTest, ArgumentIsNeverExpanded) {
  os.environment["HOME"] = "C:\\Users\\me";
  Read("argument $HOME\\x\n");
  EXPECT_EQ(settings.appArguments, Lines{"$HOME\\x"});
}

TEST_F(ReadConfigFileTest, NulByteEndsTheLine) {
  const char content[] = "mainclass a.B\0junk\nappname T\n";
  Read(std::string(content, sizeof content - 1));
  EXPECT_EQ(settings.mainclass, "a.B");
  EXPECT_EQ(settings.appname, "T");
}

TEST_F(ReadConfigFileTest, PieceOfALongLineIsReadAsALineOfItsOwn) {
  // The first piece ends exactly at 2047 characters; the rest of the physical
  // line is read as the next line.
  std::string filler(2047 - std::string("appname ").size(), 'n');
  Read("appname " + filler + "mainclass x.Y\n");
  EXPECT_EQ(settings.appname, filler);
  EXPECT_EQ(settings.mainclass, "x.Y");
}

TEST_F(ReadConfigFileTest, IncludedFilesAreReadInPlaceAndNest) {
  os.files["a.config"].content = "vmparam -a1\ninclude b.config\nvmparam -a2\n";
  os.files["b.config"].content = "vmparam -b\n";
  Read("vmparam -top1\ninclude a.config\nvmparam -top2\n");
  EXPECT_EQ(settings.vmParams, (Lines{"-top1", "-a1", "-b", "-a2", "-top2"}));
}

TEST_F(ReadConfigFileTest, MissingIncludeIsReportedAndReadingGoesOn) {
  EXPECT_EQ(Read("include nosuch.config\ninclude \nmainclass a.B\n"),
            std::nullopt);
  EXPECT_EQ(settings.mainclass, "a.B");
  EXPECT_EQ(os.err,
            "Can't open jdk.config Error No such file or directory\n"
            "Can't open jdk.config Error No such file or directory\n");
}

TEST_F(ReadConfigFileTest, IncludeCycleIsStoppedWithABoxAndTheRestIsRead) {
  os.files["loop.config"].content =
      "vmparam -loop\ninclude .\\APP.CONFIG\nvmparam -after\n";
  EXPECT_EQ(Read("vmparam -top\ninclude loop.config\nmainclass a.B\n"),
            std::nullopt);
  EXPECT_EQ(settings.vmParams, (Lines{"-top", "-loop", "-after"}));
  EXPECT_EQ(settings.mainclass, "a.B");
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_NE(os.boxes[0].text.find(".\\APP.CONFIG includes itself"),
            std::string::npos);
}

TEST_F(ReadConfigFileTest, SelfIncludeIsACycleToo) {
  Read("include app.config\nmainclass a.B\n");
  EXPECT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(settings.mainclass, "a.B");
}

TEST_F(ReadConfigFileTest, SameFileIncludedTwiceInSequenceIsNoCycle) {
  os.files["part.config"].content = "vmparam -p\n";
  Read("include part.config\ninclude part.config\n");
  EXPECT_EQ(settings.vmParams, (Lines{"-p", "-p"}));
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(ReadConfigFileTest, DeepChainStopsAtTheDepthLimit) {
  // Each file has its own name, so only the depth limit can stop this.
  for (int i = 0; i < 300; ++i) {
    os.files["f" + std::to_string(i)].content =
        "vmparam -" + std::to_string(i) + "\ninclude f" +
        std::to_string(i + 1) + "\n";
  }
  Read("include f0\n");
  EXPECT_EQ(settings.vmParams.size(), 255u);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_NE(os.boxes[0].text.find("256 deep"), std::string::npos);
}

TEST_F(ReadConfigFileTest, DebugModeNamesEachFileRead) {
  settings.debugMode = true;
  os.files["b.config"].content = "mainclass a.B\n";
  Read("include b.config\n");
  EXPECT_EQ(os.Captions(),
            (Lines{"Reading Config file", "Reading Config file"}));
  EXPECT_EQ(os.boxes[1].text, "b.config");
}

// The bytes an editor writes for `text` as UTF-16 LE, byte-order mark first.
std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST_F(ReadConfigFileTest, Utf8ByteOrderMarkIsSkippedOnlyAtTheStart) {
  os.files["inc.config"].content = "\xEF\xBB\xBFvmparam -inc\n";
  EXPECT_EQ(Read("\xEF\xBB\xBFjavapath C:/jre/bin/javaw.exe\n"
                 "include inc.config\nappname \xEF\xBB\xBFTool\n"),
            std::nullopt);
  EXPECT_EQ(settings.javapath, "C:/jre/bin/javaw.exe");
  EXPECT_EQ(settings.vmParams, Lines{"-inc"});
  EXPECT_EQ(settings.appname, "\xEF\xBB\xBFTool");
}

TEST_F(ReadConfigFileTest, Utf16LeIsConvertedThenReadLikeAnyFile) {
  const std::u16string filler(2047 - 8, u'n');
  os.files["inc.config"].content = Utf16Le(u"vmparam -inc\r\n");
  EXPECT_EQ(
      Read(Utf16Le(u"mainclass app.Main\r\nconsoleTitle Caf\u00e9\r\n"
                   u"include inc.config\r\nappname " +
                   filler + u"vmparam -piece\r\nvmparam -x\x1avmparam -y")),
      std::nullopt);
  EXPECT_EQ(settings.mainclass, "app.Main");
  EXPECT_EQ(settings.consoleTitle, "Caf\xE9");
  EXPECT_EQ(settings.appname, std::string(filler.size(), 'n'));
  EXPECT_EQ(settings.vmParams, (Lines{"-inc", "-piece", "-x"}));
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(ReadConfigFileTest, Utf16LeCharacterOutsideTheCodePageRefusesTheFile) {
  EXPECT_EQ(Read(Utf16Le(u"mainclass a.B\r\nappname \u4e2d\r\nvmparam -x\r\n")),
            ExitCode::kConfigUnreadable);
  EXPECT_FALSE(settings.mainclass);
  EXPECT_TRUE(settings.vmParams.empty());
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Error");
  EXPECT_EQ(os.boxes[0].style, kBoxError);
  EXPECT_NE(os.boxes[0].text.find("app.config is saved as UTF-16, and its "
                                  "line 2 holds a character"),
            std::string::npos);
  EXPECT_NE(os.boxes[0].text.find("Save it as ANSI or UTF-8."),
            std::string::npos);
}

TEST(ConfigEncoding, BigEndianAndUtf32AreRefusedByNameWithExit2) {
  struct Case {
    std::string content;
    const char* named;
  } cases[] = {
      {std::string("\xFE\xFF\0m\0a", 6), "saved as UTF-16 big-endian,"},
      {std::string("\xFF\xFE\0\0m\0\0\0", 8), "saved as UTF-32,"},
  };
  for (const Case& c : cases) {
    FakePlatform os;
    LaunchSettings settings;
    os.files["C:\\Apps\\Tool.config"].content = c.content;
    EXPECT_EQ(RunLauncher({"C:\\Apps\\Tool.exe"}, settings, os), 2);
    ASSERT_EQ(os.boxes.size(), 1u) << c.named;
    EXPECT_NE(os.boxes[0].text.find(std::string("C:\\Apps\\Tool.config is ") +
                                    c.named),
              std::string::npos)
        << os.boxes[0].text;
    EXPECT_TRUE(os.starts.empty());
  }
}

TEST(LocateAppConfig, DefaultPathReplacesOnlyALowerCaseExe) {
  struct Case {
    const char* program;
    const char* config;
  } cases[] = {
      {"C:\\Apps\\Tool\\Tool.exe", "C:\\Apps\\Tool\\Tool.config"},
      {"C:\\Apps\\Tool\\TOOL.EXE", "C:\\Apps\\Tool\\TOOL.EXE.config"},
      {"C:\\Apps\\Tool\\tool", "C:\\Apps\\Tool\\tool.config"},
      {"C:/Apps/Tool.exe", "C:\\Apps\\Tool\\C:/Apps/Tool.config"},
  };
  for (const Case& c : cases) {
    FakePlatform os;
    LaunchSettings settings;
    settings.startDir = "C:\\Apps\\Tool";
    EXPECT_EQ(LocateAppConfig(c.program, settings, os),
              ExitCode::kConfigUnreadable);
    EXPECT_EQ(os.filesRead, Lines{c.config}) << c.program;
  }
}

TEST(LocateAppConfig, DebugModeTracesAndShowsThePath) {
  FakePlatform os;
  LaunchSettings settings;
  settings.debugMode = true;
  settings.configPath = "my.cfg";
  os.files["my.cfg"].content = "mainclass a.B\n";
  EXPECT_EQ(LocateAppConfig("C:\\x\\Tool.exe", settings, os), std::nullopt);
  EXPECT_EQ(os.out, "reading app config my.cfg\n");
  ASSERT_EQ(os.boxes.size(), 2u);
  EXPECT_EQ(os.boxes[0].caption, "Reading App Config file");
  EXPECT_EQ(os.boxes[0].text, "[my.cfg]");
}

TEST(LocateAppConfig, EmbeddedConfigurationOnlyWhenNoFileIsBeside) {
  const std::string beside = "C:\\Apps\\Tool\\Tool.config";
  struct Case {
    bool fileBeside;
    const char* configSwitch;  // nullptr: no -c
    std::optional<std::string> embedded;
    FatalExit result;
    const char* mainclass;  // nullptr: none read
  } cases[] = {
      {true, nullptr, "mainclass from.Embedded\n", std::nullopt, "from.File"},
      {false, nullptr, "\xEF\xBB\xBFinclude more.config\n", std::nullopt,
       "from.Include"},
      {false, "-cother.config", "mainclass from.Embedded\n",
       ExitCode::kConfigUnreadable, nullptr},
      {false, nullptr, std::nullopt, ExitCode::kConfigUnreadable, nullptr},
  };
  for (const Case& c : cases) {
    FakePlatform os;
    LaunchSettings settings;
    settings.debugMode = true;
    settings.startDir = "C:\\Apps\\Tool";
    if (c.configSwitch) settings.configPath = std::string(c.configSwitch + 2);
    if (c.fileBeside) os.files[beside].content = "mainclass from.File\n";
    os.files["more.config"].content = "mainclass from.Include\n";
    os.embeddedConfiguration = c.embedded;
    EXPECT_EQ(LocateAppConfig("C:\\Apps\\Tool\\Tool.exe", settings, os),
              c.result);
    EXPECT_EQ(settings.mainclass, c.mainclass
                                      ? std::optional<std::string>(c.mainclass)
                                      : std::nullopt);
    const bool embeddedRead = !c.fileBeside && !c.configSwitch && c.embedded;
    ASSERT_FALSE(os.boxes.empty());
    EXPECT_EQ(
        os.boxes[0].text,
        embeddedRead
            ? "[C:\\Apps\\Tool\\Tool.exe (embedded)]"
            : "[" + (c.configSwitch ? std::string("other.config") : beside) +
                  "]");
    EXPECT_EQ(os.err.empty(), c.result == std::nullopt);
  }
}

TEST(JavaVersionLine, NoRuntimeEndsTheLauncherWithFive) {
  FakePlatform os;
  LaunchSettings settings;
  os.files["c"].content = "mainclass a.B\njavaVersion \nmainclass never.Read\n";
  EXPECT_EQ(ReadConfigFile("c", settings, os), ExitCode::kNoRuntimeForVersion);
  EXPECT_EQ(settings.mainclass, "a.B");
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(ReadConfigFileTest, MainModuleTakesAModuleAndOnlyWithoutMainClass) {
  const struct {
    const char* lines;
    std::optional<std::string> module;
    const char* refusal;  // the end of the box's text, or nullptr
  } cases[] = {
      {"mainmodule tool\n", "tool", nullptr},
      {"mainmodule  com.tool/com.tool.Main$1 \n", "com.tool/com.tool.Main$1",
       nullptr},
      {"mainmodule \n", "", "takes a module's name"},
      {"mainmodule tool/\n", "tool/", "takes a module's name"},
      {"mainmodule 1tool\n", "1tool", "takes a module's name"},
      {"mainmodule a..b\n", "a..b", "takes a module's name"},
      {"mainclass a.B\nmainmodule tool\n", std::nullopt,
       "not both."},
      {"mainmodule tool\nmainclass a.B\n", "tool", "not both."},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    LaunchSettings read;
    fresh.files["c"].content = c.lines;
    EXPECT_EQ(ReadConfigFile("c", read, fresh),
              c.refusal ? FatalExit(ExitCode::kConfigUnreadable) : std::nullopt)
        << c.lines;
    EXPECT_EQ(read.mainmodule, c.module) << c.lines;
    ASSERT_EQ(fresh.boxes.size(), c.refusal ? 1u : 0u) << c.lines;
    if (c.refusal) {
      EXPECT_EQ(fresh.boxes[0].text.find("Line "), 0u);
      EXPECT_NE(fresh.boxes[0].text.find(c.refusal), std::string::npos)
          << fresh.boxes[0].text;
    }
  }
}

}  // namespace
