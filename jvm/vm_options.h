#ifndef LAUNCHER_JVM_VM_OPTIONS_H_
#define LAUNCHER_JVM_VM_OPTIONS_H_

#include <cstddef>
#include <string>
#include <vector>

// What the `vmparam` lines of a configuration mean to a Java VM created
// through JNI, which knows only the VM's own options, not the forms that the
// `java` command adds.
struct VmOptions {
  // The VM's options, in the order written.
  std::vector<std::string> options;
  // Class path entries that -cp, -classpath or --class-path gave.
  std::vector<std::string> classPath;
  // The -Xss value in bytes; 0 when no parameter gives one.
  std::size_t stackBytes = 0;
};

// Each parameter is split into words as the C runtime of the java command
// would split it from a command line (so the quotes that value expansion put
// around a path with spaces go, as they do for a child runtime), then:
// - "--add-opens V", "--add-exports V", "--add-reads V", "--add-modules V",
//   "--module-path V", "--upgrade-module-path V", "--limit-modules V",
//   "--patch-module V" and "--enable-native-access V" become "--opt=V", the
//   value being the next word (in the same parameter or the next one);
// - "-p V" becomes "--module-path=V";
// - "-cp V", "-classpath V", "--class-path V" and "--class-path=V" put V
//   (one entry, which may list several) in `classPath` instead;
// - "-Xss<size>" (k, m or g for KiB, MiB, GiB) also sets `stackBytes`;
// - everything else, including a form above without its value, is an
//   option as it stands: the VM refuses what it does not know, in words.
VmOptions TranslateVmParams(const std::vector<std::string>& vmParams);

#endif  // LAUNCHER_JVM_VM_OPTIONS_H_
