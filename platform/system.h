#ifndef LAUNCHER_PLATFORM_SYSTEM_H_
#define LAUNCHER_PLATFORM_SYSTEM_H_

#include <cstdint>
#include <optional>
#include <string>

// What the system answers about itself: its version, the environment, the
// clock, its code page and its error texts.
class System {
 public:
  // The system's major version number; 0 when it cannot be read.
  virtual unsigned SystemMajorVersion() = 0;
  // The value of an environment variable, or none. Names compare without
  // regard to case.
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
  // Sets an environment variable of the launcher, which the processes it
  // starts inherit.
  virtual void SetEnvironment(const std::string& name,
                              const std::string& value) = 0;
  // Removes a variable from the launcher's environment (none is no error).
  virtual void RemoveEnvironment(const std::string& name) = 0;
  // Whole seconds since the epoch.
  virtual std::int64_t Now() = 0;
  // The local date and time as "YYYY-MM-DD hh:mm:ss".
  virtual std::string LocalTime() = 0;
  // The system's message text for an error code, without a final line break.
  virtual std::string ErrorMessage(std::uint32_t errorCode) = 0;
  // UTF-16 LE text (its bytes, two per code unit) in the system's ANSI code
  // page; false when a character has no form there (none is replaced by a
  // look-alike or a question mark) or the bytes are no UTF-16 text.
  virtual bool Utf16LeToAnsi(const std::string& utf16le, std::string* ansi) = 0;
  // 8-bit text as UTF-16 LE text.
  virtual std::string AnsiToUtf16Le(const std::string& text) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~System() = default;
};

#endif  // LAUNCHER_PLATFORM_SYSTEM_H_
