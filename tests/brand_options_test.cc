#include "brand/brand_options.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseVersionNumbers, TakesOneToFourNumbersUpTo65535) {
  using N = std::array<std::uint16_t, 4>;
  N numbers;
  ASSERT_TRUE(ParseVersionNumbers("2.1", &numbers));
  EXPECT_EQ(numbers, (N{2, 1, 0, 0}));
  ASSERT_TRUE(ParseVersionNumbers("65535.0.000007.65535", &numbers));
  EXPECT_EQ(numbers, (N{65535, 0, 7, 65535}));
  for (const char* bad : {"", ".", "1.", ".1", "1..2", "1.2.3.4.5", "65536",
                          "99999999999", "-1", "+1", "1.a", " 1", "1 ",
                          "v1", "1,2"}) {
    EXPECT_FALSE(ParseVersionNumbers(bad, &numbers)) << bad;
  }
}

TEST(ParseBrandOptions, RefusesWrongCommandLines) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{}, "expected INPUT.exe and OUTPUT.exe"},
      {{"a", "b", "--colour", "x"}, "unknown option --colour"},
      {{"a", "b", "--icon"}, "--icon needs a value"},
      {{"a", "b", "--company", "x", "--company", "y"}, "given twice"},
      {{"a", "b", "--description", "caf\xe9"}, "not valid UTF-8"},
      {{"a", "b\xc0\xaf"}, "file name is not valid UTF-8"},
      {{"a", "b", "--version", "2.x"}, "1 to 4 numbers"},
      {{"a", "b", "--execution-level", "admin"}, "must be asInvoker"},
  };
  BrandOptions options;
  std::string error;
  for (const auto& c : cases) {
    EXPECT_FALSE(ParseBrandOptions(c.args, &options, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  // --version alone asks for the tool's version, anywhere else it sets one.
  ASSERT_TRUE(ParseBrandOptions({"--version", "2.1", "a", "b"}, &options,
                                &error));
  EXPECT_EQ(options.versionText.value_or(""), "2.1");
  ASSERT_TRUE(ParseBrandOptions({"--version"}, &options, &error));
  EXPECT_TRUE(options.showVersion);
}

}  // namespace
