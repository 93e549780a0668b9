#ifndef LAUNCHER_TESTS_JVM_HOST_VM_H_
#define LAUNCHER_TESTS_JVM_HOST_VM_H_

// What the tests of real Java VMs share: the host's VMs, the fake system
// with the host's own files, environment, streams and processes, and a run
// in a child process (a process can make one VM).
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <dlfcn.h>

#include "jvm/java_main.h"
#include "launcher/in_process_launch.h"
#include "tests/fake_platform.h"

namespace host_vm {

namespace fs = std::filesystem;

// Each real libjvm.so once, however many links lead to it.
inline std::vector<std::string> FindVms() {
  std::set<std::string> found;
  std::error_code error;
  for (const auto& jdk : fs::directory_iterator("/usr/lib/jvm", error)) {
    fs::path library = jdk.path() / "lib/server/libjvm.so";
    if (fs::exists(library)) found.insert(fs::canonical(library));
  }
  return {found.begin(), found.end()};
}
inline fs::path Home(const fs::path& library) {
  return library.parent_path().parent_path().parent_path();
}
inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A folder of this process's own in the temporary folder, removed at the
// end.
struct Scratch {
  explicit Scratch(const std::string& prefix)
      : path(fs::temp_directory_path() / (prefix + std::to_string(getpid()))) {}
  ~Scratch() { fs::remove_all(path); }
  fs::path path;
};

// The fake system with the host's own files, environment, standard streams
// and processes, and the host VM's class path separator. Paths may be
// written with either slash.
class HostVmPlatform : public FakePlatform {
 public:
  static std::string Posix(std::string path) {
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return path;
  }
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    std::ifstream in(Posix(path), std::ios::binary);
    if (!in || fs::is_directory(Posix(path))) {
      *error = "No such file or directory";
      return false;
    }
    content->assign(std::istreambuf_iterator<char>(in), {});
    return true;
  }
  bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                     std::string* content) override {
    std::ifstream in(Posix(path), std::ios::binary);
    if (!in || fs::is_directory(Posix(path))) return false;
    content->resize(maxBytes);
    in.read(&(*content)[0], static_cast<std::streamsize>(maxBytes));
    content->resize(static_cast<std::size_t>(in.gcount()));
    return true;
  }
  // "dir/*.jsa": the directory's matching entries in the order it lists
  // them; a path without a wildcard: that file or folder.
  std::vector<DirEntry> FindFiles(const std::string& pattern) override {
    const std::string path = Posix(pattern);
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    std::vector<DirEntry> entries;
    if (DIR* listing = opendir(dir.empty() ? "/" : dir.c_str())) {
      while (dirent* entry = readdir(listing)) {
        struct stat info;
        if (fnmatch(name.c_str(), entry->d_name, 0) != 0 ||
            stat((dir + "/" + entry->d_name).c_str(), &info) != 0) {
          continue;
        }
        entries.push_back(
            {entry->d_name, S_ISDIR(info.st_mode) ? kAttributeDirectory : 0u,
             static_cast<std::uint64_t>(info.st_size),
             static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                 static_cast<std::uint64_t>(info.st_mtim.tv_nsec)});
      }
      closedir(listing);
    }
    return entries;
  }
  bool FileExists(const std::string& path) override {
    return fs::is_regular_file(Posix(path));
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return std::rename(Posix(from).c_str(), Posix(to).c_str()) == 0;
  }
  bool MakeFolders(const std::string& path) override {
    std::error_code error;
    fs::create_directories(Posix(path), error);
    return fs::is_directory(Posix(path));
  }
  bool RemoveFile(const std::string& path) override {
    return std::remove(Posix(path).c_str()) == 0 || !fs::exists(Posix(path));
  }
  bool MakeLockFile(const std::string& path, FileHandle* lock) override {
    const int fd = open(Posix(path).c_str(), O_WRONLY | O_CREAT, 0600);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lockPath_ = Posix(path);
      *lock = static_cast<FileHandle>(fd);
      return true;
    }
    if (fd >= 0) close(fd);
    return false;
  }
  void CloseFile(FileHandle lock) override {
    if (lockPath_.empty()) return;
    std::remove(lockPath_.c_str());
    close(static_cast<int>(lock));
    lockPath_.clear();
  }
  std::optional<std::string> Environment(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  // A command line of plain words and double-quoted ones, run by the shell;
  // a quiet one's output goes nowhere.
  StartedProcess StartProcess(const std::string& commandLine,
                              const std::optional<std::string>&,
                              const std::optional<std::string>&,
                              const ChildOptions& options) override {
    const pid_t child = fork();
    if (child == 0) {
      if (options.quiet) {
        const int nowhere = open("/dev/null", O_RDWR);
        dup2(nowhere, 1);
        dup2(nowhere, 2);
      }
      execl("/bin/sh", "sh", "-c", commandLine.c_str(), nullptr);
      _exit(127);
    }
    StartedProcess started;
    started.ok = child > 0;
    started.handle = static_cast<ProcessHandle>(child);
    return started;
  }
  void WaitForEnd(ProcessHandle process) override {
    int status = 0;
    waitpid(static_cast<pid_t>(process), &status, 0);
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  }
  std::uint32_t ProcessExitCode(ProcessHandle) override { return exitCode_; }
  void CloseProcess(ProcessHandle) override {}
  char ClassPathSeparator() override { return ':'; }
  void WriteVmOutput(VmStream stream, const std::string& text) override {
    const int fd = stream == VmStream::kOutput ? 1 : 2;
    if (write(fd, text.data(), text.size()) < 0) return;
  }

 private:
  std::string lockPath_;
  std::uint32_t exitCode_ = 0;
};

// One start of the application of `settings` as javaInProcess makes it, by
// the VM `library`: the launch prepared, the startup cache planned (when
// the settings turn it on), the application run, the cache finished. The
// exit code the launcher would end with.
inline int RunAsTheLauncher(const LaunchSettings& settings,
                            const std::string& library, HostVmPlatform& os) {
  const std::string home = Home(library).string();
  JavaLaunch launch = PrepareJavaLaunch(settings, home, os);
  CacheRuntime runtime = CacheRuntimeOf(settings, home, library, os);
  runtime.javaCommand = home + "/bin/java";
  StartupCache cache = AddStartupCache(settings, runtime, launch, os);
  launch.createJavaVm =
      dlsym(dlopen(library.c_str(), RTLD_NOW), "JNI_CreateJavaVM");
  const JavaEnd end = RunJavaMain(launch, os, os, nullptr);
  FinishStartupCache(cache, runtime, os);
  return end.kind == JavaEndKind::kNotCreated ? 1 : end.code;
}

struct Outcome {
  int code = -1;
  std::string out, err;
};

// Runs `body` in a child process whose standard output and error go to the
// files `out` and `err`; a run that never ends ends the child, with no
// report.
template <typename Body>
Outcome Forked(const fs::path& out, const fs::path& err, Body body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    alarm(60);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    body();
    _exit(121);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          Slurp(out), Slurp(err)};
}

}  // namespace host_vm

#endif  // LAUNCHER_TESTS_JVM_HOST_VM_H_
