#include "jvm/vm_options.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/crt_split.h"
#include "text/command_words.h"

namespace {

using Words = std::vector<std::string>;

// Any text of the characters that the rules are about gives the arguments
// that the C runtime would make of it.
TEST(SplitCommandWords, SplitsAsTheCRuntime) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 12, ' ');
    for (char& c : text) c = "a \t\\\""[random() % 5];
    ASSERT_EQ(SplitCommandWords(text), SplitLikeCRuntime(text)) << text;
  }
}

TEST(TranslateVmParams, Forms) {
  struct Row {
    Words params, options, classPath;
    std::size_t stackBytes;
  } const kRows[] = {
      {{"--add-opens m/p=ALL-UNNAMED -Xss1g -p", "\"C:\\My Mods\""},
       {"--add-opens=m/p=ALL-UNNAMED", "-Xss1g", "--module-path=C:\\My Mods"},
       {},
       1 << 30},
      {{"-cp \"C:\\a b\\x.jar;y.jar\" -classpath", "z.jar", "--add-reads"},
       {"--add-reads"},
       {"C:\\a b\\x.jar;y.jar", "z.jar"},
       0},
      {{"--class-path w.jar --class-path=v.jar -Xss1m -Xss512k", "-cp"},
       {"-Xss1m", "-Xss512k", "-cp"},
       {"w.jar", "v.jar"},
       512 << 10},
      {{"-Xss8M -Dname=\"two words\" --upgrade-module-path", "C:\\m"},
       {"-Xss8M", "-Dname=two words", "--upgrade-module-path=C:\\m"},
       {},
       8 << 20},
      {{"--limit-modules a,b -Xss8x"},
       {"--limit-modules=a,b", "-Xss8x"},
       {},
       0},
  };
  for (const Row& row : kRows) {
    VmOptions got = TranslateVmParams(row.params);
    EXPECT_EQ(got.options, row.options) << row.params[0];
    EXPECT_EQ(got.classPath, row.classPath) << row.params[0];
    EXPECT_EQ(got.stackBytes, row.stackBytes) << row.params[0];
  }
}

}  // namespace
