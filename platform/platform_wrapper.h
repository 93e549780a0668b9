#ifndef LAUNCHER_PLATFORM_PLATFORM_WRAPPER_H_
#define LAUNCHER_PLATFORM_PLATFORM_WRAPPER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

// Forwards every operation to another PlatformOps, so that a layer of the
// launcher (the launch log, the console's messages) overrides only the calls
// it changes.
class PlatformWrapper : public PlatformOps {
 public:
  explicit PlatformWrapper(PlatformOps& inner) : inner_(inner) {}

  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override {
    return inner_.ShowMessageBox(text, caption, style);
  }
  unsigned SystemMajorVersion() override { return inner_.SystemMajorVersion(); }
  void ChangeDirectory(const std::string& path) override {
    inner_.ChangeDirectory(path);
  }
  bool CurrentDirectory(std::string* dir) override {
    return inner_.CurrentDirectory(dir);
  }
  std::optional<std::string> Environment(const std::string& name) override {
    return inner_.Environment(name);
  }
  void SetEnvironment(const std::string& name,
                      const std::string& value) override {
    inner_.SetEnvironment(name, value);
  }
  std::string ModulePath() override { return inner_.ModulePath(); }
  std::vector<DirEntry> FindFiles(const std::string& pattern) override {
    return inner_.FindFiles(pattern);
  }
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    return inner_.ReadFile(path, content, error);
  }
  bool EmbeddedConfiguration(std::string* content) override {
    return inner_.EmbeddedConfiguration(content);
  }
  bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                     std::string* content) override {
    return inner_.ReadFileStart(path, maxBytes, content);
  }
  bool CarriesArchive() override { return inner_.CarriesArchive(); }
  bool FileExists(const std::string& path) override {
    return inner_.FileExists(path);
  }
  bool OpenForAppend(const std::string& path, FileHandle* file,
                     std::uint64_t* size) override {
    return inner_.OpenForAppend(path, file, size);
  }
  bool Append(FileHandle file, const std::string& text) override {
    return inner_.Append(file, text);
  }
  void CloseFile(FileHandle file) override { inner_.CloseFile(file); }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return inner_.RenameFile(from, to);
  }
  std::string CanonicalPath(const std::string& path) override {
    return inner_.CanonicalPath(path);
  }
  bool Utf16LeToAnsi(const std::string& utf16le, std::string* ansi) override {
    return inner_.Utf16LeToAnsi(utf16le, ansi);
  }
  bool OpenRegistryKey(const std::string& path, RegistryView view,
                       RegKey* key) override {
    return inner_.OpenRegistryKey(path, view, key);
  }
  bool QueryRegistryValue(RegKey key, const std::string& name,
                          std::size_t maxBytes, std::string* text) override {
    return inner_.QueryRegistryValue(key, name, maxBytes, text);
  }
  bool CountSubkeys(RegKey key, std::uint32_t* count) override {
    return inner_.CountSubkeys(key, count);
  }
  bool EnumerateSubkey(RegKey key, std::uint32_t index,
                       std::string* name) override {
    return inner_.EnumerateSubkey(key, index, name);
  }
  void CloseRegistryKey(RegKey key) override { inner_.CloseRegistryKey(key); }
  StartedProcess StartProcess(
      const std::string& commandLine,
      const std::optional<std::string>& directory,
      const std::optional<std::string>& consoleTitle,
      const ChildOptions& options = ChildOptions()) override {
    return inner_.StartProcess(commandLine, directory, consoleTitle, options);
  }
  void LetChildrenOutliveTheLauncher() override {
    inner_.LetChildrenOutliveTheLauncher();
  }
  bool CreateOutputPipes(OutputPipes* pipes) override {
    return inner_.CreateOutputPipes(pipes);
  }
  bool ReadPipe(FileHandle pipe, std::string* chunk) override {
    return inner_.ReadPipe(pipe, chunk);
  }
  void UseOutputPipes(const OutputPipes& pipes) override {
    inner_.UseOutputPipes(pipes);
  }
  void WaitForIdle(ProcessHandle process, unsigned milliseconds) override {
    inner_.WaitForIdle(process, milliseconds);
  }
  void WaitForEnd(ProcessHandle process) override {
    inner_.WaitForEnd(process);
  }
  std::uint32_t ProcessExitCode(ProcessHandle process) override {
    return inner_.ProcessExitCode(process);
  }
  void CloseProcess(ProcessHandle process) override {
    inner_.CloseProcess(process);
  }
  std::string ErrorMessage(std::uint32_t errorCode) override {
    return inner_.ErrorMessage(errorCode);
  }
  std::string OwnCommandLine() override { return inner_.OwnCommandLine(); }
  std::vector<std::string> WideArguments() override {
    return inner_.WideArguments();
  }
  std::string AnsiToUtf16Le(const std::string& text) override {
    return inner_.AnsiToUtf16Le(text);
  }
  bool Is64BitProcess() override { return inner_.Is64BitProcess(); }
  bool LoadLibraryWithDependencies(const std::string& path,
                                   const std::string& dependencyFolder,
                                   LibraryHandle* library,
                                   std::uint32_t* errorCode) override {
    return inner_.LoadLibraryWithDependencies(path, dependencyFolder, library,
                                              errorCode);
  }
  void* LibraryFunction(LibraryHandle library, const char* name) override {
    return inner_.LibraryFunction(library, name);
  }
  bool StartThread(std::size_t stackBytes, ThreadBody body, void* context,
                   ThreadHandle* thread) override {
    return inner_.StartThread(stackBytes, body, context, thread);
  }
  bool WaitForThread(ThreadHandle thread, unsigned milliseconds) override {
    return inner_.WaitForThread(thread, milliseconds);
  }
  void WaitForThreadOrWake(ThreadHandle thread) override {
    inner_.WaitForThreadOrWake(thread);
  }
  // Never returns, and never touches this object again once the waiter
  // is woken.
  void WakeWaiterAndBlock() override { inner_.WakeWaiterAndBlock(); }
  void WriteVmOutput(const void* stream, const std::string& text) override {
    inner_.WriteVmOutput(stream, text);
  }
  void OpenConsole() override { inner_.OpenConsole(); }
  std::int64_t Now() override { return inner_.Now(); }
  std::string LocalTime() override { return inner_.LocalTime(); }
  std::uint32_t ProcessId() override { return inner_.ProcessId(); }
  void WriteOut(const std::string& text) override { inner_.WriteOut(text); }
  void WriteErr(const std::string& text) override { inner_.WriteErr(text); }
  void Note(const std::string& line) override { inner_.Note(line); }

 protected:
  PlatformOps& inner_;
};

#endif  // LAUNCHER_PLATFORM_PLATFORM_WRAPPER_H_
