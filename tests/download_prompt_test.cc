#include "runtime/download_prompt.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"
#include "tests/launcher_harness.h"

namespace {

const std::string kLatestPage =
    std::string(kConsumerDownloadSite) + kLatestRuntimePage;
const std::string k142Page =
    std::string(kDeveloperDownloadSite) + kRuntime142Page;

std::string DownloadCommand(const std::string& url) {
  return "rundll32 url.dll,FileProtocolHandler \"" + url + "\"";
}

LaunchSettings WithVersion(const std::string& version) {
  LaunchSettings s;
  s.appname = "Tool";
  s.mainclass = "tool.Main";
  s.javaVersion = version;
  return s;
}

// --- DownloadPageFor

TEST(DownloadPageFor, ChoosesThePageByTheVersionsBeginning) {
  EXPECT_EQ(DownloadPageFor(std::string("1.4.2")), k142Page);
  EXPECT_EQ(DownloadPageFor(std::string("1.4.2_19")), k142Page);
  EXPECT_EQ(DownloadPageFor(std::string("1.5")), kLatestPage);
  EXPECT_EQ(DownloadPageFor(std::string("1.5.0_06+")), kLatestPage);
  EXPECT_EQ(DownloadPageFor(std::string("1.50")), kLatestPage);  // textual
  EXPECT_EQ(DownloadPageFor(std::string("1.4")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::string("1.4.1_07")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::string("1.6.0_20")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::string("1.")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::string(" 1.5")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::string("")), std::nullopt);
  EXPECT_EQ(DownloadPageFor(std::nullopt), std::nullopt);
}

TEST(DownloadPageFor, PagesAreHttpAddressesWithTheFixedPaths) {
  EXPECT_EQ(k142Page.rfind("http://", 0), 0u);
  EXPECT_EQ(kLatestPage.rfind("http://", 0), 0u);
  EXPECT_EQ(k142Page.substr(k142Page.size() - 25), "/j2se/1.4.2/download.html");
  EXPECT_EQ(kLatestPage.substr(kLatestPage.size() - 36),
            "/en/download/download_the_latest.jsp");
}

// --- OpenDownloadPage

TEST(OpenDownloadPage, StartsTheUrlHandlerWithoutWaitingForIt) {
  FakePlatform os;
  OpenDownloadPage(WithVersion("1.5.0_06+"), os);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, DownloadCommand(kLatestPage));
  EXPECT_EQ(os.starts[0].directory, std::nullopt);
  EXPECT_EQ(os.starts[0].consoleTitle, std::nullopt);
  // Only the handle is closed: no wait for idle, no wait for the end.
  EXPECT_EQ(os.waits, std::vector<std::string>{"close"});
  EXPECT_TRUE(os.boxes.empty());
}

TEST(OpenDownloadPage, Runtime142Page) {
  FakePlatform os;
  OpenDownloadPage(WithVersion("1.4.2_19"), os);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, DownloadCommand(k142Page));
}

TEST(OpenDownloadPage, NothingForOtherNoneOrEmptyVersions) {
  for (const std::optional<std::string>& version :
       {std::optional<std::string>("1.6.0_20"), std::optional<std::string>(""),
        std::optional<std::string>()}) {
    FakePlatform os;
    LaunchSettings s;
    s.javaVersion = version;
    OpenDownloadPage(s, os);
    EXPECT_TRUE(os.starts.empty());
    EXPECT_TRUE(os.waits.empty());
  }
}

TEST(OpenDownloadPage, FailedStartIsLeftAlone) {
  FakePlatform os;
  FakePlatform::Run fails;
  fails.startFails = true;
  os.runs.push_back(fails);
  OpenDownloadPage(WithVersion("1.5"), os);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_FALSE(os.starts[0].ok);
  EXPECT_TRUE(os.waits.empty());  // no handle to close
  EXPECT_TRUE(os.boxes.empty());
}

// --- AskRuntimeDownload

TEST(AskRuntimeDownload, AsksWithTheNameAndVersionInAYesNoErrorBox) {
  FakePlatform os;
  os.answers = {kAnswerNo};
  AskRuntimeDownload("Java Runtime Environment Not Found",
                     WithVersion("1.5.0_06+"), os);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            "Tool requires the Java Runtime Environment version 1.5.0_06+\n"
            "Do you want to download it?");
  EXPECT_EQ(os.boxes[0].caption, "Java Runtime Environment Not Found");
  EXPECT_EQ(os.boxes[0].style, kBoxYesNoError);
  EXPECT_TRUE(os.starts.empty());
}

TEST(AskRuntimeDownload, YesOpensThePageAndReturns) {
  FakePlatform os;
  os.answers = {kAnswerYes};
  AskRuntimeDownload("Java Runtime Environment Not Found",
                     WithVersion("1.5.0_99"), os);
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, DownloadCommand(kLatestPage));
}

TEST(AskRuntimeDownload, OnlyYesOpensThePage) {
  for (int answer : {kAnswerNo, 1 /* IDOK */, 2 /* IDCANCEL */, 0}) {
    FakePlatform os;
    os.answers = {answer};
    AskRuntimeDownload("c", WithVersion("1.5.0_99"), os);
    EXPECT_TRUE(os.starts.empty()) << "answer " << answer;
  }
}

TEST(AskRuntimeDownload, YesForAVersionWithoutPageOpensNothing) {
  FakePlatform os;
  os.answers = {kAnswerYes};
  AskRuntimeDownload("c", WithVersion("1.6.0_20"), os);
  EXPECT_EQ(os.boxes.size(), 1u);
  EXPECT_TRUE(os.starts.empty());
}

struct NameCase {
  std::optional<std::string> appname;
  std::optional<std::string> mainclass;
  const char* shown;
};

TEST(AskRuntimeDownload, NamesTheApplicationByAppnameThenMainclass) {
  const NameCase cases[] = {
      {std::string("Tool"), std::string("tool.Main"), "Tool"},
      {std::string(""), std::string("tool.Main"), "tool.Main"},
      {std::nullopt, std::string("tool.Main"), "tool.Main"},
      {std::string(""), std::nullopt, "(null)"},
      {std::nullopt, std::nullopt, "(null)"},
      {std::nullopt, std::string(""), ""},
      {std::string(" "), std::string("tool.Main"), " "},
  };
  for (const NameCase& c : cases) {
    FakePlatform os;
    LaunchSettings s;
    s.appname = c.appname;
    s.mainclass = c.mainclass;
    s.javaVersion = "1.6";
    AskRuntimeDownload("c", s, os);
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text,
              std::string(c.shown) +
                  " requires the Java Runtime Environment version 1.6\n"
                  "Do you want to download it?");
  }
}

TEST(AskRuntimeDownload, LongNameAndVersionAreNeverCut) {
  FakePlatform os;
  LaunchSettings s;
  s.appname = std::string(300, 'n');
  s.javaVersion = "1.5." + std::string(400, '9');
  os.answers = {kAnswerYes};
  AskRuntimeDownload("c", s, os);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            *s.appname + " requires the Java Runtime Environment version " +
                *s.javaVersion + "\nDo you want to download it?");
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, DownloadCommand(kLatestPage));
}

TEST(AskRuntimeDownload, PercentSignsAreShownAsWritten) {
  FakePlatform os;
  LaunchSettings s;
  s.appname = "100%s %d Tool";
  s.javaVersion = "1.6%n";
  AskRuntimeDownload("c", s, os);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            "100%s %d Tool requires the Java Runtime Environment version "
            "1.6%n\nDo you want to download it?");
}

// --- PromptRuntimeDownload

TEST(PromptRuntimeDownload, YesOpensThePageThenEndsWith11) {
  FakePlatform os;
  os.answers = {kAnswerYes};
  LaunchSettings s = WithVersion("1.5.0_06+");
  EXPECT_EQ(PromptRuntimeDownload("Incompatible JRE Version Found", s, os),
            ExitCode::kRuntimeDownloadAsked);
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].caption, "Incompatible JRE Version Found");
  EXPECT_EQ(os.boxes[0].text,
            "Tool requires the Java Runtime Environment version 1.5.0_06+\n"
            "Do you want to download it?");
  ASSERT_EQ(os.starts.size(), 1u);
  EXPECT_EQ(os.starts[0].commandLine, DownloadCommand(kLatestPage));
}

TEST(PromptRuntimeDownload, NoOpensNothingAndStillEndsWith11) {
  FakePlatform os;
  os.answers = {kAnswerNo};
  LaunchSettings s = WithVersion("1.5.0_06+");
  EXPECT_EQ(PromptRuntimeDownload("c", s, os), ExitCode::kRuntimeDownloadAsked);
  EXPECT_EQ(os.boxes.size(), 1u);
  EXPECT_TRUE(os.starts.empty());
}

TEST(PromptRuntimeDownload, YesWithoutPageStillEndsWith11) {
  FakePlatform os;
  os.answers = {kAnswerYes};
  LaunchSettings s = WithVersion("1.6.0_20");
  EXPECT_EQ(PromptRuntimeDownload("c", s, os), ExitCode::kRuntimeDownloadAsked);
  EXPECT_TRUE(os.starts.empty());
}

}  // namespace
