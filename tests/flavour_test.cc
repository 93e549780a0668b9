// The rules that differ between the GUI and the console flavour, through the
// whole launcher: where the configuration is found, where the application
// runs, its class path, where messages go and the exit code.
#include <gtest/gtest.h>

#include "launcher/command_line.h"
#include "settings/flavour.h"
#include "tests/launcher_harness.h"

namespace {

struct FlavourCase {
  const char* name;
  const Flavour* flavour;
  const char* config;  // the file beside the executable
  FakePlatform::Run run;
  int exitCode;
  const char* onStandardError;  // nullptr: nothing
  std::size_t boxes;
  std::size_t starts;
};

TEST(Flavours, DecideWhereMessagesGoAndTheExitCode) {
  const std::string typical =
      "javapath C:\\jre\\bin\\java.exe\naddjar lib/a.jar\naddpath C:\\x.jar\n"
      "mainclass a.B\n";
  const FlavourCase cases[] = {
      {"app code", &kConsoleFlavour, typical.c_str(), {42, 10}, 42, nullptr,
       0, 1},
      {"gui", &kGuiFlavour, typical.c_str(), {42, 10}, 0, nullptr, 0, 1},
      // A tool's quick exit 1 is its answer: the code, and nothing said.
      {"early", &kConsoleFlavour, typical.c_str(), {1, 1}, 1, nullptr, 0, 1},
      {"no runtime", &kConsoleFlavour, "mainclass a.B\n", {}, 127,
       "Error!: No Java Installation Found\n", 0, 0},
      {"not started", &kConsoleFlavour, typical.c_str(), {0, 0, true}, 126,
       "Error: The Java runtime could not be started.", 0, 1},
      {"question", &kConsoleFlavour,
       "appname T\nmainclass a.B\njavaVersion 1.5.0_99\n", {}, 5,
       "requires the Java Runtime Environment version 1.5.0_99\nDo you want to "
       "download it?\nDownload page: http://",
       0, 0},
      {"gui question", &kGuiFlavour,
       "appname T\nmainclass a.B\njavaVersion 1.5.0_99\n", {}, 5, nullptr, 1, 0},
  };
  for (const FlavourCase& c : cases) {
    FakePlatform os;
    os.currentDirectory = "C:\\Work";  // the caller's
    os.files["C:\\Apps\\Tool\\Tool.config"].content = c.config;
    os.runs = {c.run};
    LaunchSettings settings;
    settings.flavour = *c.flavour;
    // Started by name through PATH, the console flavour still finds itself.
    const std::string program =
        c.flavour->findsItselfByModulePath ? "tool" : "C:\\Apps\\Tool\\Tool.exe";
    EXPECT_EQ(RunLauncher({program, "in.txt"}, settings, os), c.exitCode)
        << c.name;
    EXPECT_EQ(os.environment["APP_HOME"], "C:\\Apps\\Tool") << c.name;
    EXPECT_EQ(os.boxes.size(), c.boxes) << c.name;
    // Standard output is the application's, in the console flavour.
    if (c.flavour->sharesConsole) {
      EXPECT_EQ(os.out, "") << c.name;
    }
    if (c.onStandardError) {
      EXPECT_NE(os.err.find(c.onStandardError), std::string::npos)
          << c.name << ": " << os.err;
    } else {
      EXPECT_EQ(os.err, "") << c.name;
    }
    ASSERT_EQ(os.starts.size(), c.starts) << c.name;
    if (c.starts == 0) continue;
    const bool console = c.flavour->runsInCallerDirectory;
    EXPECT_EQ(os.starts[0].directory,
              console ? std::optional<std::string>("C:\\Work") : std::nullopt)
        << c.name;
    EXPECT_EQ(os.starts[0].commandLine,
              std::string("C:\\jre\\bin\\java.exe -classpath ") +
                  (console ? "C:\\Apps\\Tool\\lib/a.jar" : "lib/a.jar") +
                  ";C:\\x.jar a.B in.txt ")
        << c.name;
  }
}

TEST(AbsoluteClassPathEntry, OnlyRelativeEntriesMoveAndSpacesAreQuoted) {
  const struct {
    const char* entry;
    const char* startDir;
    const char* absolute;
  } cases[] = {
      {"lib/a.jar", "C:\\Tool", "C:\\Tool\\lib/a.jar"},
      {"C:/x.jar", "C:\\Tool", "C:/x.jar"},
      {"\\\\server\\share\\x.jar", "C:\\Tool", "\\\\server\\share\\x.jar"},
      {"\"C:/My Apps/x.jar\"", "C:\\Tool", "\"C:/My Apps/x.jar\""},
      {"classes\\", "C:\\My Tools", "\"C:\\My Tools\\classes\\\\\""},
      {"lib/a.jar", "C:\\My Tools", "\"C:\\My Tools\\lib/a.jar\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbsoluteClassPathEntry(c.entry, c.startDir), c.absolute);
  }
}

}  // namespace
