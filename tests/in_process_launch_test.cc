// The VM in the launcher's own process, on the fake system up to the JNI
// boundary: the keyword, what the VM is given, and every refusal before it
// is created. (tests/jvm runs real VMs; tests/e2e the real executable.)
#include "launcher/in_process_launch.h"

#include <gtest/gtest.h>
#include <jni.h>

#include <atomic>
#include <thread>

#include "launcher/launcher_arguments.h"
#include "tests/launcher_harness.h"
#include "tests/mini_jvm.h"

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
  // startupCache is a switch of the same kind.
  const struct {
    const char* line;
    bool on;
    int code;
  } cases[] = {{"javaInProcess yes", true, 0},  {"javaInProcess TRUE ", true, 0},
               {"javaInProcesses 1", true, 0},  {"javaInProcess No", false, 0},
               {"javaInProcess false", false, 0}, {"javaInProcess 0", false, 0},
               {"javaInProcess maybe", false, 2}, {"javaInProcess ", false, 2}};
  for (bool cache : {false, true}) {
    for (const auto& c : cases) {
      std::string line = c.line;
      if (cache) line.replace(0, 13, "startupCache");
      FakePlatform os;
      os.files["C:\\a.cfg"].content = "mainclass a.B\n" + line +
                                      "\njavapath C:\\j\\bin\\javaw.exe\n";
      LaunchSettings settings;
      EXPECT_EQ(RunLauncher({"C:\\t.exe", "-cC:\\a.cfg"}, settings, os),
                c.code)
          << line;
      EXPECT_EQ(cache ? settings.startupCache : settings.javaInProcess, c.on)
          << line;
      if (c.code == 2) {
        ASSERT_EQ(os.boxes.size(), 1u) << line;
        EXPECT_EQ(os.boxes[0].text,
                  "Line 2 of the configuration file C:\\a.cfg:\n" + line +
                      "\ntakes yes or no (or true, false, 1, 0).");
        EXPECT_TRUE(os.starts.empty() && os.libraryLoads.empty());
      }
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
  os.files["C:\\jdk\\release"].content = "JAVA_VERSION=\"25.0.1\"\n";
  JavaLaunch launch = PrepareJavaLaunch(settings, "C:\\jdk", os);
  EXPECT_EQ(launch.options,
            (std::vector<std::string>{
                "-Djava.class.path=lib/a.jar;C:/My Apps/b.jar;extra.jar",
                "-Xmx64m", "-Dsun.java.command=tool.Main ? two words",
                "-Dsun.java.launcher=SUN_STANDARD"}));
  EXPECT_EQ(launch.javaVersion, 25);
  EXPECT_EQ(launch.arguments,
            (std::vector<std::string>{std::string("\x42\x30", 2),
                                      os.AnsiToUtf16Le("two words")}));
  EXPECT_EQ(launch.stackBytes, 1u << 20);
  settings.vmParams = {"-Xss8m"};
  EXPECT_EQ(PrepareJavaLaunch(settings, "C:\\jdk", os).stackBytes, 8u << 20);
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

TEST(LaunchInProcess, ARelativeRuntimeIsFoundFromTheStartDirectory) {
  // The application runs elsewhere (workingDir, the console's caller), and
  // the library is loaded after the change of directory.
  for (const Flavour* flavour : {&kGuiFlavour, &kConsoleFlavour}) {
    FakePlatform os;
    os.currentDirectory = "C:\\Users\\me";
    os.files["C:\\Apps\\Tool\\Tool.config"].content =
        "javaInProcess yes\njavapath jre\\bin\\javaw.exe\nworkingDir "
        "C:\\Data\nmainclass a.B\n";
    const char jvm[] = "C:\\Apps\\Tool\\jre\\bin\\server\\jvm.dll";
    os.files[jvm].content = Dll(0x14c);
    os.libraryLoadErrors[jvm] = 193;  // loading is as far as this goes
    LaunchSettings settings;
    settings.flavour = *flavour;
    RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os);
    ASSERT_EQ(os.libraryLoads.size(), 1u);
    EXPECT_EQ(os.libraryLoads[0].first, jvm);
    EXPECT_EQ(os.libraryLoads[0].second, "C:\\Apps\\Tool\\jre\\bin");
    EXPECT_EQ(os.directoryChanges.back(), "C:\\Data");
  }
}

// A VM of the test's own whose main starts printers that write through the
// vfprintf hook, to both streams, and calls System.exit through the exit
// hook halfway; the printers go on after the launcher has taken the end.
struct PrintingVm : MiniJvm {
  static constexpr int kLines = 300;
  int printerCount = 4;
  int code = 7;  // what main ends with
  std::vector<std::thread> printers;
  std::atomic<int> printed{0};

  PrintingVm() {
    main = [this](MiniJvm&) {
      for (int p = 0; p < printerCount; ++p) {
        printers.emplace_back([this, p] {
          for (int line = 0; line < kLines; ++line) {
            Printf(p % 2 ? stderr : stdout, "printer %d line %d\n", p, line);
            ++printed;
          }
        });
      }
      while (printed < printerCount * kLines / 2) std::this_thread::yield();
      exit(code);  // blocks for good
    };
  }
  void JoinPrinters() {
    for (std::thread& printer : printers) printer.join();
  }
  static jint JNICALL Create(JavaVM** vm, void** env, void* args) {
    const jint made = Current()->MiniJvm::Create(vm, env, args);
    Current()->Printf(stderr, "created %s\n", "here");
    return made;
  }
};

TEST(LaunchInProcess, TheVmsThreadsPrintWhileTheLauncherEnds) {
  // The GUI launcher's log takes the VM's output through its pipes, the
  // console launcher's through its hooks; either way every line arrives
  // whole, and nothing reaches the log once it is closed.
  for (const Flavour* flavour : {&kGuiFlavour, &kConsoleFlavour}) {
    FakePlatform os;
    PrintingVm vm;
    os.files["C:\\Apps\\Tool\\Tool.config"].content = kConfig +
        std::string("logFile run.log\n");
    os.files[kServer].content = Dll(0x14c);
    os.libraryFunctions["JNI_CreateJavaVM"] =
        reinterpret_cast<void*>(&PrintingVm::Create);
    LaunchSettings settings;
    settings.flavour = *flavour;
    EXPECT_EQ(RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os),
              flavour->returnsApplicationExitCode ? 7 : 0);
    vm.JoinPrinters();
    const std::string log = os.files["C:\\Apps\\Tool\\run.log"].content;
    EXPECT_NE(log.find("application exit code 7"), std::string::npos);
    const std::string prefix = flavour->sharesConsole ? "vm: " : "err: ";
    EXPECT_NE(log.find("[4242] " + prefix + "created here\r\n"),
              std::string::npos)
        << log;
    std::size_t lines = 0;
    for (std::size_t at = 0, end; (end = log.find("\r\n", at)) !=
                                  std::string::npos;
         at = end + 2) {
      const std::string line = log.substr(at, end - at);
      // Either stream's lines: the printers of one may all come first.
      if (line.find(": printer ") == std::string::npos) continue;
      int printer = -1, number = -1;
      char rest = 0;
      EXPECT_EQ(std::sscanf(line.c_str(), "[4242] %*s printer %d line %d%c",
                            &printer, &number, &rest),
                2)
          << line;
      ++lines;
    }
    EXPECT_GT(lines, 0u);
    // The launcher's own last line ends the run's block.
    const std::string last = flavour->returnsApplicationExitCode ? "7" : "0";
    EXPECT_EQ(log.substr(log.rfind("[4242] ")),
              "[4242] launcher exit code " + last + "\r\n");
  }
}

TEST(LaunchInProcess, TheFirstLauncherOwnsTheRestartLoop) {
  // A VM can be made once in a process: the first launcher starts itself
  // again by its full path for each restart, told that it is a copy; a copy
  // runs the application once and hands its exit code back.
  for (bool copy : {false, true}) {
    FakePlatform os;
    PrintingVm vm;
    vm.printerCount = 0;
    vm.code = kRestartCode;
    os.files["C:\\Apps\\Tool\\Tool.config"].content = kConfig;
    os.files[kServer].content = Dll(0x14c);
    os.libraryFunctions["JNI_CreateJavaVM"] =
        reinterpret_cast<void*>(&PrintingVm::Create);
    if (copy) os.environment[kRestartedByVariable] = "77";
    os.runs = {{kRestartCode, 5}, {3, 5}};  // the copies' exit codes
    LaunchSettings settings;
    EXPECT_EQ(RunLauncher({"C:\\Apps\\Tool\\Tool.exe", "a"}, settings, os),
              copy ? kRestartCode : 0);
    EXPECT_EQ(os.environment.count(kRestartedByVariable), copy ? 0u : 1u);
    ASSERT_EQ(os.starts.size(), copy ? 0u : 2u);
    for (const FakePlatform::Start& start : os.starts) {
      EXPECT_EQ(start.commandLine, os.ownCommandLine);
      EXPECT_EQ(start.program, os.modulePath);
    }
  }
}

TEST(LaunchInProcess, ShowsTheSplashOfAVmparamBeforeTheVmLoads) {
  FakePlatform os;
  os.files["C:\\Apps\\Tool\\Tool.config"].content =
      kConfig + std::string("vmparam -splash:img\\s.png\nlogFile run.log\n");
  os.files[kServer].content = Dll(0x14c);
  os.libraryLoadErrors[kServer] = 193;  // loading is as far as this goes
  os.splashFails = true;
  LaunchSettings settings;
  RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os);
  EXPECT_EQ(os.splashes, std::vector<std::string>{"img\\s.png"});
  const std::string log = os.files["C:\\Apps\\Tool\\run.log"].content;
  const std::size_t load = log.find("could not be loaded");
  EXPECT_NE(load, std::string::npos) << log;
  EXPECT_LT(log.find("] splash: img\\s.png cannot be shown\r\n"), load) << log;
}

}  // namespace
