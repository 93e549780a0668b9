// The in-process driver against the java command of the same runtime, on
// every real Java VM of this machine. Each case is an application with its
// vmparam lines, class path, arguments and environment, run twice: by that
// runtime's java command, as a user would run it, and by the launcher's own
// code (PrepareJavaLaunch, then RunJavaMain in a child process, since a
// process can make one VM). Exit code, standard output and standard error
// must be the same; only the java command's own words about a VM it could
// not create are set aside (the launcher says that in a box of its own).
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <codecvt>
#include <filesystem>
#include <fstream>
#include <locale>
#include <set>

#include "jvm/java_main.h"
#include "jvm/vm_options.h"
#include "launcher/in_process_launch.h"
#include "runtime/release_file.h"
#include "tests/jvm/host_vm.h"

namespace {

using namespace host_vm;

// Where Debian's openjfx keeps JavaFX's modules.
#define JAVAFX_MODULES "/usr/share/openjfx/lib"
using Words = std::vector<std::string>;

struct Case {
  const char* name;
  const char* mainClass;  // or, with a '=' first, "=module[/class]"
  Words vmParams;
  Words classPath;  // relative to the case's folder
  std::vector<std::u16string> arguments;
  const char* jdkJavaOptions;  // nullptr: not set
  int minVersion;              // the oldest runtime that runs it
  bool javaFx = false;         // needs JavaFX and a display
};
const Words kClasses = {"classes"};
// A row in the shape of a call, which keeps the table one row to a line.
Case Row(const char* name, const char* mainClass, Words vmParams = {},
         std::vector<std::u16string> arguments = {}, Words classPath = kClasses,
         const char* jdkJavaOptions = nullptr, int minVersion = 0) {
  return {name, mainClass, vmParams, classPath, arguments, jdkJavaOptions,
          minVersion};
}
Case Since25(const char* name, const char* mainClass) {
  return Row(name, mainClass, {}, {u"x"}, kClasses, nullptr, 25);
}
const std::string kOpens = "java.base/java.lang=ALL-UNNAMED";
const Case kCases[] = {
    Row("arguments", "t.Echo", {}, {u"é", u"日本", u"😀", u"", u"a b", u"\"q\""}),
    Row("exit42", "t.Exit", {}, {u"42"}),
    Row("exit999", "t.Exit", {}, {u"999"}),
    Row("exitAfterMain", "t.LateExit"),
    Row("uncaught", "t.Throw"),
    Row("handler", "t.Handler"),
    Row("handlerExits", "t.Handler", {}, {u"7"}),
    Row("setErr", "t.SetErr"),
    Row("noClass", "no.such.Main"),
    Row("noMain", "t.NoMain"),
    Row("privateMain", "t.PrivateMain"),
    Row("packageMain", "t.PackageMain"),
    Row("badInitializer", "t.BadInit"),
    Row("nonDaemon", "t.Sleeper"),
    Row("stack1MiB", "t.Deep", {}, {u"20000"}),
    Row("xss8m", "t.Deep", {"-Xss8m"}, {u"20000"}),
    Row("closed", "t.Opens"),
    Row("addOpens1", "t.Opens", {"--add-opens " + kOpens}),
    Row("addOpens2", "t.Opens", {"--add-opens", kOpens}),
    Row("bogus", "t.Echo", {"--bogus"}),
    Row("tinyHeap", "t.Echo", {"-Xmx1k"}),
    Row("server", "t.Echo", {"-server"}, {u"a"}),
    Row("client", "t.Props", {"-client -Dx.a=1"}),
    Row("showVersion", "t.Echo", {"-showversion"}, {u"a"}),
    Row("version", "t.Echo", {"-version"}),
    Row("showVersionToOutput", "t.Echo", {"--show-version"}),
    Row("splash", "t.Echo", {"-splash:nothing.png"}),
    Row("dryRun", "t.Echo", {"--dry-run"}),
    Row("logToFile", "t.Echo", {"-Xlog:class+load=info:file=loaded.txt"}),
    Row("properties", "t.Props", {"-Dx.b=\"two words\""}, {u"a", u"b"}),
    Row("wildcardClassPath", "j.InJar", {}, {}, {"lib/*"}),
    Row("wildcardVmparam", "j.InJar", {"-cp lib/*"}, {}, {}),
    Row("argumentFile", "t.Props", {"@options.txt"}),
    Row("jdkJavaOptions", "t.Props", {"-Dx.b=line"}, {}, kClasses,
        "-Dx.a=variable \"-Dx.b=from the variable\""),
    Row("jdkJavaOptionsRefused", "t.Props", {}, {}, kClasses, "-jar app.jar"),
    Row("missingArgumentFile", "t.Props", {"@missing.txt"}),
    Since25("instanceMain", "t25.InstanceMain"),
    Since25("staticWithoutArguments", "t25.StaticNoArguments"),
    Since25("instanceWithArguments", "t25.InstanceWithArguments"),
    Since25("argumentsFirst", "t25.Both"),
    Since25("abstractClass", "t25.Abstract"),
    Since25("noConstructor", "t25.NoConstructor"),
    Since25("throwingConstructor", "t25.ThrowingConstructor"),
    Since25("compactSourceFile", "Compact"),
    Row("moduleMainClass", "=mod", {"-p mods"}, {u"a"}, {}),
    Row("moduleAndClass", "=mod/pkg.Main", {"--module-path mods"}, {}, {}),
    Row("moduleWithoutMainClass", "=other", {"-p mods"}, {}, {}),
    Row("moduleWithoutTheClass", "=mod/pkg.Nope", {"-p mods"}, {}, {}),
    Row("moduleMissing", "=nosuch", {"-p mods"}, {}, {}),
    {"javaFxApplication", "fx.FxApp", {"--module-path " JAVAFX_MODULES
     " --add-modules javafx.graphics"}, kClasses, {u"a"}, nullptr, 11, true},
};
// The module of a case's "=module" main, or none.
const char* ModuleOf(const Case& test) {
  return test.mainClass[0] == '=' ? test.mainClass + 1 : nullptr;
}

const std::vector<std::string> kVms = FindVms();
const Scratch kScratch("jvm-tests-");

int VersionOf(const fs::path& home) {
  HostVmPlatform os;
  return FeatureVersion(ReleaseFileVersion(home.string(), os));
}

// The case folder of a runtime, made once: the applications compiled by its
// own javac (and the forms of Java 25 by a javac of 25 or later), a jar in
// lib/ beside things that are no jars, and an argument file.
fs::path Prepare(const fs::path& home) {
  fs::path dir = kScratch.path / home.filename();
  if (fs::exists(dir / "ready")) return dir;
  const std::string bin = (home / "bin/").string();
  const std::string sources = JVM_TEST_SOURCES;
  std::string moduleCommands = "mkdir -p " + (dir / "mods").string() + " && ";
  fs::create_directories(dir / "lib/notes.jar");  // a folder named like a jar
  std::ofstream(dir / "lib/readme.txt") << "no jar\n";
  // Two modules: one whose jar names its main class, one whose does not.
  for (const char* module : {"mod", "other"}) {
    const std::string classes = (dir / "modules" / module).string();
    moduleCommands += bin + "javac -d " + classes + " $(find " + sources +
                 "/module/" + module + " -name '*.java') && " + bin +
                 "jar --create --file " + (dir / "mods" / module).string() +
                 ".jar " + (module == std::string("mod") ? "--main-class "
                 "pkg.Main " : "") + "-C " + classes + " . && ";
  }
  std::ofstream(dir / "options.txt")
      << "# what a team keeps in a file\n-Dx.a=\"from the file\" -Dx.b=2\n";
  std::string commands = moduleCommands +
      bin + "javac -d " + (dir / "classes").string() + " " + sources +
      "/java/Cases.java && " + bin + "javac -d " + (dir / "jarred").string() +
      " " + sources + "/java/InJar.java && " + bin + "jar cf " +
      (dir / "lib/app.jar").string() + " -C " + (dir / "jarred").string() +
      " .";
  if (VersionOf(home) >= 25) {
    commands += " && " + bin + "javac -d " + (dir / "classes").string() + " " +
                sources + "/java25/Forms.java " + sources +
                "/java25/Compact.java";
  }
  EXPECT_EQ(std::system(commands.c_str()), 0) << commands;
  std::ofstream(dir / "ready");
  return dir;
}

std::string Utf8(const std::u16string& text) {
  return std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>()
      .to_bytes(text);
}

// Runs `body` in a child process with its streams in files, in `dir`, with
// JDK_JAVA_OPTIONS as the case has it and the locale that reads arguments
// as UTF-8.
template <typename Body>
Outcome InChild(const fs::path& dir, const Case& test, const std::string& tag,
                Body body) {
  const std::string name = std::string(test.name) + "." + tag;
  return Forked(dir / (name + ".out"), dir / (name + ".err"), [&] {
    if (chdir(dir.c_str()) != 0) _exit(120);
    setenv("LC_ALL", "C.UTF-8", 1);
    unsetenv("CLASSPATH");
    if (test.jdkJavaOptions) {
      setenv("JDK_JAVA_OPTIONS", test.jdkJavaOptions, 1);
    } else {
      unsetenv("JDK_JAVA_OPTIONS");
    }
    body();
  });
}

// The java command, as a user gives it the same application.
Outcome RunJava(const fs::path& home, const fs::path& dir, const Case& test) {
  Words argv = {(home / "bin/java").string()};
  for (std::string& word : VmParamWords(test.vmParams)) argv.push_back(word);
  if (!test.classPath.empty()) {
    std::string list;
    for (const std::string& entry : test.classPath) {
      list += (list.empty() ? "" : ":") + entry;
    }
    argv.insert(argv.end(), {"-cp", list});
  }
  if (const char* module = ModuleOf(test)) {
    argv.insert(argv.end(), {"-m", module});
  } else {
    argv.push_back(test.mainClass);
  }
  for (const std::u16string& argument : test.arguments) {
    argv.push_back(Utf8(argument));
  }
  return InChild(dir, test, "java", [&] {
    std::vector<char*> pointers;
    for (std::string& word : argv) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    execv(pointers[0], pointers.data());
  });
}

// The launcher's in-process driver, given what the launcher's own code
// makes of the case's settings; its exit code is the one the launcher
// would end with.
Outcome RunDriver(const std::string& library, const fs::path& dir,
                  const Case& test) {
  return InChild(dir, test, "driver", [&] {
    HostVmPlatform os;
    LaunchSettings settings;
    settings.vmParams = test.vmParams;
    settings.classPathEntries = test.classPath;
    if (const char* module = ModuleOf(test)) {
      settings.mainmodule = module;
    } else {
      settings.mainclass = test.mainClass;
    }
    os.wideArguments = {std::string("t\0", 2)};
    for (const std::u16string& argument : test.arguments) {
      settings.appArguments.push_back(Utf8(argument));
      os.wideArguments.emplace_back(
          reinterpret_cast<const char*>(argument.data()), 2 * argument.size());
    }
    const int code = RunAsTheLauncher(settings, library, os);
    std::fflush(nullptr);
    _exit(code);
  });
}

// The java command's own lines about a VM it could not create.
std::string WithoutJavasOwnLines(std::string text) {
  for (const char* line :
       {"Error: Could not create the Java Virtual Machine.\n",
        "Error: A fatal exception has occurred. Program will exit.\n"}) {
    const std::size_t at = text.find(line);
    if (at != std::string::npos) text.erase(at, std::strlen(line));
  }
  return text;
}

TEST(RealVms, AreInstalled) {
  ASSERT_FALSE(kVms.empty()) << "no /usr/lib/jvm/*/lib/server/libjvm.so";
}

using VmAndCase = std::tuple<std::string, std::size_t>;
class RealVm : public testing::TestWithParam<VmAndCase> {};

TEST_P(RealVm, RunsAsTheJavaCommandDoes) {
  const auto& [library, index] = GetParam();
  const Case& test = kCases[index];
  if (VersionOf(Home(library)) < test.minVersion) {
    GTEST_SKIP() << "a form of Java " << test.minVersion << " and later";
  }
  if (test.javaFx && (!fs::exists(JAVAFX_MODULES) || !std::getenv("DISPLAY"))) {
    GTEST_SKIP() << "needs JavaFX in " JAVAFX_MODULES " and a display";
  }
  const fs::path dir = Prepare(Home(library));
  const Outcome java = RunJava(Home(library), dir, test);
  const Outcome driver = RunDriver(library, dir, test);
  EXPECT_EQ(driver.code, java.code);
  EXPECT_EQ(driver.out, java.out);
  EXPECT_EQ(driver.err, WithoutJavasOwnLines(java.err));
}

INSTANTIATE_TEST_SUITE_P(
    EveryVm, RealVm,
    testing::Combine(testing::ValuesIn(kVms),
                     testing::Range<std::size_t>(0, std::size(kCases))),
    [](const testing::TestParamInfo<VmAndCase>& info) {
      std::string vm = Home(std::get<0>(info.param)).filename();
      for (char& c : vm) c = std::isalnum(c) ? c : '_';
      return vm + "_" + kCases[std::get<1>(info.param)].name;
    });

}  // namespace
