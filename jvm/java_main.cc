#include "jvm/java_main.h"

#include <jni.h>

#include <cstdarg>
#include <cstdio>

#include "jvm/main_method.h"
#include "platform/lock.h"
#include "text/text_helpers.h"

namespace {

// The run of the one VM that a process can make, and what its hooks share.
// The hooks take no context, so they find it through g_run; and since the
// VM's threads may call them until the process ends (a print after main, an
// exit hook that blocks), it is made once, before the VM's first thread,
// and never destroyed.
struct Run {
  const JavaLaunch* launch = nullptr;
  Threads* threads = nullptr;
  VmHost* vm = nullptr;

  Lock lock;  // guards the fields below, which the VM's threads share
  LaunchObserver* observer = nullptr;
  std::string quietLine;  // the launch's, kept here: the hooks outlive it
  bool creating = false;
  bool ended = false;  // the first end wins: main's, or a hook's
  JavaEnd end;
};

Run* g_run = nullptr;

Run& TheRun() { return *g_run; }

void EndWith(JavaEndKind kind, int code) {
  Run& run = TheRun();
  LockGuard guard(run.lock);
  if (run.ended) return;
  run.ended = true;
  run.end.kind = kind;
  run.end.code = code;
}

void EndAndBlock(JavaEndKind kind, int code) {
  EndWith(kind, code);
  TheRun().threads->WakeWaiterAndBlock();
}

// System.exit and Runtime.halt end here, on a thread of the VM, after the
// shutdown hooks. The VM would end the process if this returned; the
// launcher decides instead, so the thread stays here for good.
void JNICALL OnExit(jint code) {
  EndAndBlock(JavaEndKind::kExited, static_cast<int>(code));
}

// A VM that fails in the middle of its creation (too small a heap, a
// missing library of its own) ends the process after this hook instead of
// returning an error: then the wait ends as for a refused creation, with the
// VM's words in the creation messages. A fatal error later ends the process
// as the VM decides.
void JNICALL OnAbort() {
  Run& run = TheRun();
  bool creating;
  {
    LockGuard guard(run.lock);
    creating = run.creating;
  }
  if (creating) EndAndBlock(JavaEndKind::kNotCreated, JNI_ERR);
}

// Writes a text where the VM's stream goes, and tells the observer while
// there is one.
void Print(VmStream stream, const std::string& text) {
  Run& run = TheRun();
  run.vm->WriteVmOutput(stream, text);
  LockGuard guard(run.lock);
  if (run.creating) run.end.creationMessages += text;
  if (run.observer != nullptr) run.observer->VmPrinted(text);
}

jint JNICALL OnPrint(FILE* stream, const char* format, va_list args) {
  Run& run = TheRun();
  VmHost& vm = *run.vm;
  // A file of the VM's own (a log's) is none of the application's output.
  const VmStream where = vm.StreamOf(stream);
  if (where == VmStream::kFile) return vm.PrintToVmFile(stream, format, args);
  const std::string text = vm.FormatVmText(stream, format, args);
  bool quiet;
  {
    LockGuard guard(run.lock);
    quiet = !run.quietLine.empty() &&
            text.find(run.quietLine) != std::string::npos;
  }
  if (!quiet) Print(where, text);
  return static_cast<jint>(text.size());
}

void SetCreating(bool creating) {
  Run& run = TheRun();
  LockGuard guard(run.lock);
  run.creating = creating;
}

void SayError(const std::string& text) { Print(VmStream::kError, text); }

// The thread that creates the VM, and so owns its JNIEnv, runs main and
// destroys the VM.
void RunOnVmThread(void*) {
  const JavaLaunch& launch = *TheRun().launch;
  // The hooks come first: the VM reads its options in order and tells of
  // the first one it refuses at once, through the hook it knows by then.
  const char* const hooks[] = {"exit", "abort", "vfprintf"};
  void* const hookFunctions[] = {reinterpret_cast<void*>(&OnExit),
                                 reinterpret_cast<void*>(&OnAbort),
                                 reinterpret_cast<void*>(&OnPrint)};
  const std::size_t count = 3 + launch.options.size();
  JavaVMOption* options = new JavaVMOption[count];
  for (std::size_t i = 0; i < count; ++i) {
    options[i].optionString =
        const_cast<char*>(i < 3 ? hooks[i] : launch.options[i - 3].c_str());
    options[i].extraInfo = i < 3 ? hookFunctions[i] : nullptr;
  }
  JavaVMInitArgs args;
  args.version = JNI_VERSION_1_2;
  args.nOptions = static_cast<jint>(count);
  args.options = options;
  args.ignoreUnrecognized = JNI_FALSE;

  using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  SetCreating(true);
  jint created = reinterpret_cast<CreateJavaVm>(launch.createJavaVm)(
      &vm, reinterpret_cast<void**>(&env), &args);
  SetCreating(false);
  delete[] options;
  if (created != JNI_OK) {
    EndWith(JavaEndKind::kNotCreated, static_cast<int>(created));
    return;
  }
  JavaEndKind kind = JavaEndKind::kMainReturned;
  if (launch.version.asked) {
    Print(launch.version.toStandardOutput ? VmStream::kOutput
                                          : VmStream::kError,
          VersionText(env, launch.version));
  }
  if (!launch.version.asked || launch.version.thenRun) {
    kind = RunMainMethod(env, launch, SayError);
  }
  // The main thread ends as java's does: an exception out of main goes to
  // its uncaught-exception handler as it leaves, which may end the process
  // itself; then the VM waits for the application's other non-daemon
  // threads, one of which may still call System.exit, whose code wins.
  vm->DetachCurrentThread();
  vm->DestroyJavaVM();
  EndWith(kind, kind == JavaEndKind::kMainReturned ? 0 : 1);
}

}  // namespace

JavaEnd RunJavaMain(const JavaLaunch& launch, Threads& threads, VmHost& vm,
                    LaunchObserver* observer) {
  if (g_run == nullptr) g_run = new Run;
  Run& run = *g_run;
  {
    LockGuard guard(run.lock);
    run.launch = &launch;
    run.threads = &threads;
    run.vm = &vm;
    run.observer = observer;
    run.quietLine = launch.quietLine;
    run.creating = false;
    run.ended = false;
    run.end = JavaEnd();
  }
  // What the java command says before it makes the VM, and when it
  // refuses to make one.
  if (!launch.prelude.empty()) SayError(launch.prelude);
  ThreadHandle thread;
  if (!launch.refusal.empty()) {
    SayError(launch.refusal);
    EndWith(JavaEndKind::kRefused, 1);
  } else if (threads.StartThread(launch.stackBytes, RunOnVmThread, nullptr,
                                 &thread)) {
    threads.WaitForThreadOrWake(thread);
    threads.CloseThread(thread);
  }
  LockGuard guard(run.lock);
  run.observer = nullptr;
  return run.end;
}
