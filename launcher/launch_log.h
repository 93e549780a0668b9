#ifndef LAUNCHER_LAUNCHER_LAUNCH_LOG_H_
#define LAUNCHER_LAUNCHER_LAUNCH_LOG_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/output_lines.h"
#include "platform/files.h"
#include "platform/lock.h"
#include "platform/user_interface.h"
#include "settings/launch_observer.h"
#include "settings/launch_settings.h"

// The launch log, for support: when the configuration names a logFile, every
// run appends one block of lines to it: the notes of the logic (what was
// read, which runtime was chosen and why, the exit codes), every message
// shown with the answer to a question, every command line started, what went
// to standard error, and in debug mode every trace.
//
// It watches the launch: the layers tell it what happened. Until Open() is
// called (once the configuration has been read) it keeps its lines; then it
// writes them, and the later ones as they come.
//
// The log never hurts the application: a log that cannot be opened or
// written is given up (debug mode says so), each line goes out in one write
// so that two runs at once never mix within a line, and each line begins
// with the process id so that their lines can be told apart. Lines come from
// the VM's threads and the output readers too; they wait for each other.
class LaunchLog : public LaunchObserver {
 public:
  // `shown` is where debug mode says that the log was given up.
  LaunchLog(Files& files, UserInterface& shown, std::uint32_t processId,
            const LaunchSettings& settings);
  ~LaunchLog();
  LaunchLog(const LaunchLog&) = delete;
  LaunchLog& operator=(const LaunchLog&) = delete;

  // From now on the lines go to `path`; none means there is no log, and the
  // lines kept are dropped. A log over kLogRotationBytes is first renamed to
  // path.1 (replacing an older one) and begun anew.
  void Open(const std::optional<std::string>& path);

  void Note(const std::string& line) override;
  void MessageShown(const std::string& text, const std::string& caption,
                    unsigned style, int answer) override;
  void Traced(const std::string& text) override;
  void ErrorWritten(const std::string& text) override;
  void ProcessStarted(const std::string& commandLine, bool started) override;
  // Line by line, the last unfinished one when the log ends.
  void VmPrinted(const std::string& text) override;

 private:
  enum class State { kKeeping, kWriting, kOff };

  void Record(const std::string& line);
  // The parts that run with the lock held.
  void RecordLocked(const std::string& line);
  // Sets the log aside as path.1 and begins it anew; false when the new one
  // cannot be opened (the old one is closed either way).
  bool Rotate();
  void Write(const std::string& line);
  void GiveUp(const std::string& why);

  Files& files_;
  UserInterface& shown_;
  const LaunchSettings& settings_;
  const std::string prefix_;  // "[pid] "

  Lock lock_;  // guards the rest
  State state_ = State::kKeeping;
  std::vector<std::string> kept_;
  std::string path_;
  FileHandle file_ = 0;
  std::uint64_t size_ = 0;  // the bytes in the file
  LineSplitter vmLines_;
};

// The size above which a log is set aside: at the start of a run, and during
// one before a line would take it further.
inline constexpr std::uint64_t kLogRotationBytes = 1u << 20;

// What the user is shown, shown and then told to the launch's observer: the
// messages with their answers, the traces of debug mode, and what went to
// standard error.
class RecordedUserInterface : public UserInterface {
 public:
  RecordedUserInterface(UserInterface& shown, LaunchObserver& observer,
                        const LaunchSettings& settings)
      : shown_(shown), observer_(observer), settings_(settings) {}

  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;
  void WriteOut(const std::string& text) override;
  void WriteErr(const std::string& text) override;
  void OpenConsole() override { shown_.OpenConsole(); }
  bool ShowSplash(const std::string& imagePath) override;

 private:
  UserInterface& shown_;
  LaunchObserver& observer_;
  const LaunchSettings& settings_;
};

#endif  // LAUNCHER_LAUNCHER_LAUNCH_LOG_H_
