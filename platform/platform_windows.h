#ifndef LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_
#define LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

// The platform operations over Win32 and the C runtime. This header stays free
// of <windows.h> so that only the implementation sees the system's macros.
class WindowsPlatform : public PlatformOps {
 public:
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;
  unsigned SystemMajorVersion() override;
  void ChangeDirectory(const std::string& path) override;
  bool CurrentDirectory(std::string* dir) override;
  std::optional<std::string> Environment(const std::string& name) override;
  void SetEnvironment(const std::string& name,
                      const std::string& value) override;
  std::string ModulePath() override;
  std::vector<DirEntry> FindFiles(const std::string& pattern) override;
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override;
  bool EmbeddedConfiguration(std::string* content) override;
  bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                     std::string* content) override;
  bool CarriesArchive() override;
  bool FileExists(const std::string& path) override;
  bool OpenForAppend(const std::string& path, FileHandle* file,
                     std::uint64_t* size) override;
  bool Append(FileHandle file, const std::string& text) override;
  void CloseFile(FileHandle file) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::string CanonicalPath(const std::string& path) override;
  bool Utf16LeToAnsi(const std::string& utf16le, std::string* ansi) override;
  bool OpenRegistryKey(const std::string& path, RegistryView view,
                       RegKey* key) override;
  bool QueryRegistryValue(RegKey key, const std::string& name,
                          std::size_t maxBytes, std::string* text) override;
  bool CountSubkeys(RegKey key, std::uint32_t* count) override;
  bool EnumerateSubkey(RegKey key, std::uint32_t index,
                       std::string* name) override;
  void CloseRegistryKey(RegKey key) override;
  StartedProcess StartProcess(
      const std::string& commandLine,
      const std::optional<std::string>& directory,
      const std::optional<std::string>& consoleTitle,
      const ChildOptions& options = ChildOptions()) override;
  void LetChildrenOutliveTheLauncher() override;
  bool CreateOutputPipes(OutputPipes* pipes) override;
  bool ReadPipe(FileHandle pipe, std::string* chunk) override;
  void UseOutputPipes(const OutputPipes& pipes) override;
  void WaitForIdle(ProcessHandle process, unsigned milliseconds) override;
  void WaitForEnd(ProcessHandle process) override;
  std::uint32_t ProcessExitCode(ProcessHandle process) override;
  void CloseProcess(ProcessHandle process) override;
  std::string ErrorMessage(std::uint32_t errorCode) override;
  std::string OwnCommandLine() override;
  std::vector<std::string> WideArguments() override;
  std::string AnsiToUtf16Le(const std::string& text) override;
  bool Is64BitProcess() override;
  bool LoadLibraryWithDependencies(const std::string& path,
                                   const std::string& dependencyFolder,
                                   LibraryHandle* library,
                                   std::uint32_t* errorCode) override;
  void* LibraryFunction(LibraryHandle library, const char* name) override;
  bool StartThread(std::size_t stackBytes, ThreadBody body, void* context,
                   ThreadHandle* thread) override;
  bool WaitForThread(ThreadHandle thread, unsigned milliseconds) override;
  void WaitForThreadOrWake(ThreadHandle thread) override;
  void WakeWaiterAndBlock() override;
  void WriteVmOutput(const void* stream, const std::string& text) override;
  void OpenConsole() override;
  std::int64_t Now() override;
  std::string LocalTime() override;
  std::uint32_t ProcessId() override;
  void WriteOut(const std::string& text) override;
  void WriteErr(const std::string& text) override;
  void Note(const std::string& line) override;
};

// For the console build: the application shares the launcher's console, so
// Ctrl+C, Ctrl+Break and closing the console reach it directly. While a
// child runs, the launcher then reports those events handled (not ignored: a
// child inherits the ignore setting and would never see Ctrl+C) and keeps
// waiting, so that it never ends before the application. Without a child
// (before the start, or with the VM in the launcher's own process) the
// events go on to the next handler: the VM's, whose shutdown hooks then run,
// or the system's.
void ShareConsoleWithTheApplication();

#endif  // LAUNCHER_PLATFORM_PLATFORM_WINDOWS_H_
