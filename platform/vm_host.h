#ifndef LAUNCHER_PLATFORM_VM_HOST_H_
#define LAUNCHER_PLATFORM_VM_HOST_H_

#include <cstdarg>
#include <cstdint>
#include <string>

// What a Java VM in the launcher's own process needs of the system: its
// library, the rules of its C library, and the process's standard streams.

using LibraryHandle = std::uintptr_t;

// Where a text of the VM goes: a standard stream, or a file the VM opened
// itself (a log's, as -Xlog:gc:file=gc.log asks).
enum class VmStream { kOutput, kError, kFile };

class VmHost {
 public:
  // Loads the library at the absolute `path`, the libraries it needs found
  // in `dependencyFolder` first (never in the launcher's folder or the
  // current directory before it). False, with the system's error code, when
  // it cannot be loaded. First thread only.
  virtual bool LoadLibraryWithDependencies(const std::string& path,
                                           const std::string& dependencyFolder,
                                           LibraryHandle* library,
                                           std::uint32_t* errorCode) = 0;
  // The address of the function `name` that the library exports; nullptr
  // when it has none of that name.
  virtual void* LibraryFunction(LibraryHandle library, const char* name) = 0;
  // The text that the VM's own C library prints for `format` and `args` to
  // its stream `vmFile` (a FILE* of that library), by that library's rules:
  // the VM's format strings are written for them. Leaves `args` to the
  // caller to end. Any thread.
  virtual std::string FormatVmText(const void* vmFile, const char* format,
                                   va_list args) = 0;
  // Which standard stream a FILE* of the VM's C library is, or kFile for
  // another. Any thread.
  virtual VmStream StreamOf(const void* vmFile) = 0;
  // Prints to a file the VM opened (kFile) by the VM's own C library, as
  // the VM does when the launcher's hook is not there; that library's
  // result. Leaves `args` to the caller to end. Any thread.
  virtual int PrintToVmFile(const void* vmFile, const char* format,
                            va_list args) = 0;
  // The separator of the entries of the VM's class path: ';' on Windows.
  virtual char ClassPathSeparator() = 0;
  // Writes to the process's standard output or error as they are now (the
  // capture's pipes, while there is one), where the VM's own writes go.
  // Any thread.
  virtual void WriteVmOutput(VmStream stream, const std::string& text) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~VmHost() = default;
};

#endif  // LAUNCHER_PLATFORM_VM_HOST_H_
