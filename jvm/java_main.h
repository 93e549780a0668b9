#ifndef LAUNCHER_JVM_JAVA_MAIN_H_
#define LAUNCHER_JVM_JAVA_MAIN_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/threads.h"
#include "platform/vm_host.h"
#include "settings/launch_observer.h"

// What the java command's version options ask for: -version and --version
// print and end, -showversion and --show-version print and run,
// -fullversion and --full-version print the full version and end. The --
// forms print to standard output, the others to standard error.
struct VersionRequest {
  bool asked = false;
  bool toStandardOutput = false;
  bool full = false;
  bool thenRun = false;
};

// A Java application to run in this process through the JNI invocation API.
struct JavaLaunch {
  // JNI_CreateJavaVM of a loaded VM library.
  void* createJavaVm = nullptr;
  // The VM's options, in order. The exit, abort and vfprintf hooks are put
  // before them, so that the VM knows them when it refuses one of these.
  std::vector<std::string> options;
  // The main class as written ("tool.Main", or "tool/Main"); in a module,
  // empty for the module's own main class.
  std::string mainClass;
  // The module whose main class runs, as `java -m` runs it; empty: the
  // main class comes from the class path.
  std::string mainModule;
  // The runtime's feature version (17, 25...): main is looked for as the
  // java command of that version does. 0 when unknown: as through Java 24.
  int javaVersion = 0;
  VersionRequest version;
  // --dry-run: the VM is made and the main class checked, not run.
  bool dryRun = false;
  // What the java command says on standard error before it makes the VM
  // ("NOTE: Picked up JDK_JAVA_OPTIONS: ..."); and, when not empty, why it
  // refuses to make one, said then: the run ends with 1.
  std::string prelude;
  std::string refusal;
  // The class path as the VM gets it (its option is among `options`).
  std::string classPath;
  // A line the VM prints about the startup cache as it is being made
  // (launcher/startup_cache.h), kept from the application's output: a text
  // that holds it is not printed; empty when none.
  std::string quietLine;
  // Which of the runtime's VMs (-server, -client; empty: the first), and
  // the image of -splash:, for the launcher to show; not the VM's business.
  std::string vmKind;
  std::optional<std::string> splash;
  // The arguments of main(String[]), exactly: each as UTF-16 LE text (its
  // bytes, two per code unit).
  std::vector<std::string> arguments;
  // The stack reserve of the thread that creates the VM and runs main.
  std::size_t stackBytes = 0;
};

enum class JavaEndKind {
  kNoThread,      // the thread could not be made; nothing ran
  kNotCreated,    // JNI_CreateJavaVM failed; `code` is its result (JNI_ERR
                  // when the VM gave up in the middle of its creation)
  kRefused,       // the java command's options were refused (code 1)
  kMainNotFound,  // the class or its main method is missing (code 1)
  kMainThrew,     // main ended with an exception (code 1)
  kMainReturned,  // main returned and the VM was destroyed (code 0)
  kExited,        // System.exit (or Runtime.halt): `code` is its code
};

struct JavaEnd {
  JavaEndKind kind = JavaEndKind::kNoThread;
  int code = 0;
  // What the VM wrote through the vfprintf hook while it was being created:
  // the reason, when creation failed ("Unrecognized option: --bogus").
  std::string creationMessages;
};

// Runs the application and returns when it has ended:
// - on a thread of its own (threads.StartThread, `stackBytes`), which
//   creates the VM (JNI version 1.2, unrecognized options refused) and so
//   owns the JNIEnv it gets, prints what a version option asked for, and
//   runs main as the java command of the runtime's version does
//   (main_method.h), with the arguments made from UTF-16;
// - what java says when it refuses the class or its main is written where
//   the application's standard error goes (vm.WriteVmOutput);
// - after main the thread leaves the VM as java's main thread does, an
//   exception out of main going to its uncaught-exception handler, and
//   DestroyJavaVM waits for the application's other non-daemon threads;
// - System.exit(n) reaches the exit hook on a thread of the VM, which ends
//   the wait with kExited and n, and then blocks that thread for good, so
//   that the process ends only when the launcher is done (restarting,
//   reporting) and never before;
// - a VM that gives up in the middle of its creation (too small a heap),
//   which would end the process itself, reaches the abort hook instead,
//   which ends the wait with kNotCreated and blocks that thread likewise;
// - every text the VM prints, from whichever thread, is formatted by the
//   VM's own C library's rules (vm.FormatVmText) and written to its stream
//   (vm.WriteVmOutput); `observer`, when given, hears it too, until this
//   returns: no thread of the VM reaches it after that.
// The JNI invocation API allows one VM per process, and so does this: call
// it once. The VM's threads may use `threads` and `vm` until the process
// ends.
JavaEnd RunJavaMain(const JavaLaunch& launch, Threads& threads, VmHost& vm,
                    LaunchObserver* observer);

#endif  // LAUNCHER_JVM_JAVA_MAIN_H_
