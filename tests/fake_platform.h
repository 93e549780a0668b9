#ifndef LAUNCHER_TESTS_FAKE_PLATFORM_H_
#define LAUNCHER_TESTS_FAKE_PLATFORM_H_

#include <pthread.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

// Compares texts without regard to ASCII case, as Windows compares environment
// names, registry key names and file names.
struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

// A scripted operating system: every answer comes from the fields below, and
// every request is recorded in them. It is every interface of the platform at
// once, and the launch's observer (it keeps the notes), and stands for the
// whole bundle wherever one is asked for.
//
// Threads are real (with the stack asked for), pipes block until something
// comes or every write end is closed, and what threads share is guarded, so
// that the host tests see the launcher's threads as the system would run
// them. A thread blocked for good (WakeWaiterAndBlock) never touches the fake
// again; the others end before it goes.
class FakePlatform : public Files,
                     public Registry,
                     public System,
                     public ThisProgram,
                     public Processes,
                     public Threads,
                     public UserInterface,
                     public VmHost,
                     public LaunchObserver {
 public:
  FakePlatform() = default;
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;
  operator PlatformOps&() { return ops_; }

  struct Box {
    std::string text;
    std::string caption;
    unsigned style;
  };
  // A child run: its exit code and how many seconds it runs (the clock moves
  // on by that much while the launcher waits for it).
  struct Run {
    std::uint32_t exitCode = 0;
    std::int64_t seconds = 10;
    bool startFails = false;      // CreateProcess fails with errorCode
    std::uint32_t errorCode = 2;  // ERROR_FILE_NOT_FOUND
    // What it writes to its standard output and error, when they are pipes.
    std::string out{};
    std::string err{};
  };
  struct Start {
    std::string commandLine;
    std::optional<std::string> directory;
    std::optional<std::string> consoleTitle;
    bool ok;
    bool piped = false;  // its output went into pipes
    bool dieWithLauncher = false;
    std::optional<std::string> program;  // named apart from the command
  };
  struct File {
    std::string content;
    std::string error;  // when not empty, opening fails with this message
  };
  struct RegValue {
    std::string data;  // bytes as stored (may lack a NUL, may be any type)
  };
  struct RegKeyData {
    std::map<std::string, RegValue, CaseInsensitiveLess> values;
    std::vector<std::string> subkeys;  // in enumeration order
  };

  // --- message boxes
  std::vector<Box> boxes;
  std::deque<int> answers;  // answers to boxes in order; then defaultAnswer
  int defaultAnswer = 1;    // IDOK

  // --- system
  unsigned majorVersion = 5;
  std::string currentDirectory = "C:\\Work";
  bool currentDirectoryUnreadable = false;
  std::vector<std::string> directoryChanges;

  // --- environment, and the launcher's own executable
  std::map<std::string, std::string, CaseInsensitiveLess> environment;
  std::string modulePath = "C:\\Apps\\Tool\\Tool.exe";

  // --- files: path (as the logic spells it) -> content or open error
  std::map<std::string, File> files;
  std::vector<std::string> filesRead;
  // Files opened for appending (they live in `files`): each write of one,
  // in order; a path in `unwritable` opens but takes no write.
  std::vector<std::string> appends;
  std::set<std::string> unwritable;
  int openAppends = 0;  // currently open
  // The configuration embedded in the executable, if any, and whether it
  // carries an application archive.
  std::optional<std::string> embeddedConfiguration;
  bool carriesArchive = false;
  // Lock files held. (A folder in `unwritable` cannot be made either.)
  std::set<std::string> locks;
  // Directory searches: pattern -> entries in the platform's order.
  std::map<std::string, std::vector<DirEntry>, CaseInsensitiveLess> listings;
  std::vector<std::string> searches;

  // --- registry, one tree per view; full key path -> key
  std::map<RegistryView, std::map<std::string, RegKeyData, CaseInsensitiveLess>>
      registry;
  bool is64BitProcess = false;          // which view kDefault means
  std::vector<std::string> keysOpened;  // "path" of each successful open
  int openKeys = 0;                     // currently open
  bool subkeyCountFails = false;

  // --- processes
  std::deque<Run> runs;  // then defaultRun
  Run defaultRun;
  std::vector<Start> starts;
  std::vector<std::string> waits;  // "idle 5000", "end", "close"

  // --- the launcher's own command line, its bitness and wide arguments
  std::string ownCommandLine = "C:\\Apps\\Tool\\Tool.exe";
  std::vector<std::string> wideArguments;  // UTF-16 LE; empty: none known

  // --- a VM library in the process: the loads asked for (path, then the
  // dependency folder), a load error per path, and the functions the
  // libraries export (by name, whichever library)
  std::vector<std::pair<std::string, std::string>> libraryLoads;
  std::map<std::string, std::uint32_t> libraryLoadErrors;
  std::map<std::string, void*> libraryFunctions;
  // The stack sizes of the threads started, in order.
  std::vector<std::size_t> threadStacks;
  bool threadStartFails = false;
  int wakes = 0;  // and as many threads blocked
  // --- jobs and pipes: the launcher itself in a job that allows none; its
  // children let outlive it; pipes read in pieces of this many bytes, and
  // the pipes the launcher made its own output (until it restored its own).
  bool inJobWithoutNesting = false;
  bool childrenReleased = false;
  std::size_t pipeReadBytes = 7;
  std::optional<OutputPipes> ownOutput;
  bool outputRestored = false;
  bool consoleOpened = false;
  // The splash images asked for, in order; splashFails makes each fail.
  std::vector<std::string> splashes;
  bool splashFails = false;

  // --- clock, streams and the launch log's notes
  std::int64_t now = 1000000;
  std::string localTime = "2026-12-09 10:15:02";
  std::uint32_t processId = 4242;
  // (A VM's output goes to `out` and `err` too, or into the pipes while they
  // are the launcher's own.)
  std::string out;
  std::string err;
  std::vector<std::string> notes;

  // Registry helpers: create a key (and its parents, each listing its child
  // once, in the order created) and set a value.
  void AddKey(const std::string& path, RegistryView view = RegistryView::k32);
  void SetValue(const std::string& path, const std::string& name,
                const std::string& data, RegistryView view = RegistryView::k32);

  // Captions of the boxes shown, in order.
  std::vector<std::string> Captions() const;

  // Files
  void ChangeDirectory(const std::string& path) override;
  bool CurrentDirectory(std::string* dir) override;
  std::vector<DirEntry> FindFiles(const std::string& pattern) override;
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override;
  bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                     std::string* content) override;
  bool FileExists(const std::string& path) override;
  bool OpenForAppend(const std::string& path, FileHandle* file,
                     std::uint64_t* size) override;
  bool Append(FileHandle file, const std::string& text) override;
  void CloseFile(FileHandle file) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::string CanonicalPath(const std::string& path) override;
  bool MakeFolders(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MakeLockFile(const std::string& path, FileHandle* lock) override;
  std::uint64_t FreeBytes(const std::string& path) override;
  // Registry
  bool OpenRegistryKey(const std::string& path, RegistryView view,
                       RegKey* key) override;
  bool QueryRegistryValue(RegKey key, const std::string& name,
                          std::size_t maxBytes, std::string* text) override;
  bool CountSubkeys(RegKey key, std::uint32_t* count) override;
  bool EnumerateSubkey(RegKey key, std::uint32_t index,
                       std::string* name) override;
  void CloseRegistryKey(RegKey key) override;
  // System
  unsigned SystemMajorVersion() override;
  std::optional<std::string> Environment(const std::string& name) override;
  void SetEnvironment(const std::string& name,
                      const std::string& value) override;
  void RemoveEnvironment(const std::string& name) override;
  std::int64_t Now() override;
  std::string LocalTime() override;
  std::string ErrorMessage(std::uint32_t errorCode) override;
  bool Utf16LeToAnsi(const std::string& utf16le, std::string* ansi) override;
  std::string AnsiToUtf16Le(const std::string& text) override;
  // ThisProgram
  std::string ModulePath() override;
  std::string OwnCommandLine() override;
  std::vector<std::string> WideArguments() override;
  bool EmbeddedConfiguration(std::string* content) override;
  bool CarriesArchive() override;
  bool Is64BitProcess() override;
  std::uint32_t ProcessId() override;
  // Processes
  StartedProcess StartProcess(
      const std::string& commandLine,
      const std::optional<std::string>& directory,
      const std::optional<std::string>& consoleTitle,
      const ChildOptions& options = ChildOptions()) override;
  void LetChildrenOutliveTheLauncher() override;
  void WaitForIdle(ProcessHandle process, unsigned milliseconds) override;
  void WaitForEnd(ProcessHandle process) override;
  std::uint32_t ProcessExitCode(ProcessHandle process) override;
  void CloseProcess(ProcessHandle process) override;
  bool CreateOutputPipes(OutputPipes* pipes) override;
  bool ReadPipe(FileHandle pipe, std::string* chunk) override;
  void ClosePipe(FileHandle end) override;
  void UseOutputPipes(const OutputPipes& pipes) override;
  void RestoreOutput() override;
  // Threads
  bool StartThread(std::size_t stackBytes, ThreadBody body, void* context,
                   ThreadHandle* thread) override;
  bool WaitForThread(ThreadHandle thread, unsigned milliseconds) override;
  void CloseThread(ThreadHandle thread) override;
  void WaitForThreadOrWake(ThreadHandle thread) override;
  void WakeWaiterAndBlock() override;
  // UserInterface
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;
  void WriteOut(const std::string& text) override;
  void WriteErr(const std::string& text) override;
  void OpenConsole() override;
  bool ShowSplash(const std::string& imagePath) override;
  // VmHost
  bool LoadLibraryWithDependencies(const std::string& path,
                                   const std::string& dependencyFolder,
                                   LibraryHandle* library,
                                   std::uint32_t* errorCode) override;
  void* LibraryFunction(LibraryHandle library, const char* name) override;
  std::string FormatVmText(const void* vmFile, const char* format,
                           va_list args) override;
  VmStream StreamOf(const void* vmFile) override;
  int PrintToVmFile(const void* vmFile, const char* format,
                    va_list args) override;
  char ClassPathSeparator() override { return ';'; }
  void WriteVmOutput(VmStream stream, const std::string& text) override;
  // LaunchObserver: the notes are kept; the rest is seen above.
  void Note(const std::string& line) override;
  void MessageShown(const std::string&, const std::string&, unsigned,
                    int) override {}
  void Traced(const std::string&) override {}
  void ErrorWritten(const std::string&) override {}
  void ProcessStarted(const std::string&, bool) override {}
  void VmPrinted(const std::string&) override {}

 private:
  struct Thread {
    ThreadBody body;
    void* context;
    FakePlatform* fake;
    pthread_t id{};
    bool done = false;
    bool blocked = false;  // in WakeWaiterAndBlock, for good
  };
  struct Pipe {
    std::string data;
    int writers = 1;  // the launcher's write end; a child writes at once
  };
  static void* RunThread(void* thread);
  RegistryView Resolve(RegistryView view) const;
  struct OpenKey {
    RegistryView view;
    std::string path;
  };
  std::map<RegKey, OpenKey> openKeyTable_;
  RegKey nextKey_ = 0x100;
  std::map<ProcessHandle, Run> processes_;
  std::map<FileHandle, std::string> openFiles_;
  FileHandle nextFile_ = 0x300;
  ProcessHandle nextProcess_ = 0x200;

  // What threads share: the pipes, the streams and notes, the threads.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<FileHandle, Pipe> pipes_;          // by read end
  std::map<FileHandle, FileHandle> writeEnds_;  // write end -> read end
  std::vector<Thread*> threads_;
  bool woken_ = false;
  bool ending_ = false;  // the fake goes: blocked reads give up

  PlatformOps ops_{*this, *this, *this, *this, *this,
                   *this, *this, *this, *this};
};

#endif  // LAUNCHER_TESTS_FAKE_PLATFORM_H_
