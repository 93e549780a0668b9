#ifndef LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_
#define LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

// The platform operations over Win32 and the C runtime, one class for each
// interface, each in a file of its own. This header stays free of
// <windows.h> so that only the implementation sees the system's macros;
// handles are kept as void*.

class WindowsFiles : public Files {
 public:
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
};

class WindowsRegistry : public Registry {
 public:
  bool OpenRegistryKey(const std::string& path, RegistryView view,
                       RegKey* key) override;
  bool QueryRegistryValue(RegKey key, const std::string& name,
                          std::size_t maxBytes, std::string* text) override;
  bool CountSubkeys(RegKey key, std::uint32_t* count) override;
  bool EnumerateSubkey(RegKey key, std::uint32_t index,
                       std::string* name) override;
  void CloseRegistryKey(RegKey key) override;
};

class WindowsSystem : public System {
 public:
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
};

class WindowsProgram : public ThisProgram {
 public:
  std::string ModulePath() override;
  std::string OwnCommandLine() override;
  std::vector<std::string> WideArguments() override;
  bool EmbeddedConfiguration(std::string* content) override;
  bool CarriesArchive() override;
  bool Is64BitProcess() override;
  std::uint32_t ProcessId() override;
};

class WindowsProcesses : public Processes {
 public:
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

  // For the console build: the application shares the launcher's console,
  // so Ctrl+C, Ctrl+Break and closing the console reach it directly. While
  // a child runs, the launcher then reports those events handled (not
  // ignored: a child inherits the ignore setting and would never see
  // Ctrl+C) and keeps waiting, so that it never ends before the
  // application. Without a child (before the start, or with the VM in the
  // launcher's own process) the events go on to the next handler: the
  // VM's, whose shutdown hooks then run, or the system's. Call it once;
  // this object must live as long as the process.
  void ShareConsoleWithTheApplication();

 private:
  static int __stdcall OnConsoleEvent(unsigned long event);
  bool InTheLaunchersJob(void* process);
  bool SetJobLimits(unsigned long limits);

  // The application while it runs, for the console's events, which come on
  // a thread of their own.
  std::atomic<void*> application_{nullptr};
  // The job of the children that die with the launcher, made with the first
  // of them and held until the process ends.
  void* job_ = nullptr;
  // The standard output and error before UseOutputPipes.
  bool outputRedirected_ = false;
  void* savedOutput_ = nullptr;
  void* savedError_ = nullptr;
};

class WindowsThreads : public Threads {
 public:
  WindowsThreads();
  bool StartThread(std::size_t stackBytes, ThreadBody body, void* context,
                   ThreadHandle* thread) override;
  bool WaitForThread(ThreadHandle thread, unsigned milliseconds) override;
  void CloseThread(ThreadHandle thread) override;
  void WaitForThreadOrWake(ThreadHandle thread) override;
  void WakeWaiterAndBlock() override;

 private:
  // The event that ends WaitForThreadOrWake early; set once, never reset.
  void* wake_ = nullptr;
};

class WindowsUserInterface : public UserInterface {
 public:
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;
  void WriteOut(const std::string& text) override;
  void WriteErr(const std::string& text) override;
  void OpenConsole() override;
  // In platform/windows_splash.cc.
  bool ShowSplash(const std::string& imagePath) override;
};

// The window class of the splash, by which tests find its window.
constexpr char kSplashWindowClass[] = "JavaAppLauncherSplash";

class WindowsVmHost : public VmHost {
 public:
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

 private:
  // The C library the VM's library imports, found when it is loaded.
  void* vmRuntime_ = nullptr;
};

// The system keeps no record of a launch; the launch log does.
class NoRecord : public LaunchObserver {
 public:
  void Note(const std::string&) override {}
  void MessageShown(const std::string&, const std::string&, unsigned,
                    int) override {}
  void Traced(const std::string&) override {}
  void ErrorWritten(const std::string&) override {}
  void ProcessStarted(const std::string&, bool) override {}
  void VmPrinted(const std::string&) override {}
};

// All of them, for the entry point. The threads of a Java VM in the process
// and the output readers use it until the process ends, so it is made once
// and never destroyed.
class WindowsPlatform {
 public:
  PlatformOps& ops() { return ops_; }
  WindowsProcesses& processes() { return processes_; }

 private:
  WindowsFiles files_;
  WindowsRegistry registry_;
  WindowsSystem system_;
  WindowsProgram program_;
  WindowsProcesses processes_;
  WindowsThreads threads_;
  WindowsUserInterface ui_;
  WindowsVmHost vm_;
  NoRecord log_;
  PlatformOps ops_{files_,   registry_, system_, program_, processes_,
                   threads_, ui_,       vm_,     log_};
};

#endif  // LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_
