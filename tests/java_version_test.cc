#include "runtime/java_version.h"

#include <gtest/gtest.h>

namespace {

JavaVersion V(const std::string& text) {
  std::optional<JavaVersion> version = ParseJavaVersion(text);
  EXPECT_TRUE(version) << text;
  return version.value_or(JavaVersion{{-1}});
}

struct ParseCase {
  const char* text;
  const char* parts;  // JavaVersionText of the result
};

TEST(ParseJavaVersion, ReadsBothNumberingSchemes) {
  const ParseCase cases[] = {
      {"11", "11"},
      {"17.0.9", "17.0.9"},
      {"21.0.1.12", "21.0.1.12"},
      {"8.0.392.8", "8.0.392.8"},
      {"1.8.0_201", "8.0.201"},
      {"1.8", "8"},
      {"1.6.0_20", "6.0.20"},
      {"17.0.9+9", "17.0.9"},
      {"1.8.0_201-b09", "8.0.201"},
      {"21-ea", "21"},
      {"  11.0.2 ", "11.0.2"},
      {"1", "1"},
      {"007.01", "7.1"},
  };
  for (const ParseCase& c : cases) {
    std::optional<JavaVersion> version = ParseJavaVersion(c.text);
    ASSERT_TRUE(version) << c.text;
    EXPECT_EQ(JavaVersionText(*version), c.parts) << c.text;
  }
}

TEST(ParseJavaVersion, RefusesWhatIsNoVersion) {
  const char* cases[] = {"",        "   ", "abc",        "v11",
                         "zulu-17", "11.", "1..8",       ".8",
                         "11 17",   "11a", "1.8.0_",     "_20",
                         "+9",      "-1",  "1234567890", "17.0.99999999999"};
  for (const char* text : cases) {
    EXPECT_FALSE(ParseJavaVersion(text)) << text;
  }
}

TEST(CompareJavaVersions, ComparesPartsAsNumbers) {
  struct Case {
    const char* lower;
    const char* higher;
  };
  const Case cases[] = {
      {"1.8.0_99", "1.8.0_100"},  // text comparison gets this wrong
      {"1.8.0_999", "9"},
      {"1.8.0_392", "8.0.392.8"},
      {"9", "10"},
      {"11.0.2", "11.0.10"},
      {"17.0.9", "17.0.9.1"},
      {"17.0.9", "21-ea"},
      {"1.6.0_45", "1.7.0_1"},
  };
  for (const Case& c : cases) {
    EXPECT_LT(CompareJavaVersions(V(c.lower), V(c.higher)), 0)
        << c.lower << " < " << c.higher;
    EXPECT_GT(CompareJavaVersions(V(c.higher), V(c.lower)), 0)
        << c.higher << " > " << c.lower;
  }
}

TEST(CompareJavaVersions, MissingPartsCountAsZero) {
  EXPECT_EQ(CompareJavaVersions(V("11"), V("11.0.0")), 0);
  EXPECT_EQ(CompareJavaVersions(V("1.8.0_201"), V("8.0.201")), 0);
  EXPECT_EQ(CompareJavaVersions(V("17.0.9+9"), V("17.0.9")), 0);
}

TEST(AtMostVersion, ABoundCoversEveryVersionThatBeginsWithIt) {
  struct Case {
    const char* version;
    const char* max;
    bool within;
  };
  const Case cases[] = {
      {"17.0.9", "17", true},
      {"17", "17", true},
      {"18", "17", false},
      {"17.0.9", "17.0", true},
      {"17.1", "17.0", false},
      {"17.0.9", "17.0.5", false},
      {"17.0.5", "17.0.5", true},
      {"1.8.0_201", "1.8", true},
      {"9", "1.8", false},
      {"11.0.2", "17", true},
      {"1.8.0_100", "1.8.0_99", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AtMostVersion(V(c.version), V(c.max)), c.within)
        << c.version << " at most " << c.max;
  }
}

}  // namespace
