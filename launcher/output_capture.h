#ifndef LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_
#define LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_

#include <string>

#include "launcher/output_lines.h"
#include "platform/platform_ops.h"
#include "platform/spin_lock.h"
#include "settings/launch_settings.h"

// The application's standard output and error in the launch log, for a GUI
// launcher whose application has no console: what a Java runtime writes
// there (a stack trace, a library's warning, "Error occurred during
// initialization of VM") is otherwise lost.

// Whether this run puts the application's output in its log: a flavour
// whose application has no console of its own, with a logFile.
bool CapturesOutput(const LaunchSettings& settings);

class OutputCapture;

// This run's capture, its pipes made; nullptr when the run has none or the
// pipes cannot be made.
OutputCapture* OpenCapture(const LaunchSettings& settings, PlatformOps& os);
// Finishes a capture (nullptr: none) and returns the application's last
// lines of standard error. A capture whose reader still runs is left to it.
std::string CloseCapture(OutputCapture* capture);

// Two threads of the launcher read the two pipes while the application runs,
// and note each line as "out: ..." or "err: ..." (os.Note, which the launch
// log takes; one line, one write, in the log's bounds). They always read on,
// so that the application never waits on a full pipe, whatever the log can
// take. The last lines of standard error are kept for the early-failure
// message.
class OutputCapture {
 public:
  explicit OutputCapture(PlatformOps& os) : os_(os) {}
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  // Makes the pipes; false (and nothing captured) when they cannot be made.
  bool Open();
  const OutputPipes& pipes() const { return pipes_; }
  // Starts the readers once the writer has the write ends. `childHasThem`:
  // the launcher closes its own, so that the pipes end when the child (and
  // what it started) does; else they are the launcher's own output, closed
  // by Finish.
  void Start(bool childHasThem);
  // After the application: waits a moment for what is still in the pipes,
  // then notes the unfinished last lines; nothing is noted after this.
  // Returns the last lines of standard error, each with its line break.
  std::string Finish();
  // Whether a reader still runs (a grandchild holds a pipe): then this must
  // outlive the run, since the reader goes on using it until its pipe ends.
  bool StillReading() const { return stillReading_; }

 private:
  struct Stream {
    OutputCapture* capture;
    FileHandle pipe;
    const char* prefix;  // "out: ", "err: "
    LineSplitter lines;
    ThreadHandle thread = 0;
    bool started = false;
  };
  static void Read(void* stream);
  void CloseWriteEnds();
  bool Finished();
  void Take(Stream& stream, const std::string& line);

  PlatformOps& os_;
  OutputPipes pipes_;
  Stream out_{this, 0, "out: ", {}};
  Stream err_{this, 0, "err: ", {}};
  LineTail tail_;
  bool finished_ = false;
  bool writeEndsOpen_ = true;
  bool stillReading_ = false;
  SpinLock busy_;
};

#endif  // LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_
