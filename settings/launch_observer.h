#ifndef LAUNCHER_SETTINGS_LAUNCH_OBSERVER_H_
#define LAUNCHER_SETTINGS_LAUNCH_OBSERVER_H_

#include <string>

// Whoever keeps the record of a launch, for support: the launch log. The
// layers tell it what they read, chose and decided, and what the user and
// the application were shown or said; it only watches, and nothing it does
// changes the launch. Every call may come from any thread.
class LaunchObserver {
 public:
  // A line of the record: what was read, chosen or decided.
  virtual void Note(const std::string& line) = 0;
  // A message the user was shown, and the answer when it asked a question.
  virtual void MessageShown(const std::string& text, const std::string& caption,
                            unsigned style, int answer) = 0;
  // A trace of debug mode, and what the launcher wrote to standard error.
  virtual void Traced(const std::string& text) = 0;
  virtual void ErrorWritten(const std::string& text) = 0;
  // A process the launcher started, or tried to.
  virtual void ProcessStarted(const std::string& commandLine, bool started) = 0;
  // What a Java VM in the launcher's own process printed, as it came.
  virtual void VmPrinted(const std::string& text) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~LaunchObserver() = default;
};

#endif  // LAUNCHER_SETTINGS_LAUNCH_OBSERVER_H_
