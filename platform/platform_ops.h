#ifndef LAUNCHER_PLATFORM_PLATFORM_OPS_H_
#define LAUNCHER_PLATFORM_PLATFORM_OPS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every operating-system service the launcher uses, and nothing else.
// The logic talks to the system only through this interface, so that it can
// run against the Windows implementation in the product and against a fake
// that scripts every answer in the host tests.
//
// Texts are 8-bit strings in the system's ANSI code page.

// Message-box styles and answers the logic uses (the Win32 values).
constexpr unsigned kBoxPlain = 0x00;
constexpr unsigned kBoxError = 0x10;       // MB_ICONERROR
constexpr unsigned kBoxYesNoError = 0x14;  // MB_YESNO | MB_ICONERROR
constexpr int kAnswerOk = 1;               // IDOK
constexpr int kAnswerYes = 6;              // IDYES
constexpr int kAnswerNo = 7;               // IDNO

// Attribute bit of a directory entry that names a directory.
constexpr unsigned kAttributeDirectory = 0x10;

// Which registry view a key is opened in. The default view is the one of the
// launcher's own bitness; the others ask for the 64-bit or 32-bit view
// explicitly (KEY_WOW64_64KEY / KEY_WOW64_32KEY).
enum class RegistryView { kDefault, k64, k32 };

using RegKey = std::uintptr_t;
using ProcessHandle = std::uintptr_t;
using FileHandle = std::uintptr_t;
using LibraryHandle = std::uintptr_t;
using ThreadHandle = std::uintptr_t;
// The work of a thread that StartThread makes.
using ThreadBody = void (*)(void* context);

struct DirEntry {
  std::string name;         // file name only, without the directory
  unsigned attributes = 0;  // only kAttributeDirectory is tested
};

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
};

class PlatformOps {
 public:
  virtual ~PlatformOps() = default;

  // Shows a message box without owner window; blocks until it is dismissed and
  // returns the button pressed (only kAnswerYes is ever tested).
  virtual int ShowMessageBox(const std::string& text,
                             const std::string& caption, unsigned style) = 0;

  // The system's major version number; 0 when it cannot be read.
  virtual unsigned SystemMajorVersion() = 0;

  // Makes `path` the process's current directory. Failure is ignored.
  virtual void ChangeDirectory(const std::string& path) = 0;
  // The current directory; false (and `dir` untouched) when it cannot be read,
  // which includes a directory of 260 characters or more.
  virtual bool CurrentDirectory(std::string* dir) = 0;

  // The value of an environment variable, or none. Names compare without
  // regard to case.
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
  // Sets an environment variable of the launcher, which the processes it
  // starts inherit.
  virtual void SetEnvironment(const std::string& name,
                              const std::string& value) = 0;
  // The full path of the launcher's own executable, whatever the command
  // line says.
  virtual std::string ModulePath() = 0;

  // The entries that match a wildcard pattern such as 'dir/*.jar', in the
  // platform's order; empty when nothing matches or the search cannot start.
  virtual std::vector<DirEntry> FindFiles(const std::string& pattern) = 0;

  // The whole content of a file, byte for byte. On failure returns false and
  // sets `error` to the C library's message for the error (e.g.
  // "No such file or directory").
  virtual bool ReadFile(const std::string& path, std::string* content,
                        std::string* error) = 0;
  // The configuration embedded in the launcher's own executable, byte for
  // byte; false when it carries none.
  virtual bool EmbeddedConfiguration(std::string* content) = 0;
  // The first `maxBytes` bytes of a file, or all of a shorter one; false
  // when it cannot be read.
  virtual bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                             std::string* content) = 0;
  // True when the launcher's own executable carries an application archive
  // after its image (the branding tool's announcement says so).
  virtual bool CarriesArchive() = 0;
  // True when `path` names an existing file that is not a directory.
  virtual bool FileExists(const std::string& path) = 0;
  // Opens `path` for appending, creating it when missing and sharing it with
  // other writers; `size` gets the bytes it already holds. False when it
  // cannot be opened.
  virtual bool OpenForAppend(const std::string& path, FileHandle* file,
                             std::uint64_t* size) = 0;
  // Appends `text` in one write, so that two writers never mix within it;
  // false when it was not written whole.
  virtual bool Append(FileHandle file, const std::string& text) = 0;
  virtual void CloseFile(FileHandle file) = 0;
  // Renames the file `from` to `to`, replacing a file `to`; false on failure.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // A spelling of `path` that is equal for two spellings of the same file
  // (absolute, case folded where the file system ignores case).
  virtual std::string CanonicalPath(const std::string& path) = 0;

  // UTF-16 LE text (its bytes, two per code unit) in the system's ANSI code
  // page; false when a character has no form there (none is replaced by a
  // look-alike or a question mark) or the bytes are no UTF-16 text.
  virtual bool Utf16LeToAnsi(const std::string& utf16le, std::string* ansi) = 0;

  // Opens HKEY_LOCAL_MACHINE\`path` for reading (KEY_READ) in `view`.
  virtual bool OpenRegistryKey(const std::string& path, RegistryView view,
                               RegKey* key) = 0;
  // Reads a value as text: the stored bytes up to the first NUL or the end of
  // the data, whatever the value's type. Fails when there is no such value or
  // its data are longer than `maxBytes`.
  virtual bool QueryRegistryValue(RegKey key, const std::string& name,
                                  std::size_t maxBytes, std::string* text) = 0;
  // The number of subkeys; false when it cannot be read.
  virtual bool CountSubkeys(RegKey key, std::uint32_t* count) = 0;
  // The name of the subkey at `index` (from 0) in the registry's order; fails
  // for a name longer than 255 characters or an index past the end.
  virtual bool EnumerateSubkey(RegKey key, std::uint32_t index,
                               std::string* name) = 0;
  virtual void CloseRegistryKey(RegKey key) = 0;

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
  // Makes the pipes of an OutputPipes; false when they cannot be made.
  virtual bool CreateOutputPipes(OutputPipes* pipes) = 0;
  // Waits for what comes through a pipe; false at its end, when every
  // write end has been closed. Any thread.
  virtual bool ReadPipe(FileHandle pipe, std::string* chunk) = 0;
  // Makes the write ends the launcher's own standard output and error, for
  // the libraries it loads from now on (a Java VM's C library).
  virtual void UseOutputPipes(const OutputPipes& pipes) = 0;
  // Waits until the process is idle or has ended, at most `milliseconds`.
  virtual void WaitForIdle(ProcessHandle process, unsigned milliseconds) = 0;
  // Waits without limit until the process has ended.
  virtual void WaitForEnd(ProcessHandle process) = 0;
  virtual std::uint32_t ProcessExitCode(ProcessHandle process) = 0;
  virtual void CloseProcess(ProcessHandle process) = 0;
  // The system's message text for an error code, without a final line break.
  virtual std::string ErrorMessage(std::uint32_t errorCode) = 0;

  // The launcher's own command line, as the system passed it.
  virtual std::string OwnCommandLine() = 0;
  // The program's arguments (the program path first) as UTF-16 LE text (its
  // bytes, two per code unit), split by the same rules as the 8-bit ones, so
  // that no character is lost to the code page.
  virtual std::vector<std::string> WideArguments() = 0;
  // 8-bit text as UTF-16 LE text.
  virtual std::string AnsiToUtf16Le(const std::string& text) = 0;
  // True when the launcher itself is a 64-bit program.
  virtual bool Is64BitProcess() = 0;

  // --- a Java VM in the launcher's own process. Unless a contract says
  // otherwise, these are called from the launcher's first thread only.

  // Loads the library at the absolute `path`, the libraries it needs found
  // in `dependencyFolder` first (never in the launcher's folder or the
  // current directory before it). False, with the system's error code, when
  // it cannot be loaded.
  virtual bool LoadLibraryWithDependencies(const std::string& path,
                                           const std::string& dependencyFolder,
                                           LibraryHandle* library,
                                           std::uint32_t* errorCode) = 0;
  // The address of the function `name` that the library exports; nullptr
  // when it has none of that name.
  virtual void* LibraryFunction(LibraryHandle library, const char* name) = 0;
  // Starts body(context) on a new thread whose stack reserve is
  // `stackBytes`; false when no thread could be made. Any thread.
  virtual bool StartThread(std::size_t stackBytes, ThreadBody body,
                           void* context, ThreadHandle* thread) = 0;
  // Waits until `thread` has ended, at most `milliseconds`; true when it has.
  virtual bool WaitForThread(ThreadHandle thread, unsigned milliseconds) = 0;
  // Waits until `thread` has ended or WakeWaiterAndBlock() has been called,
  // whichever comes first.
  virtual void WaitForThreadOrWake(ThreadHandle thread) = 0;
  // Ends WaitForThreadOrWake, now or when it begins, and blocks the calling
  // thread for good: the process ends around it. One call, so that the
  // woken launcher may end (and its objects go) while this thread waits.
  // Any thread.
  virtual void WakeWaiterAndBlock() = 0;
  // Writes text that the Java VM printed to `stream` (a FILE* of the VM's own
  // C library): to standard output when it is the VM's standard output,
  // else to standard error. Any thread.
  virtual void WriteVmOutput(const void* stream, const std::string& text) = 0;
  // Gives a program without a console one of its own, for the application's
  // output in debug mode.
  virtual void OpenConsole() = 0;

  // Whole seconds since the epoch.
  virtual std::int64_t Now() = 0;
  // The local date and time as "YYYY-MM-DD hh:mm:ss".
  virtual std::string LocalTime() = 0;
  // The launcher's process id.
  virtual std::uint32_t ProcessId() = 0;

  // Writes to standard output / standard error. Lost when no stream is
  // attached.
  virtual void WriteOut(const std::string& text) = 0;
  virtual void WriteErr(const std::string& text) = 0;
  // Records a line of the launch log: what was read, chosen and decided.
  // The system itself keeps no log; the launch log does.
  virtual void Note(const std::string& line) = 0;
};

#endif  // LAUNCHER_PLATFORM_PLATFORM_OPS_H_
