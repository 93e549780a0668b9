#ifndef LAUNCHER_PLATFORM_THIS_PROGRAM_H_
#define LAUNCHER_PLATFORM_THIS_PROGRAM_H_

#include <cstdint>
#include <string>
#include <vector>

// The launcher's own executable and process: where it is, how it was
// started, and what it carries.
class ThisProgram {
 public:
  // The full path of the launcher's own executable, whatever the command
  // line says.
  virtual std::string ModulePath() = 0;
  // The launcher's own command line, as the system passed it.
  virtual std::string OwnCommandLine() = 0;
  // The program's arguments (the program path first) as UTF-16 LE text (its
  // bytes, two per code unit), split by the same rules as the 8-bit ones, so
  // that no character is lost to the code page.
  virtual std::vector<std::string> WideArguments() = 0;
  // The configuration embedded in the launcher's own executable, byte for
  // byte; false when it carries none.
  virtual bool EmbeddedConfiguration(std::string* content) = 0;
  // True when the launcher's own executable carries an application archive
  // after its image (the branding tool's announcement says so).
  virtual bool CarriesArchive() = 0;
  // True when the launcher itself is a 64-bit program.
  virtual bool Is64BitProcess() = 0;
  // The launcher's process id.
  virtual std::uint32_t ProcessId() = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~ThisProgram() = default;
};

#endif  // LAUNCHER_PLATFORM_THIS_PROGRAM_H_
