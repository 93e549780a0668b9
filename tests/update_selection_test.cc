#include "runtime/update_selection.h"

#include <gtest/gtest.h>

#include <climits>

#include "runtime/registry_lookup.h"
#include "tests/fake_platform.h"
#include "tests/launcher_harness.h"

namespace {

using Boxes = std::vector<std::string>;

const std::string kRoot = kRuntimeRootKey;

// A registry whose root key lists `subkeys` in this enumeration order.
void InstallSubkeys(FakePlatform& os, const std::vector<std::string>& subkeys) {
  os.AddKey(kRoot);
  for (const std::string& name : subkeys) os.AddKey(kRoot + "\\" + name);
}

// Runs the selection for `version` over `subkeys` and returns the resulting
// javaVersion; the process must not end and every key must be closed.
std::string Select(const std::string& version,
                   const std::vector<std::string>& subkeys) {
  FakePlatform os;
  InstallSubkeys(os, subkeys);
  LaunchSettings s;
  s.javaVersion = version;
  EXPECT_EQ(SelectLatestUpdate(s, os), std::nullopt);
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.openKeys, 0);
  return s.javaVersion.value_or("<none>");
}

// Runs the selection and returns how it ended the run (none when the run
// goes on); `os` keeps what happened.
FatalExit SelectEnding(FakePlatform& os, LaunchSettings& s) {
  return SelectLatestUpdate(s, os);
}

// --- ReadUpdateLevel

struct LevelCase {
  const char* text;
  int level;
};

TEST(ReadUpdateLevel, ReadsLikeAtoiAndSaturates) {
  const LevelCase cases[] = {
      {"20", 20},
      {"20+", 20},
      {"20-b02", 20},
      {"007", 7},
      {"", 0},
      {"+", 0},
      {"-", 0},
      {"abc", 0},
      {"b02", 0},
      {" 25", 25},
      {" \t\n\v\f\r25", 25},
      {"+30", 30},
      {"-3", -3},
      {"-0", 0},
      {"- 3", 0},
      {"+-3", 0},
      {"--3", 0},
      {"3 4", 3},
      {"\2405", 0},  // a no-break space (0xA0) is not C white space
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"99999999999999999999999", INT_MAX},
      {"-2147483647", -2147483647},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"-99999999999999999999999", INT_MIN},
      {"00000000000000000000012", 12},
  };
  for (const LevelCase& c : cases) {
    EXPECT_EQ(ReadUpdateLevel(c.text), c.level) << "'" << c.text << "'";
  }
}

TEST(ReadUpdateLevel, StopsAtANul) {
  EXPECT_EQ(ReadUpdateLevel(std::string{'1', '2', '\0', '3'}), 12);
}

TEST(UpdateLevelOf, TheNumberAfterTheFirstUnderscore) {
  EXPECT_EQ(UpdateLevelOf("1.6.0_20"), 20);
  EXPECT_EQ(UpdateLevelOf("1.6.0_20_31"), 20);
  EXPECT_EQ(UpdateLevelOf("1.6.0_"), 0);
  EXPECT_EQ(UpdateLevelOf("_20+"), 20);
  EXPECT_EQ(UpdateLevelOf("1.6"), std::nullopt);
  EXPECT_EQ(UpdateLevelOf(""), std::nullopt);
}

// --- SelectLatestUpdate: which subkey wins

TEST(SelectLatestUpdate, FamilyTakesTheHighestUpdate) {
  EXPECT_EQ(Select("1.6", {"1.6", "1.6.0", "1.6.0_20", "1.6.0_31"}),
            "1.6.0_31");
  EXPECT_EQ(Select("1.6", {"1.6.0_31", "1.6.0_20", "1.6", "1.6.0"}),
            "1.6.0_31");
}

TEST(SelectLatestUpdate, FamilyWithoutUpdatesStaysAsItIs) {
  EXPECT_EQ(Select("1.6", {"1.6", "1.6.0"}), "1.6");
  EXPECT_EQ(Select("1.6", {}), "1.6");
}

TEST(SelectLatestUpdate, UpdateZeroIsNotEnoughToReplaceTheVersion) {
  EXPECT_EQ(Select("1.6", {"1.6", "1.6.0_0"}), "1.6");
  EXPECT_EQ(Select("1.6", {"1.6.0_abc"}), "1.6");  // reads as level 0
  EXPECT_EQ(Select("1.6", {"1.6.0_-5"}), "1.6");
  EXPECT_EQ(Select("1.6.0_0+", {"1.6.0_0"}), "1.6.0_0+");
}

TEST(SelectLatestUpdate, NegativeLevelsNeverReplaceTheVersion) {
  // '1.6.0_-3' beats the requested -5, but a best level of -3 is not above 0.
  EXPECT_EQ(Select("1.6.0_-5+", {"1.6.0_-3"}), "1.6.0_-5+");
  EXPECT_EQ(Select("1.6.0_-5+", {"1.6.0_-3", "1.6.0_4"}), "1.6.0_4");
}

TEST(SelectLatestUpdate, MinimumUpdateTakesTheHighestAtOrAboveIt) {
  EXPECT_EQ(Select("1.6.0_20+", {"1.6.0_20", "1.6.0_24"}), "1.6.0_24");
  EXPECT_EQ(Select("1.6.0_20+", {"1.6.0_20"}), "1.6.0_20");
  EXPECT_EQ(Select("1.6.0_20+", {"1.6.0_17", "1.6.0_20"}), "1.6.0_20");
}

TEST(SelectLatestUpdate, OfEqualLevelsTheLaterEnumeratedWins) {
  EXPECT_EQ(Select("1.6", {"1.6.0_20", "1.6.1_20"}), "1.6.1_20");
  EXPECT_EQ(Select("1.6", {"1.6.1_20", "1.6.0_20"}), "1.6.0_20");
  EXPECT_EQ(Select("1.6", {"1.6.0_20", "1.6.0_020"}), "1.6.0_020");
}

TEST(SelectLatestUpdate, LevelsAreReadLikeAtoi) {
  EXPECT_EQ(Select("1.6", {"1.6.0_20-b02", "1.6.0_19"}), "1.6.0_20-b02");
  EXPECT_EQ(Select("1.6", {"1.6.0_ 25", "1.6.0_24"}), "1.6.0_ 25");
  EXPECT_EQ(Select("1.6", {"1.6.0_+30", "1.6.0_29"}), "1.6.0_+30");
  EXPECT_EQ(Select("1.6", {"1.6.0_31", "1.6.0_99999999999"}),
            "1.6.0_99999999999");
  EXPECT_EQ(Select("1.6", {"1.6.0_20_99", "1.6.0_21"}), "1.6.0_21");
}

TEST(SelectLatestUpdate, RequestedLevelIsReadLikeAtoi) {
  EXPECT_EQ(Select("1.6.0_20-b02", {"1.6.0_20"}), "1.6.0_20");
  EXPECT_EQ(Select("1.6.0_ 20+", {"1.6.0_25"}), "1.6.0_25");
}

TEST(SelectLatestUpdate, FamilyMatchIsATextualPrefix) {
  EXPECT_EQ(Select("1.6", {"1.60_5"}), "1.60_5");
  EXPECT_EQ(Select("1.6", {"1.5.0_22", "1.6.0_3", "1.7.0_1"}), "1.6.0_3");
  EXPECT_EQ(Select("1.6.0_1+", {"1.6", "1.6.0_5", "1.6.1_9"}), "1.6.0_5");
  EXPECT_EQ(Select("1.6", {"1.", "1"}), "1.6");  // shorter names never match
}

TEST(SelectLatestUpdate, FamilyMatchIsCaseSensitive) {
  EXPECT_EQ(Select("jre1.6", {"JRE1.6_5"}), "jre1.6");
  EXPECT_EQ(Select("jre1.6", {"jre1.6_5"}), "jre1.6_5");
}

TEST(SelectLatestUpdate, EmptyFamilyAcceptsEveryName) {
  EXPECT_EQ(Select("_20+", {"1.5.0_22", "1.6.0_21", "1.4.2"}), "1.5.0_22");
  EXPECT_EQ(Select("_20+", {"1.6.0_21", "1.5.0_20"}), "1.6.0_21");
}

TEST(SelectLatestUpdate, PlusWithoutUnderscoreMatchesNothing) {
  EXPECT_EQ(Select("1.6+", {"1.6", "1.6.0_20"}), "1.6+");
}

TEST(SelectLatestUpdate, LongFamilyIsComparedWhole) {
  // A family far longer than 19 characters is not cut: only names that carry
  // all of it match.
  const std::string family = "1.6.0.1234567890.1234567890";
  EXPECT_EQ(Select(family, {family.substr(0, 19) + "_9", family + "_7"}),
            family + "_7");
  EXPECT_EQ(
      Select(family + "_5+", {family + "_6", family.substr(0, 19) + "_9"}),
      family + "_6");
}

TEST(SelectLatestUpdate, NoneOrEmptyVersionDoesNothing) {
  for (const std::optional<std::string>& version :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    FakePlatform os;
    InstallSubkeys(os, {"1.6.0_20"});
    LaunchSettings s;
    s.javaVersion = version;
    EXPECT_EQ(SelectEnding(os, s), std::nullopt);
    EXPECT_EQ(s.javaVersion, version);
    EXPECT_TRUE(os.keysOpened.empty());
    EXPECT_TRUE(os.out.empty());
    EXPECT_TRUE(os.boxes.empty());
  }
}

// --- SelectLatestUpdate: traces

TEST(SelectLatestUpdate, TracesEveryStepOnStandardOutput) {
  FakePlatform os;
  InstallSubkeys(os, {"1.5.0_22", "1.6", "1.6.0_20", "1.6.0_31", "1.6.1_31"});
  LaunchSettings s;
  s.javaVersion = "1.6.0_20+";
  EXPECT_EQ(SelectEnding(os, s), std::nullopt);
  EXPECT_EQ(os.out,
            "javaVersion=1.6.0_20+, javaVer=1.6.0\n"
            "checking (1) 1.5.0_22\n"
            "checking (2) 1.6\n"
            "checking (3) 1.6.0_20\n"
            "found correct java version 1.6.0_20. checking patch level\n"
            "checking patch level 20 against 20\n"
            "found latest java version 1.6.0_20\n"
            "checking (4) 1.6.0_31\n"
            "found correct java version 1.6.0_31. checking patch level\n"
            "checking patch level 31 against 20\n"
            "found latest java version 1.6.0_31\n"
            "checking (5) 1.6.1_31\n");
  EXPECT_EQ(s.javaVersion, "1.6.0_31");
  EXPECT_TRUE(os.boxes.empty());
}

TEST(SelectLatestUpdate, TracesNamesWithoutLevelAndLowerLevels) {
  FakePlatform os;
  InstallSubkeys(os, {"1.6", "1.6.0_31", "1.6.0_-2"});
  LaunchSettings s;
  s.debugMode = true;  // the same traces, and no boxes, in debug mode
  s.javaVersion = "1.6";
  EXPECT_EQ(SelectEnding(os, s), std::nullopt);
  EXPECT_EQ(os.out,
            "javaVersion=1.6, javaVer=1.6\n"
            "checking (1) 1.6\n"
            "found correct java version 1.6. checking patch level\n"
            "No patch level found in 1.6\n"
            "checking (2) 1.6.0_31\n"
            "found correct java version 1.6.0_31. checking patch level\n"
            "checking patch level 31 against 0\n"
            "found latest java version 1.6.0_31\n"
            "checking (3) 1.6.0_-2\n"
            "found correct java version 1.6.0_-2. checking patch level\n"
            "checking patch level -2 against 31\n");
  EXPECT_TRUE(os.boxes.empty());
}

TEST(SelectLatestUpdate, TracesTextsAsWritten) {
  FakePlatform os;
  InstallSubkeys(os, {"1.6%s_%d"});
  LaunchSettings s;
  s.javaVersion = "1.6%s";
  EXPECT_EQ(SelectEnding(os, s), std::nullopt);
  EXPECT_EQ(os.out,
            "javaVersion=1.6%s, javaVer=1.6%s\n"
            "checking (1) 1.6%s_%d\n"
            "found correct java version 1.6%s_%d. checking patch level\n"
            "checking patch level 0 against 0\n"
            "found latest java version 1.6%s_%d\n");
  EXPECT_EQ(s.javaVersion, "1.6%s");
}

// --- SelectLatestUpdate: registry failures

TEST(SelectLatestUpdate, UnreadableSubkeyIsSkipped) {
  FakePlatform os;
  // A name longer than 255 characters cannot be enumerated.
  InstallSubkeys(os,
                 {"1.6.0_20", "1.6.0_9" + std::string(300, '9'), "1.6.0_21"});
  LaunchSettings s;
  s.javaVersion = "1.6";
  EXPECT_EQ(SelectEnding(os, s), std::nullopt);
  EXPECT_EQ(s.javaVersion, "1.6.0_21");
  EXPECT_EQ(os.out.find("checking (2)"), std::string::npos);
  EXPECT_NE(os.out.find("checking (3) 1.6.0_21\n"), std::string::npos);
  EXPECT_EQ(os.openKeys, 0);
}

TEST(SelectLatestUpdate, UnreadableSubkeyCountExaminesNothing) {
  FakePlatform os;
  os.subkeyCountFails = true;
  InstallSubkeys(os, {"1.6.0_20"});
  LaunchSettings s;
  s.javaVersion = "1.6";
  EXPECT_EQ(SelectEnding(os, s), std::nullopt);
  EXPECT_EQ(s.javaVersion, "1.6");
  EXPECT_EQ(os.out, "javaVersion=1.6, javaVer=1.6\n");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(SelectLatestUpdate, UnreadableSubkeyCountWithMinimumEndsWith11) {
  FakePlatform os;
  os.subkeyCountFails = true;
  InstallSubkeys(os, {"1.6.0_20"});
  LaunchSettings s;
  s.javaVersion = "1.6.0_20+";
  EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
  EXPECT_EQ(os.Captions(), Boxes{"Incompatible JRE Version Found"});
  EXPECT_EQ(os.openKeys, 0);
}

TEST(SelectLatestUpdate, NoRootKeyAsksAndEndsWith11) {
  for (bool debug : {false, true}) {
    FakePlatform os;
    LaunchSettings s;
    s.debugMode = debug;
    s.appname = "Tool";
    s.javaVersion = "1.6";
    EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
    if (debug) {
      EXPECT_EQ(os.Captions(), (Boxes{"Error Accessing Registry!",
                                      "Java Runtime Environment Not Found"}));
      EXPECT_EQ(os.boxes[0].text, "Java Current Version");
      EXPECT_EQ(os.boxes[0].style, kBoxError);
    } else {
      EXPECT_EQ(os.Captions(), Boxes{"Java Runtime Environment Not Found"});
    }
    EXPECT_EQ(os.boxes.back().text,
              "Tool requires the Java Runtime Environment version 1.6\n"
              "Do you want to download it?");
    EXPECT_EQ(os.boxes.back().style, kBoxYesNoError);
    EXPECT_TRUE(os.out.empty());
    EXPECT_EQ(os.openKeys, 0);
  }
}

// --- SelectLatestUpdate: no update high enough

TEST(SelectLatestUpdate, NoHighEnoughUpdateAsksAndEndsWith11) {
  for (int answer : {kAnswerYes, 7}) {
    FakePlatform os;
    InstallSubkeys(os, {"1.6.0_17", "1.5.0_30"});
    os.answers = {answer};
    LaunchSettings s;
    s.appname = "Tool";
    s.javaVersion = "1.6.0_20+";
    EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].caption, "Incompatible JRE Version Found");
    EXPECT_EQ(os.boxes[0].text,
              "Tool requires the Java Runtime Environment version 1.6.0_20+\n"
              "Do you want to download it?");
    EXPECT_EQ(os.boxes[0].style, kBoxYesNoError);
    EXPECT_TRUE(os.starts.empty());  // no page for 1.6
    EXPECT_EQ(s.javaVersion, "1.6.0_20+");
    // The root key is closed before the question.
    EXPECT_EQ(os.keysOpened, std::vector<std::string>{kRoot});
    EXPECT_EQ(os.openKeys, 0);
  }
}

TEST(SelectLatestUpdate, NoHighEnoughUpdateOffersTheLatestPageFor15) {
  FakePlatform os;
  InstallSubkeys(os, {"1.5.0_05"});
  os.answers = {kAnswerYes};
  LaunchSettings s;
  s.appname = "Tool";
  s.javaVersion = "1.5.0_06+";
  EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_NE(
      os.starts[0].commandLine.find("/en/download/download_the_latest.jsp\""),
      std::string::npos);
}

TEST(SelectLatestUpdate, EmptyFamilyWithTooLowLevelsEndsWith11) {
  FakePlatform os;
  InstallSubkeys(os, {"1.5.0_19", "1.6.0_18"});
  LaunchSettings s;
  s.javaVersion = "_20+";
  EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
  EXPECT_EQ(os.out.substr(0, 30), "javaVersion=_20+, javaVer=\nche");
  EXPECT_EQ(os.openKeys, 0);
}

TEST(SelectLatestUpdate, NoMatchingFamilyWithMinimumEndsWith11) {
  FakePlatform os;
  InstallSubkeys(os, {"1.5.0_22"});
  LaunchSettings s;
  s.javaVersion = "1.6.0_1+";
  EXPECT_EQ(SelectEnding(os, s), ExitCode::kRuntimeDownloadAsked);
}

}  // namespace
