#include "config/jar_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fake_platform.h"

namespace {

using Entries = std::vector<std::string>;

DirEntry File(const std::string& name) { return {name, 0x20}; }  // archive
DirEntry Dir(const std::string& name) { return {name, kAttributeDirectory}; }

class AddJarDirectoryTest : public ::testing::Test {
 protected:
  void Scan(const std::string& directory) {
    AddJarDirectory(directory, settings_, os_);
  }

  LaunchSettings settings_;
  FakePlatform os_;
};

TEST_F(AddJarDirectoryTest, AddsEveryJarInThePlatformsOrder) {
  os_.listings["lib/*.jar"] = {File("b.jar"), File("a.jar")};
  Scan("lib");
  EXPECT_EQ(os_.searches, Entries{"lib/*.jar"});
  EXPECT_EQ(settings_.classPathEntries, (Entries{"lib/b.jar", "lib/a.jar"}));
}

TEST_F(AddJarDirectoryTest, AppendsAfterEntriesAlreadyThere) {
  settings_.classPathEntries = {"first.jar"};
  os_.listings["lib/*.jar"] = {File("a.jar")};
  Scan("lib");
  EXPECT_EQ(settings_.classPathEntries, (Entries{"first.jar", "lib/a.jar"}));
}

TEST_F(AddJarDirectoryTest, NoMatchAddsNothingAndTracesOnlyInDebugMode) {
  Scan("lib");
  EXPECT_TRUE(settings_.classPathEntries.empty());
  EXPECT_EQ(os_.out, "");
  settings_.debugMode = true;
  Scan("lib");
  EXPECT_TRUE(settings_.classPathEntries.empty());
  EXPECT_EQ(os_.out, "No jar files found in [lib]\n");
  EXPECT_TRUE(os_.boxes.empty());
}

TEST_F(AddJarDirectoryTest, TracesEachEntryAddedInDebugMode) {
  settings_.debugMode = true;
  os_.listings["lib/*.jar"] = {File("a.jar"), Dir("old.jar"), File("b.jar")};
  Scan("lib");
  EXPECT_EQ(os_.out, "adding jar lib/a.jar\nadding jar lib/b.jar\n");
  EXPECT_TRUE(os_.boxes.empty());
}

TEST_F(AddJarDirectoryTest, NoTracesOutsideDebugMode) {
  os_.listings["lib/*.jar"] = {File("a.jar")};
  Scan("lib");
  EXPECT_EQ(os_.out, "");
  EXPECT_EQ(os_.err, "");
}

TEST_F(AddJarDirectoryTest, LaterDirectoryMatchIsSkipped) {
  os_.listings["lib/*.jar"] = {File("a.jar"), Dir("old.jar"), File("b.jar")};
  Scan("lib");
  EXPECT_EQ(settings_.classPathEntries, (Entries{"lib/a.jar", "lib/b.jar"}));
}

TEST_F(AddJarDirectoryTest, DirectoryAsFirstMatchEndsTheScan) {
  settings_.debugMode = true;
  os_.listings["lib/*.jar"] = {Dir("old.jar"), File("a.jar"), File("b.jar")};
  Scan("lib");
  EXPECT_TRUE(settings_.classPathEntries.empty());
  EXPECT_EQ(os_.out, "");
}

TEST_F(AddJarDirectoryTest, OnlyTheDirectoryBitCounts) {
  os_.listings["lib/*.jar"] = {{"ro.jar", 0x01},
                               {"rodir.jar", 0x11},
                               {"plain.jar", 0x80},
                               {"hidden.jar", 0x02 | 0x20}};
  Scan("lib");
  EXPECT_EQ(settings_.classPathEntries,
            (Entries{"lib/ro.jar", "lib/plain.jar", "lib/hidden.jar"}));
}

TEST_F(AddJarDirectoryTest, NameIsAddedInTheCaseTheSearchReturns) {
  os_.listings["lib/*.jar"] = {File("A.JAR")};
  Scan("lib");
  EXPECT_EQ(settings_.classPathEntries, Entries{"lib/A.JAR"});
}

TEST_F(AddJarDirectoryTest, QuotedDirectoryIsUsedWithItsQuotes) {
  settings_.debugMode = true;
  Scan("\"C:/My Apps/lib\"");
  EXPECT_EQ(os_.searches, Entries{"\"C:/My Apps/lib\"/*.jar"});
  EXPECT_TRUE(settings_.classPathEntries.empty());
  EXPECT_EQ(os_.out, "No jar files found in [\"C:/My Apps/lib\"]\n");
  // Should a search ever match such a pattern, the quotes stay in the entry.
  os_.listings["\"C:/My Apps/lib\"/*.jar"] = {File("a.jar")};
  Scan("\"C:/My Apps/lib\"");
  EXPECT_EQ(settings_.classPathEntries, Entries{"\"C:/My Apps/lib\"/a.jar"});
}

TEST_F(AddJarDirectoryTest, EmptyDirectorySearchesTheRoot) {
  os_.listings["/*.jar"] = {File("x.jar")};
  Scan("");
  EXPECT_EQ(os_.searches, Entries{"/*.jar"});
  EXPECT_EQ(settings_.classPathEntries, Entries{"/x.jar"});
}

TEST_F(AddJarDirectoryTest, BackslashDirectoryKeepsItsBackslashes) {
  os_.listings["C:\\lib/*.jar"] = {File("a.jar")};
  Scan("C:\\lib");
  EXPECT_EQ(settings_.classPathEntries, Entries{"C:\\lib/a.jar"});
}

TEST_F(AddJarDirectoryTest, LongDirectoryAndNamesAreNeitherCutNorOverflowed) {
  const std::string directory = "C:/" + std::string(400, 'd');
  const std::string name = std::string(300, 'n') + ".jar";
  os_.listings[directory + "/*.jar"] = {File(name)};
  Scan(directory);
  EXPECT_EQ(os_.searches, Entries{directory + "/*.jar"});
  EXPECT_EQ(settings_.classPathEntries, Entries{directory + "/" + name});
}

}  // namespace
