#ifndef LAUNCHER_JVM_VM_OPTIONS_H_
#define LAUNCHER_JVM_VM_OPTIONS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "jvm/java_main.h"

// What the java command makes of the options before the main class, for a
// Java VM created through JNI, which knows only the VM's own options: the
// java command's own are handled here, as it handles them, and never handed
// to the VM to be refused.
struct VmOptions {
  // The VM's options, in the order written.
  std::vector<std::string> options;
  // Class path entries that -cp, -classpath or --class-path gave.
  std::vector<std::string> classPath;
  // The -Xss value in bytes; 0 when no option gives one.
  std::size_t stackBytes = 0;
  // "server" or "client": the last of -server and -client, which chooses
  // the runtime's VM; empty: the first one there is.
  std::string vmKind;
  // The image of -splash:, as written.
  std::optional<std::string> splash;
  // -version and its kin.
  VersionRequest version;
  // --dry-run: the VM is made and the main class checked, but not run.
  bool dryRun = false;
  // An option of the java command that has no form here; empty when none.
  std::string unsupported;
};

// The words of `vmParams`, each split as the C runtime of the java command
// would split it from a command line (so the quotes that value expansion
// put around a path with spaces go, as they do for a child runtime).
std::vector<std::string> VmParamWords(const std::vector<std::string>& vmParams);

// The meaning of the java command's option words:
// - "--add-opens V", "--add-exports V", "--add-reads V", "--add-modules V",
//   "--module-path V", "--upgrade-module-path V", "--limit-modules V",
//   "--patch-module V" and "--enable-native-access V" become "--opt=V", the
//   value being the next word;
// - "-p V" becomes "--module-path=V";
// - "-cp V", "-classpath V", "--class-path V" and "--class-path=V" put V
//   (one entry, which may list several) in `classPath` instead;
// - "-Xss<size>" (k, m or g for KiB, MiB, GiB) also sets `stackBytes`;
// - -server and -client choose the VM; -splash:FILE, the version options,
//   --dry-run and -Xdiag are taken as the java command takes them;
// - the java command's other options of its own (--list-modules, -jar,
//   -XshowSettings...) name themselves in `unsupported`;
// - everything else, including a form above without its value, is an
//   option as it stands: the VM refuses what it does not know, in words.
VmOptions TranslateJavaOptions(const std::vector<std::string>& words);

// TranslateJavaOptions of VmParamWords.
VmOptions TranslateVmParams(const std::vector<std::string>& vmParams);

#endif  // LAUNCHER_JVM_VM_OPTIONS_H_
