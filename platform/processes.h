#ifndef LAUNCHER_PLATFORM_PROCESSES_H_
#define LAUNCHER_PLATFORM_PROCESSES_H_

#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"

// The processes the launcher starts (the runtime, or the launcher itself
// again), the job they die in, and the pipes that carry their output.

using ProcessHandle = std::uintptr_t;

struct StartedProcess {
  bool ok = false;              // the process was created
  ProcessHandle handle = 0;     // valid when ok
  std::uint32_t errorCode = 0;  // the system's error code when !ok
  // It was to die with the launcher, but the launcher runs in a job of
  // its own that allows no job for its children.
  bool outsideJob = false;
};

// The pipes that carry a program's standard output and error to the
// launcher: the write ends can be inherited, the read ends cannot.
struct OutputPipes {
  FileHandle outRead = 0;
  FileHandle outWrite = 0;
  FileHandle errRead = 0;
  FileHandle errWrite = 0;
};

// How StartProcess starts the application; the defaults start a program as
// the system would.
struct ChildOptions {
  // Standard output and error into these write ends, standard input from
  // the NUL device; none: no handle is given (the STARTUPINFO is all zero
  // but for its size and title).
  const OutputPipes* output = nullptr;
  // The child and everything it starts end when the launcher is killed:
  // they run in a job that ends with the launcher's handle to it (started
  // suspended, assigned, then resumed, so that nothing escapes).
  bool dieWithLauncher = false;
  // The absolute path of the program to run, when the command line's first
  // word alone might find another one; none: the system finds it from the
  // command line.
  std::optional<std::string> program;
  // A helper of the launcher's that nobody sees: standard input, output and
  // error the NUL device, and no console window.
  bool quiet = false;
};

class Processes {
 public:
  // Starts `commandLine` (its first token names the program) with handle
  // inheritance, the launcher's environment, `directory` as its current
  // directory (none: the launcher's) and `consoleTitle` for a console it
  // creates (none: the system's default).
  virtual StartedProcess StartProcess(
      const std::string& commandLine,
      const std::optional<std::string>& directory,
      const std::optional<std::string>& consoleTitle,
      const ChildOptions& options = ChildOptions()) = 0;
  // Lets the children started to die with the launcher outlive it from now
  // on (the launcher ends normally; what the application started and left
  // running, an updater say, goes on).
  virtual void LetChildrenOutliveTheLauncher() = 0;
  // Waits until the process is idle or has ended, at most `milliseconds`.
  virtual void WaitForIdle(ProcessHandle process, unsigned milliseconds) = 0;
  // Waits without limit until the process has ended.
  virtual void WaitForEnd(ProcessHandle process) = 0;
  virtual std::uint32_t ProcessExitCode(ProcessHandle process) = 0;
  virtual void CloseProcess(ProcessHandle process) = 0;

  // Makes the pipes of an OutputPipes; false when they cannot be made.
  virtual bool CreateOutputPipes(OutputPipes* pipes) = 0;
  // Waits for what comes through a pipe; false at its end, when every
  // write end has been closed. Any thread.
  virtual bool ReadPipe(FileHandle pipe, std::string* chunk) = 0;
  // Closes one end of a pipe. Any thread.
  virtual void ClosePipe(FileHandle end) = 0;
  // Makes the write ends the launcher's own standard output and error, for
  // the libraries it loads from now on (a Java VM's C library), until
  // RestoreOutput.
  virtual void UseOutputPipes(const OutputPipes& pipes) = 0;
  // Gives the launcher back the standard output and error it had before
  // UseOutputPipes; nothing happens when that was not called.
  virtual void RestoreOutput() = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~Processes() = default;
};

#endif  // LAUNCHER_PLATFORM_PROCESSES_H_
