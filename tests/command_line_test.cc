#include "launcher/command_line.h"

#include <gtest/gtest.h>

namespace {

LaunchSettings TypicalSettings() {
  LaunchSettings s;
  s.javapath = "C:/jre/bin/javaw.exe";
  s.vmParams = {"-Xmx256m", "-Dx=1"};
  s.classPathEntries = {"a.jar", "lib/b.jar"};
  s.mainclass = "app.Main";
  return s;
}

TEST(BuildCommandLine, PiecesInOrderWithoutArguments) {
  EXPECT_EQ(BuildCommandLine(TypicalSettings()),
            "C:/jre/bin/javaw.exe -Xmx256m -Dx=1 -classpath a.jar;lib/b.jar "
            "app.Main");
}

TEST(BuildCommandLine, ArgumentsEachFollowedByASpace) {
  LaunchSettings s = TypicalSettings();
  s.appArguments = {"one", "two words"};
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -Xmx256m -Dx=1 -classpath a.jar;lib/b.jar "
            "app.Main one \"two words\" ");
  s.quoteAlways = true;
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -Xmx256m -Dx=1 -classpath a.jar;lib/b.jar "
            "app.Main \"one\" \"two words\" ");
}

TEST(BuildCommandLine, NoClassPathPutsMainClassAfterTheWord) {
  LaunchSettings s = TypicalSettings();
  s.classPathEntries.clear();
  s.vmParams.clear();
  EXPECT_EQ(BuildCommandLine(s), "C:/jre/bin/javaw.exe -classpath app.Main");
}

TEST(BuildCommandLine, EmptyArgumentOnlyLeavesItsSpaceUnlessQuotingAlways) {
  LaunchSettings s = TypicalSettings();
  s.classPathEntries.clear();
  s.vmParams.clear();
  s.appArguments = {"", "x"};
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -classpath app.Main  x ");
  s.quoteAlways = true;
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -classpath app.Main \"\" \"x\" ");
}

TEST(CommandLineSizeCount, CountsEveryPieceWithItsMarginAndExceedsTheText) {
  LaunchSettings s = TypicalSettings();
  s.appArguments = {"one", "two words"};
  // javapath 20+2, mainclass 8+2, vm 8+2 + 5+2, cp 5+2 + 9+2,
  // args 3+3 + 9+3, "-classpath  " 12
  EXPECT_EQ(CommandLineSizeCount(s), 22 + 10 + 17 + 18 + 18 + 12);
  EXPECT_GT(CommandLineSizeCount(s),
            static_cast<long long>(BuildCommandLine(s).size()));
}

struct QuoteCase {
  const char* argument;
  bool quoteAlways;
  const char* written;
};

TEST(QuoteArgument, WritesWhatTheCRuntimeSplitsBack) {
  const QuoteCase cases[] = {
      {"plain", false, "plain"},
      {"C:\\dir\\", false, "C:\\dir\\"},  // no quotes: backslash is literal
      {"two words", false, "\"two words\""},
      {"tab\there", false, "\"tab\there\""},
      {"*.txt", false, "\"*.txt\""},
      {"file?", false, "\"file?\""},
      {"plain", true, "\"plain\""},
      {"", false, ""},
      {"", true, "\"\""},
      {"C:\\My Dir\\", false, "\"C:\\My Dir\\\\\""},
      {"a\"b", false, "a\\\"b"},
      {"say \"hi\"", false, "\"say \\\"hi\\\"\""},
      {"back\\\"quote", false, "back\\\\\\\"quote"},
      {"a\\\\b c", false, "\"a\\\\b c\""},  // inner backslashes stay single
      {"end\\\\", true, "\"end\\\\\\\\\""},
  };
  for (const QuoteCase& c : cases) {
    EXPECT_EQ(QuoteArgument(c.argument, c.quoteAlways), c.written)
        << "argument [" << c.argument << "] quoteAlways " << c.quoteAlways;
  }
}

}  // namespace

namespace {

// A module's main: "-m" after the VM options and the class path, which is
// left out when the configuration adds none.
TEST(BuildCommandLine, AModuleRunsWithDashM) {
  LaunchSettings s = TypicalSettings();
  s.mainclass.reset();
  s.mainmodule = "app/app.Main";
  s.appArguments = {"x"};
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -Xmx256m -Dx=1 -classpath a.jar;lib/b.jar "
            "-m app/app.Main x ");
  s.classPathEntries.clear();
  EXPECT_EQ(BuildCommandLine(s),
            "C:/jre/bin/javaw.exe -Xmx256m -Dx=1 -m app/app.Main x ");
  EXPECT_GT(CommandLineSizeCount(s),
            static_cast<long long>(BuildCommandLine(s).size()));
}

}  // namespace
