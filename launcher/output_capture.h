#ifndef LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_
#define LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_

#include <string>

#include "launcher/output_lines.h"
#include "platform/lock.h"
#include "platform/processes.h"
#include "platform/threads.h"
#include "settings/launch_observer.h"
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
// pipes cannot be made. The capture notes each line to `observer` until it
// is closed.
OutputCapture* OpenCapture(const LaunchSettings& settings, Processes& processes,
                           Threads& threads, LaunchObserver& observer);
// Finishes a capture (nullptr: none), gives it up and returns the
// application's last lines of standard error.
std::string CloseCapture(OutputCapture* capture);

// Two threads of the launcher read the two pipes while the application runs,
// and note each line as "out: ..." or "err: ..." (one line, one write, in
// the log's bounds). They always read on, so that the application never
// waits on a full pipe, whatever the log can take. The last lines of
// standard error are kept for the early-failure message.
//
// The capture belongs to its opener and to each reader that runs: a reader
// can outlive the run (a grandchild still holds its pipe), so whichever of
// them lets go last frees it. The readers touch only the capture, its
// pipes, and the observer while the capture is not finished.
class OutputCapture {
 public:
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  const OutputPipes& pipes() const { return pipes_; }
  // Keeps lines that are exactly `line` out of the log (the runtime's words
  // about the startup cache); empty: none. Before the readers start.
  void Hide(const std::string& line) { hidden_ = line; }
  // Starts the readers once the child has the write ends; the launcher
  // closes its own, so that the pipes end when the child (and what it
  // started) does.
  void StartForChild();
  // Makes the write ends the launcher's own standard output and error (for
  // a VM in this process, whose C library takes them as it loads), and
  // starts the readers. Finish gives the launcher its own back.
  void StartForThisProcess();
  // After the application: waits a moment for what is still in the pipes,
  // then notes the unfinished last lines; nothing is noted after this.
  // Returns the last lines of standard error, each with its line break.
  std::string Finish();
  // The opener lets go; the capture goes when no reader uses it any more.
  void Release();

 private:
  friend OutputCapture* OpenCapture(const LaunchSettings&, Processes&,
                                    Threads&, LaunchObserver&);
  struct Stream {
    OutputCapture* capture;
    FileHandle pipe;
    const char* prefix;  // "out: ", "err: "
    LineSplitter lines;
    ThreadHandle thread = 0;
    bool started = false;
  };
  OutputCapture(Processes& processes, Threads& threads,
                LaunchObserver& observer)
      : processes_(processes), threads_(threads), observer_(observer) {}
  ~OutputCapture() = default;

  static void Read(void* stream);
  void StartReaders();
  void CloseWriteEnds();
  void Take(Stream& stream, const std::string& line);

  Processes& processes_;
  Threads& threads_;
  LaunchObserver& observer_;
  OutputPipes pipes_;
  bool writeEndsOpen_ = true;
  bool ownOutput_ = false;
  std::string hidden_;

  Lock lock_;  // guards the rest, which the readers share
  Stream out_{this, 0, "out: ", {}};
  Stream err_{this, 0, "err: ", {}};
  LineTail tail_;
  bool finished_ = false;
  int holders_ = 1;  // the opener and each reader that runs
};

#endif  // LAUNCHER_LAUNCHER_OUTPUT_CAPTURE_H_
