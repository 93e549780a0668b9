// Whatever arguments the launcher receives, the application must receive the
// same ones: the child's C runtime splits the command line back into argv.
#include <gtest/gtest.h>

#include <random>

#include "launcher/command_line.h"
#include "tests/crt_split.h"

namespace {

constexpr std::size_t kPrefixTokens = 4;  // javapath -classpath cp mainclass

LaunchSettings WithArguments(const std::vector<std::string>& args,
                             bool quoteAlways) {
  LaunchSettings s;
  s.javapath = "C:\\jre\\bin\\javaw.exe";
  s.classPathEntries = {"a.jar"};
  s.mainclass = "app.Main";
  s.appArguments = args;
  s.quoteAlways = quoteAlways;
  return s;
}

// What the application sees beyond the launcher's own tokens.
std::vector<std::string> ReceivedArguments(const std::string& commandLine) {
  std::vector<std::string> all = SplitLikeCRuntime(commandLine);
  if (all.size() < kPrefixTokens) return {};
  return std::vector<std::string>(all.begin() + kPrefixTokens, all.end());
}

// An empty argument written without quotes leaves only its space, so the
// application never sees it; that is how the launcher has always behaved.
std::vector<std::string> Expected(const std::vector<std::string>& args,
                                  bool quoteAlways) {
  std::vector<std::string> expected;
  for (const std::string& a : args) {
    if (!a.empty() || quoteAlways) expected.push_back(a);
  }
  return expected;
}

TEST(SplitLikeCRuntime, KnownSplits) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(SplitLikeCRuntime("a b\tc"), (Args{"a", "b", "c"}));
  EXPECT_EQ(SplitLikeCRuntime("\"a b\" c"), (Args{"a b", "c"}));
  EXPECT_EQ(SplitLikeCRuntime("a\\\\\"b c\""), (Args{"a\\b c"}));
  EXPECT_EQ(SplitLikeCRuntime("a\\\"b"), (Args{"a\"b"}));
  EXPECT_EQ(SplitLikeCRuntime("a\\b\\ \"\""), (Args{"a\\b\\", ""}));
  EXPECT_EQ(SplitLikeCRuntime("x\"y z\"w"), (Args{"xy zw"}));
}

TEST(ArgumentRoundTrip, FixedSampleOfAwkwardArguments) {
  const std::vector<std::string> sample = {
      "plain",
      "two words",
      "tab\there",
      "say \"hi\"",
      "C:\\My Dir\\",
      "C:\\dir\\",
      "\\\\server\\share",
      "end\\\"",
      "*.txt",
      "what?",
      "\"",
      "\\",
      "",
      "a\\\\\"b",
      "\xe9t\xe9 caf\xe9",
      "--opt=\"x y\"",
  };
  for (bool quoteAlways : {false, true}) {
    std::string line = BuildCommandLine(WithArguments(sample, quoteAlways));
    EXPECT_EQ(ReceivedArguments(line), Expected(sample, quoteAlways))
        << "quoteAlways " << quoteAlways << ": " << line;
  }
}

TEST(ArgumentRoundTrip, RandomArgumentsSurvive) {
  // Characters that matter to the splitter, plus ordinary and 8-bit ones.
  const std::string alphabet = " \t\"\\\\\\*?ab=:;'\xa0\xff";
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> args(random() % 5);
    for (std::string& arg : args) {
      std::size_t length = random() % 9;
      for (std::size_t i = 0; i < length; ++i) {
        arg += alphabet[random() % alphabet.size()];
      }
    }
    bool quoteAlways = random() % 2;
    std::string line = BuildCommandLine(WithArguments(args, quoteAlways));
    ASSERT_EQ(ReceivedArguments(line), Expected(args, quoteAlways))
        << "round " << round << ": " << line;
  }
}

}  // namespace
