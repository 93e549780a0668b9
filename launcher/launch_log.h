#ifndef LAUNCHER_LAUNCHER_LAUNCH_LOG_H_
#define LAUNCHER_LAUNCHER_LAUNCH_LOG_H_

#include <optional>
#include <string>
#include <vector>

#include "launcher/output_lines.h"
#include "settings/launch_settings.h"
#include "platform/platform_wrapper.h"
#include "platform/spin_lock.h"

// The launch log, for support: when the configuration names a logFile, every
// run appends one block of lines to it: the notes of the logic (what was
// read, which runtime was chosen and why, the exit codes), every message
// shown with the answer to a question, every command line started, what went
// to standard error, and in debug mode every trace.
//
// It sits between the logic and the system and forwards every call. Until
// Open() is called (once the configuration has been read) it keeps its lines;
// then it writes them, and the later ones as they come.
//
// The log never hurts the application: a log that cannot be opened or
// written is given up (debug mode says so), each line goes out in one write
// so that two runs at once never mix within a line, and each line begins
// with the process id so that their lines can be told apart.
class LaunchLog : public PlatformWrapper {
 public:
  LaunchLog(PlatformOps& inner, const LaunchSettings& settings);
  ~LaunchLog() override;
  LaunchLog(const LaunchLog&) = delete;
  LaunchLog& operator=(const LaunchLog&) = delete;

  // From now on the lines go to `path`; none means there is no log, and the
  // lines kept are dropped. A log over kLogRotationBytes is first renamed to
  // path.1 (replacing an older one) and begun anew.
  void Open(const std::optional<std::string>& path);

  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;
  StartedProcess StartProcess(
      const std::string& commandLine,
      const std::optional<std::string>& directory,
      const std::optional<std::string>& consoleTitle,
      const ChildOptions& options = ChildOptions()) override;
  void WriteOut(const std::string& text) override;
  void WriteErr(const std::string& text) override;
  void Note(const std::string& line) override;
  // What a VM in the launcher's own process printed, line by line; any
  // thread.
  void WriteVmOutput(const void* stream, const std::string& text) override;

 private:
  enum class State { kKeeping, kWriting, kOff };

  void Record(const std::string& line);
  // Sets the log aside as path.1 and begins it anew; false when the new one
  // cannot be opened (the old one is closed either way).
  bool Rotate();
  void Write(const std::string& line);
  void GiveUp(const std::string& why);

  const LaunchSettings& settings_;
  State state_ = State::kKeeping;
  std::vector<std::string> kept_;
  std::string path_;
  FileHandle file_ = 0;
  std::uint64_t size_ = 0;  // the bytes in the file
  std::string prefix_;  // "[pid] "
  LineSplitter vmLines_;
  // Lines come from the VM's and the output readers' threads too.
  SpinLock busy_;
};

// The size above which a log is set aside: at the start of a run, and during
// one before a line would take it further.
inline constexpr std::uint64_t kLogRotationBytes = 1u << 20;

#endif  // LAUNCHER_LAUNCHER_LAUNCH_LOG_H_
