// RunJavaMain on every real Java VM of this machine. A process can make one
// VM, and System.exit ends its Java side for good, so each case runs in a
// child process of its own, with its output in files.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "jvm/java_main.h"
#include "jvm/vm_options.h"
#include "tests/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using Kind = JavaEndKind;
using Words = std::vector<std::string>;

// The fake system, whose threads are real, with the VM's output and the
// launcher's own messages on file descriptors 1 and 2.
class PosixVmPlatform : public FakePlatform {
 public:
  void WriteVmOutput(VmStream stream, const std::string& text) override {
    const int fd = stream == VmStream::kOutput ? 1 : 2;
    if (write(fd, text.data(), text.size()) < 0) return;
  }
};

// A main class of tests/jvm/java/Cases.java (package t), run with the vmparams
// (through TranslateVmParams) and arguments given, ends so and writes `text`:
// to the creation messages for kNotCreated, to standard error for a main that
// threw or is missing, else to standard output.
struct Case {
  const char *name, *mainClass;
  Words vmParams;
  std::vector<std::u16string_view> arguments;
  Kind kind;
  int code;
  const char* text;
};
const std::string kOpens = "java.base/java.lang=ALL-UNNAMED";
const char kNoClass[] =
    "Error: Could not find or load main class no.such.Main\nException in "
    "thread \"main\" java.lang.NoClassDefFoundError: no/such/Main";
const char kNoMain[] =
    "Error: Main method not found in class t.NoMain, please define the main "
    "method as:\n   public static void main(String[] args)\n";
// A row in the shape of a call, which keeps the table one row to a line.
Case Row(const char* name, const char* mainClass, Words vmParams,
         std::vector<std::u16string_view> arguments, Kind kind, int code,
         const char* text) {
  return {name, mainClass, vmParams, arguments, kind, code, text};
}
const Case kCases[] = {
    Row("arguments", "t.Echo", {}, {u"é", u"日本", u"😀", u"", u"a b", u"\"q\""},
        Kind::kMainReturned, 0,
        "6:00e9,65e5672c,d83dde00,,006100200062,002200710022"),
    Row("exit42", "t.Exit", {}, {u"42"}, Kind::kExited, 42, "hook ran\n"),
    Row("exit999", "t.Exit", {}, {u"999"}, Kind::kExited, 999, ""),
    Row("exitAfterMain", "t.LateExit", {}, {}, Kind::kExited, 7, ""),
    Row("uncaught", "t.Throw", {}, {}, Kind::kMainThrew, 1,
        "\"main\" java.lang.IllegalStateException: boom\n\tat t.Throw.main("),
    Row("noClass", "no.such.Main", {}, {}, Kind::kMainNotFound, 1, kNoClass),
    Row("noMain", "t.NoMain", {}, {}, Kind::kMainNotFound, 1, kNoMain),
    Row("nonDaemon", "t.Sleeper", {}, {}, Kind::kMainReturned, 0,
        "main\nlate\n"),
    Row("stack1MiB", "t.Deep", {}, {u"20000"}, Kind::kMainThrew, 1,
        "StackOverflowError"),
    Row("xss8m", "t.Deep", {"-Xss8m"}, {u"20000"}, Kind::kMainReturned, 0,
        "depth 20000\n"),
    Row("closed", "t.Opens", {}, {}, Kind::kMainThrew, 1, "InaccessibleObject"),
    Row("addOpens1", "t.Opens", {"--add-opens " + kOpens}, {},
        Kind::kMainReturned, 0, "opened\n"),
    Row("addOpens2", "t.Opens", {"--add-opens", kOpens}, {},
        Kind::kMainReturned, 0, "opened\n"),
    Row("bogus", "t.Echo", {"--bogus"}, {}, Kind::kNotCreated, -1,
        "Unrecognized option: --bogus\n"),
    Row("tinyHeap", "t.Echo", {"-Xmx1k"}, {}, Kind::kNotCreated, -1,
        "Error occurred during initialization of VM\nToo small maximum heap\n"),
};

// Each real libjvm.so once, however many links lead to it.
std::vector<std::string> FindVms() {
  std::set<std::string> found;
  std::error_code error;
  for (const auto& jdk : fs::directory_iterator("/usr/lib/jvm", error)) {
    fs::path library = jdk.path() / "lib/server/libjvm.so";
    if (fs::exists(library)) found.insert(fs::canonical(library));
  }
  return {found.begin(), found.end()};
}
const std::vector<std::string> kVms = FindVms();
fs::path Home(const fs::path& library) {
  return library.parent_path().parent_path().parent_path();
}
std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
const struct Scratch {
  fs::path path =
      fs::temp_directory_path() / ("jvm-tests-" + std::to_string(getpid()));
  ~Scratch() { fs::remove_all(path); }
} kScratch;

TEST(RealVms, AreInstalled) {
  ASSERT_FALSE(kVms.empty()) << "no /usr/lib/jvm/*/lib/server/libjvm.so";
}

using VmAndCase = std::tuple<std::string, std::size_t>;
class RealVm : public testing::TestWithParam<VmAndCase> {};

TEST_P(RealVm, Runs) {
  const auto& [library, index] = GetParam();
  const Case& test = kCases[index];
  // Compiled once per JDK, by its own javac when it has one.
  fs::path classes = kScratch.path / Home(library).filename();
  fs::path javac = Home(library) / "bin/javac";
  std::string compile = (fs::exists(javac) ? javac.string() : "javac") +
                        " -d " + classes.string() + " " JVM_TEST_SOURCES;
  ASSERT_TRUE(fs::exists(classes) || std::system(compile.c_str()) == 0);
  VmOptions translated = TranslateVmParams(test.vmParams);
  // Without -Xss, the 1 MiB stack that the java command gives main.
  JavaLaunch launch;
  launch.options = translated.options;
  launch.mainClass = test.mainClass;
  launch.stackBytes = translated.stackBytes ? translated.stackBytes : 1 << 20;
  launch.options.push_back("-Djava.class.path=" + classes.string());
  for (std::u16string_view argument : test.arguments) {  // little-endian
    launch.arguments.emplace_back(
        reinterpret_cast<const char*>(argument.data()), 2 * argument.size());
  }
  std::string run = (classes / test.name).string();
  std::fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    alarm(60);  // a run that never ends ends the child, with no report
    std::freopen((run + ".out").c_str(), "w", stdout);
    std::freopen((run + ".err").c_str(), "w", stderr);
    launch.createJavaVm =
        dlsym(dlopen(library.c_str(), RTLD_NOW), "JNI_CreateJavaVM");
    PosixVmPlatform os;
    JavaEnd end = RunJavaMain(launch, os, os, nullptr);
    std::ofstream(run + ".end") << static_cast<int>(end.kind) << ' ' << end.code
                                << ' ' << end.creationMessages;
    _exit(0);
  }
  int status = 0, kind = -1, code = 0;
  waitpid(child, &status, 0);
  std::string out = Slurp(run + ".out"), err = Slurp(run + ".err"), creation;
  std::ifstream end(run + ".end");
  std::getline(end >> kind >> code >> std::ws, creation, '\0');
  SCOPED_TRACE("status " + std::to_string(status) + ", stderr:\n" + err);
  EXPECT_EQ(kind, static_cast<int>(test.kind));
  EXPECT_EQ(code, test.code);
  bool failed =
      test.kind == Kind::kMainThrew || test.kind == Kind::kMainNotFound;
  auto& where = test.kind == Kind::kNotCreated ? creation : failed ? err : out;
  EXPECT_NE(where.find(test.text), std::string::npos) << where;
  EXPECT_TRUE(test.kind == Kind::kNotCreated || creation.empty()) << creation;
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
