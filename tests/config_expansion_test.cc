// The configuration reader passes each keyword's value through expansion with
// that keyword's quote flag, and hands 'addjars' directories to the jar scan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_file.h"
#include "tests/fake_platform.h"

namespace {

using Texts = std::vector<std::string>;

TEST(ConfigExpansion, EachKeywordExpandsWithItsQuoteFlag) {
  LaunchSettings settings;
  FakePlatform os;
  os.environment["H"] = "C:\\My Apps";  // a value with a space
  os.environment["N"] = "tool Main";
  os.environment["INC"] = "C:\\cfg dir\\more.cfg";
  os.files["C:\\Tool.config"].content =
      "vmparam $H\\x\n"
      "javapath $H\\bin\\javaw.exe\n"
      "addpath $H\\a.jar\n"
      "mainclass $N\n"
      "appname $N\n"
      "addjars $H\\lib\n"
      "argument $H\\arg\n"
      "addjar $H\\b.jar\n"
      "include $INC\n"
      "consoleTitle $N\n"
      "workingDir $H\n";
  os.files["C:/cfg dir/more.cfg"].content = "vmparam -Dk=$N\n";

  ASSERT_EQ(ReadConfigFile("C:\\Tool.config", settings, os), std::nullopt);

  // Quoted keywords.
  EXPECT_EQ(settings.vmParams,
            (Texts{"\"C:/My Apps/x\"", "-Dk=\"tool Main\""}));
  EXPECT_EQ(settings.javapath, "\"C:/My Apps/bin/javaw.exe\"");
  EXPECT_EQ(settings.classPathEntries,
            (Texts{"\"C:/My Apps/a.jar\"", "\"C:/My Apps/b.jar\""}));
  EXPECT_EQ(settings.consoleTitle, "\"tool Main\"");
  EXPECT_EQ(settings.workingDir, "\"C:/My Apps\"");
  // The addjars directory reaches the scan quoted, so the pattern carries the
  // quotes.
  EXPECT_EQ(os.searches, Texts{"\"C:/My Apps/lib\"/*.jar"});
  // Unquoted keywords: the include path is read without quotes.
  EXPECT_EQ(settings.mainclass, "tool Main");
  EXPECT_EQ(settings.appname, "tool Main");
  EXPECT_EQ(os.filesRead, (Texts{"C:\\Tool.config", "C:/cfg dir/more.cfg"}));
  // 'argument' is never expanded.
  EXPECT_EQ(settings.appArguments, Texts{"$H\\arg"});
}

TEST(ConfigExpansion, AddjarsLineScansTheExpandedDirectoryInLineOrder) {
  LaunchSettings settings;
  settings.debugMode = true;
  FakePlatform os;
  os.environment["T"] = "C:\\Tool\\";
  os.listings["C:/Tool/lib/*.jar"] = {{"z.jar", 0}, {"a.jar", 0}};
  os.files["C:\\Tool.config"].content =
      "addpath first.jar\n"
      "addjars $T\\lib\n"
      "addjar $NOSUCHVAR\\last.jar\n"
      "argument $T\n";

  ASSERT_EQ(ReadConfigFile("C:\\Tool.config", settings, os), std::nullopt);

  EXPECT_EQ(os.searches, Texts{"C:/Tool/lib/*.jar"});
  EXPECT_EQ(settings.classPathEntries,
            (Texts{"first.jar", "C:/Tool/lib/z.jar", "C:/Tool/lib/a.jar",
                   "$NOSUCHVAR\\last.jar"}));
  EXPECT_EQ(settings.appArguments, Texts{"$T"});
  EXPECT_EQ(os.out,
            "adding jar C:/Tool/lib/z.jar\nadding jar C:/Tool/lib/a.jar\n");
  // Debug boxes: the file, the one expansion, the one missing variable; the
  // 'argument' line shows none.
  EXPECT_EQ(os.Captions(), (Texts{"Reading Config file", "Parse Path",
                                  "Can't find variable"}));
  EXPECT_EQ(os.boxes[1].text, "arg [$T\\lib] expanded to [C:\\Tool\\lib]\n");
}

}  // namespace
