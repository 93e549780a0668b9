// The VM in the launcher's own process, on the fake system up to the JNI
// boundary: the keyword, what the VM is given, and every refusal before it
// is created. (tests/jvm runs real VMs; tests/e2e the real executable.)
#include "launcher/in_process_launch.h"

#include <gtest/gtest.h>

#include "tests/launcher_harness.h"

namespace {

const char kConfig[] =
    "javaInProcess yes\njavapath \"C:\\Java\\jdk 17\\bin\\javaw.exe\"\n"
    "mainclass tool.Main\n";
const char kServer[] = "C:\\Java\\jdk 17\\bin\\server\\jvm.dll";

// The first bytes of a DLL of that PE machine.
std::string Dll(std::uint16_t machine) {
  std::string bytes(0x100, '\0');
  bytes[0] = 'M', bytes[1] = 'Z', bytes[0x3c] = 0x80;
  bytes.replace(0x80, 4, std::string("PE\0\0", 4));
  bytes[0x84] = static_cast<char>(machine), bytes[0x85] = machine >> 8;
  return bytes;
}

TEST(JavaInProcessKeyword, TakesYesOrNoInAnyCaseAndRefusesTheRest) {
  const struct {
    const char* line;
    bool on;
    int code;
  } cases[] = {{"javaInProcess yes", true, 0},  {"javaInProcess TRUE ", true, 0},
               {"javaInProcesses 1", true, 0},  {"javaInProcess No", false, 0},
               {"javaInProcess false", false, 0}, {"javaInProcess 0", false, 0},
               {"javaInProcess maybe", false, 2}, {"javaInProcess ", false, 2}};
  for (const auto& c : cases) {
    FakePlatform os;
    os.files["C:\\a.cfg"].content = std::string("mainclass a.B\n") + c.line +
                                    "\njavapath C:\\j\\bin\\javaw.exe\n";
    LaunchSettings settings;
    EXPECT_EQ(RunLauncher({"C:\\t.exe", "-cC:\\a.cfg"}, settings, os), c.code)
        << c.line;
    EXPECT_EQ(settings.javaInProcess, c.on) << c.line;
    if (c.code == 2) {
      ASSERT_EQ(os.boxes.size(), 1u) << c.line;
      EXPECT_EQ(os.boxes[0].text,
                std::string("Line 2 of the configuration file C:\\a.cfg:\n") +
                    c.line + "\ntakes yes or no (or true, false, 1, 0).");
      EXPECT_TRUE(os.starts.empty() && os.libraryLoads.empty());
    }
  }
}

TEST(PrepareJavaLaunch, GivesTheVmWhatAChildRuntimeWouldGet) {
  FakePlatform os;
  os.wideArguments = {std::string("t\0", 2), std::string("-\0d\0", 4),
                      std::string("\x42\x30", 2)};  // U+3042, beyond ANSI
  LaunchSettings settings;
  settings.mainclass = "tool.Main";
  settings.classPathEntries = {"lib/a.jar", "\"C:/My Apps/b.jar\""};
  settings.vmParams = {"-Xmx64m", "-cp extra.jar"};
  settings.appArguments = {"?", "two words"};  // the first from the command
  JavaLaunch launch = PrepareJavaLaunch(settings, os);
  EXPECT_EQ(launch.options,
            (std::vector<std::string>{
                "-Xmx64m", "-Djava.class.path=lib/a.jar;C:/My Apps/b.jar;extra.jar",
                "-Dsun.java.command=tool.Main ? two words"}));
  EXPECT_EQ(launch.arguments,
            (std::vector<std::string>{std::string("\x42\x30", 2),
                                      os.AnsiToUtf16Le("two words")}));
  EXPECT_EQ(launch.stackBytes, 1u << 20);
  settings.vmParams = {"-Xss8m"};
  EXPECT_EQ(PrepareJavaLaunch(settings, os).stackBytes, 8u << 20);
}

TEST(LaunchInProcess, RefusesWhatCannotRunBeforeAnyVmIsCreated) {
  const struct {
    const char* name;
    const char* library;  // where the DLL is, or nullptr
    std::uint16_t machine;
    bool loadFails;
    const char* said;
    bool loads;
  } cases[] = {
      {"none", nullptr, 0, false,
       "The Java runtime C:\\Java\\jdk 17 has no Java VM library: no jvm.dll "
       "in its bin\\server, bin\\client, jre\\bin\\server or jre\\bin\\client "
       "folder.\nThe application was not started.",
       false},
      {"64-bit", kServer, 0x8664, false,
       "is 64-bit, and this launcher is 32-bit.\nA VM runs only in a launcher "
       "of its own architecture: use launcher-64.exe with this runtime.",
       false},
      {"arm", kServer, 0xaa64, false, "is not a DLL for x86 or x64 Windows "
       "(machine 0xaa64)", false},
      {"load", "C:\\Java\\jdk 17\\jre\\bin\\client\\jvm.dll", 0x14c, true,
       "jre\\bin\\client\\jvm.dll could not be loaded.\nError 193: ", true},
      {"no entry", kServer, 0x14c, false, "could not be loaded.\nError 127", true},
  };
  for (const auto& c : cases) {
    for (const Flavour* flavour : {&kGuiFlavour, &kConsoleFlavour}) {
      FakePlatform os;
      os.files["C:\\Apps\\Tool\\Tool.config"].content = kConfig;
      if (c.library) os.files[c.library].content = Dll(c.machine);
      if (c.loadFails) os.libraryLoadErrors[c.library] = 193;
      LaunchSettings settings;
      settings.flavour = *flavour;
      EXPECT_EQ(RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os),
                flavour->returnsApplicationExitCode ? 126 : 0)
          << c.name;
      const std::string said = flavour->sharesConsole ? os.err
                               : os.boxes.empty()     ? ""
                                                      : os.boxes[0].text;
      EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
      EXPECT_EQ(os.libraryLoads.size(), c.loads ? 1u : 0u) << c.name;
      EXPECT_TRUE(os.starts.empty() && os.threadStacks.empty()) << c.name;
      if (c.loads) {
        const std::string bin = std::string(c.library).substr(
            0, std::string(c.library).rfind("\\bin\\") + 4);
        EXPECT_EQ(os.libraryLoads[0],
                  (std::pair<std::string, std::string>{c.library, bin}));
      }
    }
  }
}

}  // namespace
