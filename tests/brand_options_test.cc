#include "brand/brand_options.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseVersionNumbers, TakesOneToFourNumbersUpTo65535) {
  using N = std::array<std::uint16_t, 4>;
  const struct {
    const char* text;
    N numbers;
  } good[] = {{"2", {2, 0, 0, 0}},
              {"2.1", {2, 1, 0, 0}},
              {"1.0.16", {1, 0, 16, 0}},
              {"65535.0.000007.65535", {65535, 0, 7, 65535}}};
  for (const auto& c : good) {
    N numbers;
    EXPECT_TRUE(ParseVersionNumbers(c.text, &numbers)) << c.text;
    EXPECT_EQ(numbers, c.numbers) << c.text;
  }
  for (const char* bad : {"", ".", "1.", ".1", "1..2", "1.2.3.4.5", "65536",
                          "99999999999", "-1", "+1", "1.a", " 1", "1 ",
                          "v1", "1,2"}) {
    N numbers;
    EXPECT_FALSE(ParseVersionNumbers(bad, &numbers)) << bad;
  }
}

TEST(ParseBrandOptions, RefusesWrongCommandLines) {
  using Args = std::vector<std::string>;
  const struct {
    Args args;
    const char* message;
  } cases[] = {
      {{}, "expected INPUT.exe and OUTPUT.exe"},
      {{"a.exe"}, "expected INPUT.exe and OUTPUT.exe"},
      {{"a.exe", "b.exe", "c.exe"}, "expected INPUT.exe and OUTPUT.exe"},
      {{"a.exe", "b.exe", "--colour", "x"}, "unknown option --colour"},
      {{"a.exe", "b.exe", "--icon"}, "--icon needs a value"},
      {{"a", "b", "--company", "x", "--company", "y"}, "given twice"},
      {{"a", "b", "--description", "caf\xe9"}, "not valid UTF-8"},
      {{"a", "b", "--copyright", "\xed\xa0\x80"}, "not valid UTF-8"},
      {{"a", "b\xc0\xaf"}, "file name is not valid UTF-8"},
      {{"a", "b", "--version", "2.x"}, "1 to 4 numbers"},
      {{"a", "b", "--execution-level", "admin"}, "must be asInvoker"},
  };
  for (const auto& c : cases) {
    BrandOptions options;
    std::string error;
    EXPECT_FALSE(ParseBrandOptions(c.args, &options, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  BrandOptions options;
  std::string error;
  ASSERT_TRUE(ParseBrandOptions({"--version", "2.1", "in", "out"}, &options,
                                &error));
  EXPECT_EQ(*options.versionText, "2.1");
  EXPECT_FALSE(options.showVersion);
  ASSERT_TRUE(ParseBrandOptions({"--version"}, &options, &error));
  EXPECT_TRUE(options.showVersion);
}

}  // namespace
