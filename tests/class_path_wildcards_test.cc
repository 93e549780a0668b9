#include "jvm/class_path_wildcards.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace {

TEST(ExpandClassPathWildcards, ExpandsAsJavaDoes) {
  FakePlatform os;
  const unsigned kDir = kAttributeDirectory;
  os.listings["lib\\*"] = {{"b.jar", 0}, {".", kDir}, {"c.Jar", 0},
                           {"A.JAR", 0}, {"dir.jar", kDir}, {".jar", 0},
                           {"x.jar.txt", 0}};
  os.listings["*"] = {{"here.jar", 0}};
  os.listings["\\*"] = {{"root.jar", 0}};
  os.listings["none\\*"] = {{".", kDir}, {"a.zip", 0}};
  const struct {
    std::string list;
    char separator;
    std::string expanded;
  } kRows[] = {
      {"lib/*;x", ';', "lib/b.jar;lib/A.JAR;lib/dir.jar;lib/.jar;x"},
      {"lib\\*", ';', "lib\\b.jar;lib\\A.JAR;lib\\dir.jar;lib\\.jar"},
      {"*:/*", ':', "here.jar:/root.jar"},
      {"none/*;lib/*.jar;lib/*/x;;\"lib/*\";lib/* ;", ';',
       "none/*;lib/*.jar;lib/*/x;;\"lib/*\";lib/* ;"},
      {"lib/*;lib/*", ':', "lib/*;lib/*"},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(ExpandClassPathWildcards(row.list, row.separator, os),
              row.expanded)
        << row.list;
  }
}

}  // namespace
