#include "jvm/argument_files.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace {

using Words = std::vector<std::string>;

// Each row is what java 17 and 25 made of the same file.
TEST(SplitArgumentFile, SplitsAsJavaDoes) {
  using namespace std::string_literals;
  const struct {
    std::string content;
    Words words;
  } kRows[] = {
      {"a\tb\fc\r\nd\ve", {"a", "b", "c", "d\ve"}},
      {"-Dq=\"a b\"c 'x \"y\"'", {"-Dq=a bc", "x \"y\""}},
      {"\"a\"\"b\" '' \"\" z", {"ab", "", "", "z"}},
      {"# all\n-Da=1 # rest\nx#y z\n-Db=\\#b q\nr", {"-Da=1", "r"}},
      {"'#'b \"a # b\"", {"#b", "a # b"}},
      {"-Da=\"q\"#b\n\n -Db=2 \"q\"r#b\ns \"q\" #b\nt", {"-Da=q-Db=2", "qs", "q", "t"}},
      {"\"q\"#b\n", {}},
      {"a\\tb \"a\\tb\\n\\r\\f\\\\\\\"\\'\\z\\101\"", {"a\\tb", "a\tb\n\r\f\\\"'z101"}},
      {"\"abc\\\r\n \t\f def\" abc\\\n def", {"abcdef", "abc\\", "def"}},
      {"\"abc\ndef \"g\rh\"", {"abc", "def", "g", "h"}},
      {"\"open", {"open"}},
      {"\"open\\", {}},
      {"\"open\\\n", {}},
      {"x ''", {"x"}},
      {"x \"\\\n \"", {"x", ""}},
      {"\"ab\\\0  c\" \"a\0b\"d a\0b\"c\"e \0"s, {"ab  c", "ad", "ace", ""}},
      {"\xEF\xBB\xBF-Da", {"\xEF\xBB\xBF-Da"}},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(SplitArgumentFile(row.content), row.words) << row.content;
  }
}

TEST(ExpandArgumentFiles, ReplacesFilesOnceAndRefusesWhatJavaRefuses) {
  FakePlatform os;
  os.files["a.txt"].content = "-Da=1 @b.txt @@c";
  os.files["off.txt"].content = "--disable-@files -Dz";
  os.files["dir/"].error = "Permission denied";
  os.listings["dir"] = {{"dir", kAttributeDirectory}};
  const struct {
    Words words;
    int javaVersion;
    bool off;
    Words expanded;
    std::string error;
  } kRows[] = {
      {{"-X", "@a.txt", "@@y", "@", "-Y"}, 17, false,
       {"-X", "-Da=1", "@b.txt", "@@c", "@y", "@", "-Y"}, ""},
      {{"-X", "@none"}, 25, false, {}, "Error: could not open `none'\n"},
      {{"@dir/"}, 17, false, {}, "Error: loading: dir/\n"},
      {{"@dir/"}, 0, false, {}, "Error: Failed to read dir/\n"},
      {{"--disable-@files", "@a.txt", "@@y"}, 25, false, {"@a.txt", "@@y"}, ""},
      {{"--disable-@files", "@a.txt"}, 17, false,
       {"--disable-@files", "@a.txt"}, ""},
      {{"@off.txt", "@a.txt", "--disable-@files"}, 0, false,
       {"-Dz", "@a.txt"}, ""},
      {{"@a.txt", "@@y"}, 25, true, {"@a.txt", "@@y"}, ""},
  };
  for (const auto& row : kRows) {
    Words expanded = {"untouched"};
    std::string error;
    bool ok = ExpandArgumentFiles(row.words, row.javaVersion, os, &expanded,
                                  &error, row.off);
    EXPECT_EQ(ok, row.error.empty()) << row.words[0];
    EXPECT_EQ(expanded, ok ? row.expanded : Words{"untouched"}) << row.words[0];
    EXPECT_EQ(error, row.error) << row.words[0];
  }
}

}  // namespace
