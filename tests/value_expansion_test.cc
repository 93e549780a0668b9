#include "config/value_expansion.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fake_platform.h"

namespace {

class ExpandValueTest : public ::testing::Test {
 protected:
  std::string Expand(const std::optional<std::string>& value, bool quote) {
    return ExpandValue(value, quote, settings_, os_);
  }

  LaunchSettings settings_;
  FakePlatform os_;
};

// --- no expansion

TEST_F(ExpandValueTest, NoneAndEmptyGiveTheEmptyText) {
  EXPECT_EQ(Expand(std::nullopt, true), "");
  EXPECT_EQ(Expand(std::string(), true), "");
  EXPECT_TRUE(os_.boxes.empty());
}

TEST_F(ExpandValueTest, ValueWithoutReferenceIsKeptBackslashesIncluded) {
  settings_.debugMode = true;
  EXPECT_EQ(Expand("C:\\dir\\file", true), "C:\\dir\\file");
  EXPECT_EQ(Expand("a=b c", true), "a=b c");
  EXPECT_TRUE(os_.boxes.empty());
}

TEST_F(ExpandValueTest, MissingVariableLeavesTheValueExactlyAsWritten) {
  EXPECT_EQ(Expand("$NOSUCHVAR\\x", true), "$NOSUCHVAR\\x");
  EXPECT_EQ(Expand("C:\\a\\$NOSUCHVAR", true), "C:\\a\\$NOSUCHVAR");
  EXPECT_EQ(Expand("-Dk=$NOSUCHVAR\\x", false), "-Dk=$NOSUCHVAR\\x");
  EXPECT_TRUE(os_.boxes.empty());
}

TEST_F(ExpandValueTest, MissingVariableShowsItsNameInDebugMode) {
  settings_.debugMode = true;
  EXPECT_EQ(Expand("C:\\a\\$NOSUCH.VAR\\x", true), "C:\\a\\$NOSUCH.VAR\\x");
  ASSERT_EQ(os_.boxes.size(), 1u);
  EXPECT_EQ(os_.boxes[0].text, "NOSUCH.VAR");
  EXPECT_EQ(os_.boxes[0].caption, "Can't find variable");
  EXPECT_EQ(os_.boxes[0].style, kBoxPlain);
}

TEST_F(ExpandValueTest, EmptyNameNeverMatches) {
  // Even an environment entry with an empty name is not consulted.
  os_.environment[""] = "EMPTY";
  EXPECT_EQ(Expand("a$", true), "a$");
  EXPECT_EQ(Expand("$\\x", true), "$\\x");
  EXPECT_EQ(Expand("C:\\d\\$/x", true), "C:\\d\\$/x");
  settings_.debugMode = true;
  EXPECT_EQ(Expand("a$", true), "a$");
  ASSERT_EQ(os_.boxes.size(), 1u);
  EXPECT_EQ(os_.boxes[0].text, "");
  EXPECT_EQ(os_.boxes[0].caption, "Can't find variable");
}

// --- where the name ends

TEST_F(ExpandValueTest, NameEndsAtTheFirstBackslashAnywhereAfterTheDollar) {
  os_.environment["APP"] = "C:\\Apps\\Tool";
  EXPECT_EQ(Expand("$APP\\lib\\x.jar", true), "C:/Apps/Tool/lib/x.jar");
  // A backslash wins over an earlier forward slash: the name is 'A/b'.
  os_.environment["A"] = "wrong";
  os_.environment["A/b"] = "v";
  EXPECT_EQ(Expand("$A/b\\c", true), "v/c");
}

TEST_F(ExpandValueTest, NameEndsAtTheFirstForwardSlashWhenNoBackslash) {
  os_.environment["JH"] = "C:\\Java";
  EXPECT_EQ(Expand("$JH/lib/rt.jar", true), "C:/Java/lib/rt.jar");
}

TEST_F(ExpandValueTest, NameRunsToTheEndWithoutSeparator) {
  os_.environment["JH"] = "C:\\Java";
  EXPECT_EQ(Expand("x;$JH", true), "x;C:/Java");
}

TEST_F(ExpandValueTest, DotSemicolonColonSpaceAndDollarBelongToTheName) {
  os_.environment["A.B"] = "dot";
  EXPECT_EQ(Expand("$A.B\\x", true), "dot/x");
  os_.environment["A$B"] = "dollar";
  EXPECT_EQ(Expand("$A$B", true), "dollar");
  os_.environment["P;Q:R S"] = "odd";
  EXPECT_EQ(Expand("$P;Q:R S/x", true), "odd/x");
  // 'A' alone exists but is not what these values name.
  os_.environment["A"] = "short";
  EXPECT_EQ(Expand("$A.B\\x", true), "dot/x");
}

TEST_F(ExpandValueTest, NamesCompareWithoutRegardToCase) {
  os_.environment["APP"] = "C:\\Apps";
  EXPECT_EQ(Expand("$app\\x", false), "C:/Apps/x");
}

TEST_F(ExpandValueTest, OnlyTheFirstReferenceIsExpanded) {
  os_.environment["A"] = "C:\\a";
  os_.environment["B"] = "b";
  EXPECT_EQ(Expand("$A/$B", true), "C:/a/$B");
}

// --- slash conversion

TEST_F(ExpandValueTest, BackslashesOfTheWholeResultTurnIntoSlashes) {
  os_.environment["V"] = "x\\y";
  EXPECT_EQ(Expand("C:\\pre\\$V\\a\\b", true), "C:/pre/x/y/a/b");
}

// --- separator after a variable that ends in one

TEST_F(ExpandValueTest, VariableEndingInSeparatorAbsorbsOneSeparator) {
  os_.environment["APP"] = "C:\\Tools\\";
  EXPECT_EQ(Expand("$APP\\lib", true), "C:/Tools/lib");
  EXPECT_EQ(Expand("$APP/lib", true), "C:/Tools/lib");
  // Only one separator is dropped.
  EXPECT_EQ(Expand("$APP\\\\lib", true), "C:/Tools//lib");
  os_.environment["FWD"] = "C:/Tools/";
  EXPECT_EQ(Expand("$FWD\\lib", true), "C:/Tools/lib");
}

TEST_F(ExpandValueTest, VariableEndingInSeparatorAtTheEndOfTheValue) {
  os_.environment["APP"] = "C:\\Tools\\";
  EXPECT_EQ(Expand("$APP", true), "C:/Tools/");
}

TEST_F(ExpandValueTest, VariableWithoutTrailingSeparatorKeepsTheSeparator) {
  os_.environment["APP"] = "C:\\Tools";
  EXPECT_EQ(Expand("$APP\\lib", true), "C:/Tools/lib");
}

TEST_F(ExpandValueTest, EmptyVariableKeepsTheSeparator) {
  os_.environment["E"] = "";
  EXPECT_EQ(Expand("$E\\x", true), "/x");
  EXPECT_EQ(Expand("$E", true), "");
  EXPECT_EQ(Expand("a\\$E", true), "a/");
}

// --- quoting

TEST_F(ExpandValueTest, VariableWithSpaceQuotesTheWholeResult) {
  os_.environment["APP"] = "C:\\My Apps\\Tool\\";
  EXPECT_EQ(Expand("$APP\\lib\\x.jar", true), "\"C:/My Apps/Tool/lib/x.jar\"");
}

TEST_F(ExpandValueTest, OpeningQuoteStandsBeforeTheTextBeforeTheDollar) {
  os_.environment["X"] = "a b";
  EXPECT_EQ(Expand("pre-$X", true), "\"pre-a b\"");
  EXPECT_EQ(Expand("pre-$X/ab", true), "\"pre-a b/ab\"");
}

TEST_F(ExpandValueTest, NoQuotesWhenTheFlagIsClearAndNoEquals) {
  os_.environment["X"] = "a b";
  EXPECT_EQ(Expand("pre-$X", false), "pre-a b");
}

TEST_F(ExpandValueTest, NoQuotesWhenTheVariableHasNoSpace) {
  os_.environment["X"] = "a\tb";
  EXPECT_EQ(Expand("pre-$X", true), "pre-a\tb");
  os_.environment["Y"] = "C:\\Java";
  EXPECT_EQ(Expand("-Dk=$Y", true), "-Dk=C:/Java");
}

TEST_F(ExpandValueTest, SpaceOutsideTheVariableDoesNotQuote) {
  os_.environment["X"] = "ab";
  EXPECT_EQ(Expand("a b $X", true), "a b ab");
}

TEST_F(ExpandValueTest, EqualsBeforeDollarQuotesTheRightHandPartAnyway) {
  os_.environment["JH"] = "C:\\Program Files\\Java";
  EXPECT_EQ(Expand("-Djava.home=$JH/lib", false),
            "-Djava.home=\"C:/Program Files/Java/lib\"");
  EXPECT_EQ(Expand("-Djava.home=$JH/lib", true),
            "-Djava.home=\"C:/Program Files/Java/lib\"");
}

TEST_F(ExpandValueTest, EqualsAfterDollarPlacesButDoesNotForceTheQuote) {
  os_.environment["X"] = "a b";
  // The '=' stands after the '$': the caller's flag decides ...
  EXPECT_EQ(Expand("p-$X/k=v", false), "p-a b/k=v");
  // ... and when set, the opening quote goes after the text before the '$'.
  EXPECT_EQ(Expand("p-$X/k=v", true), "p-\"a b/k=v\"");
}

TEST_F(ExpandValueTest, ClosingQuoteAtTheVeryEndAfterTheRest) {
  os_.environment["D"] = "C:\\My Dir\\";
  EXPECT_EQ(Expand("-Dp=$D\\a;b\\$Q", false), "-Dp=\"C:/My Dir/a;b/$Q\"");
}

// --- long texts

TEST_F(ExpandValueTest, LongNameValueAndResultAreNeitherCutNorOverflowed) {
  const std::string name(3000, 'N');
  const std::string longValue(5000, 'v');
  os_.environment[name] = longValue + " x\\";
  const std::string prefix(2500, 'p');
  std::string result = Expand(prefix + "=$" + name + "\\tail", false);
  EXPECT_EQ(result, prefix + "=\"" + longValue + " x/tail\"");
  EXPECT_EQ(result.size(), 2500u + 2 + 5000 + 3 + 4 + 1);
}

// --- debug box

TEST_F(ExpandValueTest, ParsePathBoxShowsTheTextBeforeSlashConversion) {
  settings_.debugMode = true;
  os_.environment["APP"] = "C:\\My Apps\\";
  EXPECT_EQ(Expand("$APP\\lib", true), "\"C:/My Apps/lib\"");
  ASSERT_EQ(os_.boxes.size(), 1u);
  EXPECT_EQ(os_.boxes[0].text,
            "arg [$APP\\lib] expanded to [\"C:\\My Apps\\lib\"]\n");
  EXPECT_EQ(os_.boxes[0].caption, "Parse Path");
  EXPECT_EQ(os_.boxes[0].style, kBoxPlain);
}

TEST_F(ExpandValueTest, NoBoxesOutsideDebugMode) {
  os_.environment["APP"] = "C:\\Apps";
  EXPECT_EQ(Expand("$APP\\lib", true), "C:/Apps/lib");
  EXPECT_EQ(Expand("$NOSUCHVAR", true), "$NOSUCHVAR");
  EXPECT_TRUE(os_.boxes.empty());
}

// --- ToForwardSlashes

TEST(ToForwardSlashes, ReplacesEveryBackslashInPlace) {
  std::string text = "\\a\\b\\\\c/d\\";
  ToForwardSlashes(text);
  EXPECT_EQ(text, "/a/b//c/d/");
  std::string empty;
  ToForwardSlashes(empty);
  EXPECT_EQ(empty, "");
  std::string plain = "no-separators \"here\"";
  ToForwardSlashes(plain);
  EXPECT_EQ(plain, "no-separators \"here\"");
}

}  // namespace
