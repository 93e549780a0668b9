#include "jvm/java_options_variable.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace {

using Words = std::vector<std::string>;

std::string NotAllowed(const char* option) {
  return std::string("Error: Option ") + option +
         " is not allowed in environment variable JDK_JAVA_OPTIONS\n";
}
const char kMainClass[] =
    "Error: Cannot specify main class in environment variable "
    "JDK_JAVA_OPTIONS\n";
const char kUnmatched[] =
    "Error: Unmatched quote in environment variable JDK_JAVA_OPTIONS\n";

// What java 17 and 25 did with each value.
TEST(ReadJdkJavaOptions, TakesWhatJavaTakesRefusesWhatItRefuses) {
  FakePlatform os;
  os.files["jar.txt"].content = "-Dx.f=1 -jar x";
  os.files["cp.txt"].content = "-cp";
  const struct {
    std::string value;
    int javaVersion;
    Words words;
    std::string error;
  } kRows[] = {
      {" '-Dq=a b'\v-Dr=\"d e\"f\n\"-Dt=a\\tb\" -Dh=a#b ", 17,
       {"-Dq=a b", "-Dr=d ef", "-Dt=a\\tb", "-Dh=a#b"}, ""},
      {"-cp \"\" --add-modules m -d java.sql --source 17 -p", 0,
       {"-cp", "", "--add-modules", "m", "-d", "java.sql", "--source", "17",
        "-p"}, ""},
      {"@cp.txt lib \"\"", 9, {}, kMainClass},
      {"-Dq=a\\ b", 25, {}, kMainClass},
      {"-cp -Dx Main", 25, {}, kMainClass},
      {"@@x", 25, {}, kMainClass},
      {"-Dq=\"open -jar", 25, {}, kUnmatched},
      {"-jar \"open", 25, {}, NotAllowed("-jar")},
      {"-cp -m", 17, {}, NotAllowed("-m")},
      {"--module=", 17, {}, NotAllowed("--module=")},
      {"--add-opens --help-extra", 17, {}, NotAllowed("--help-extra")},
      {"-Da @jar.txt", 25, {}, NotAllowed("-jar in @jar.txt")},
      {"@none -jar", 25, {}, "Error: could not open `none'\n"},
      {"--disable-@files -Da @jar.txt", 25, {}, kMainClass},
      {"--disable-@files -Da", 25, {"-Da"}, ""},
      {"--disable-@files -Da", 17, {"--disable-@files", "-Da"}, ""},
      {"", 25, {}, ""},
      {"-Da Main", 8, {}, ""},  // not read at all
  };
  for (const auto& row : kRows) {
    os.environment["JDK_JAVA_OPTIONS"] = row.value;
    JdkJavaOptions got = ReadJdkJavaOptions(os, os, row.javaVersion);
    EXPECT_EQ(got.note, row.javaVersion == 8 ? "" : "NOTE: Picked up "
              "JDK_JAVA_OPTIONS: " + row.value + "\n") << row.value;
    EXPECT_EQ(got.words, row.words) << row.value;
    EXPECT_EQ(got.error, row.error) << row.value;
    EXPECT_EQ(got.argumentFilesOff,
              row.value.find("--disable") != std::string::npos) << row.value;
  }
  os.environment.clear();
  EXPECT_EQ(ReadJdkJavaOptions(os, os, 17).note, "");
}

}  // namespace
