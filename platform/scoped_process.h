#ifndef LAUNCHER_PLATFORM_SCOPED_PROCESS_H_
#define LAUNCHER_PLATFORM_SCOPED_PROCESS_H_

#include "platform/processes.h"

// The handle of a started process, closed when the holder goes out of scope,
// so that no path out of a launch leaves it open. Holds nothing when the
// start failed.
class ScopedProcess {
 public:
  ScopedProcess(Processes& processes, const StartedProcess& started)
      : processes_(processes), handle_(started.handle), open_(started.ok) {}
  ~ScopedProcess() {
    if (open_) processes_.CloseProcess(handle_);
  }
  ScopedProcess(const ScopedProcess&) = delete;
  ScopedProcess& operator=(const ScopedProcess&) = delete;

  ProcessHandle get() const { return handle_; }

 private:
  Processes& processes_;
  ProcessHandle handle_;
  bool open_;
};

#endif  // LAUNCHER_PLATFORM_SCOPED_PROCESS_H_
