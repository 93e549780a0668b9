#ifndef LAUNCHER_RUNTIME_JVM_LIBRARY_H_
#define LAUNCHER_RUNTIME_JVM_LIBRARY_H_

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/this_program.h"

// The Java VM library (jvm.dll) of a runtime, for a launcher that runs the VM
// in its own process: where it is, and whether this launcher can load it.

// The runtime home of a runtime executable: the folder above the folder that
// holds it ("C:\jre6\bin\javaw.exe", quoted or not, gives "C:\jre6").
std::string RuntimeHomeOfExecutable(const std::string& executable);

// The places a runtime keeps its VM library, in the order they are tried:
// home\bin\server, home\bin\client, home\jre\bin\server, home\jre\bin\client;
// for the "client" kind (-client) the client ones first.
std::string JvmLibraryPlace(const std::string& home, const std::string& kind,
                            int index);
constexpr int kJvmLibraryPlaces = 4;

// The PE machine of a DLL's first bytes; 0 when they are no PE file.
std::uint16_t PeMachine(const std::string& bytes);

struct JvmLibrary {
  std::string path;       // empty when the runtime has none
  std::string binFolder;  // the runtime's bin folder, with its other DLLs
  // Why this launcher cannot load it ("32-bit, and this launcher is
  // 64-bit"); empty when it can.
  std::string misfit;
};

// The runtime's VM library of that kind: the first place that has one, and
// whether it is of this launcher's architecture.
JvmLibrary FindJvmLibrary(const std::string& home, const std::string& kind,
                          Files& files, ThisProgram& program);

#endif  // LAUNCHER_RUNTIME_JVM_LIBRARY_H_
