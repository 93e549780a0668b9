#include "jvm/java_main.h"

#include <jni.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/spin_lock.h"
#include "text/text_helpers.h"

namespace {

// The one run of this process. The VM's hooks take no context, so they find
// it here. It is never freed: VM threads may still print after RunJavaMain
// has returned, until the process ends.
struct Run {
  const JavaLaunch* launch;
  PlatformOps* os;
  JavaEnd end;
  // Set by whichever end comes first: main's, or the exit hook's.
  std::atomic_flag ended = ATOMIC_FLAG_INIT;
  // Guards `creating` and end.creationMessages against the VM's threads.
  SpinLock lock;
  bool creating = false;
};
Run* g_run = nullptr;

void Lock() { g_run->lock.Lock(); }

void Unlock() { g_run->lock.Unlock(); }

void EndWith(JavaEndKind kind, int code) {
  if (g_run->ended.test_and_set()) return;
  g_run->end.kind = kind;
  g_run->end.code = code;
}

bool Creating() {
  Lock();
  bool creating = g_run->creating;
  Unlock();
  return creating;
}

void EndAndBlock(JavaEndKind kind, int code) {
  EndWith(kind, code);
  g_run->os->WakeWaiterAndBlock();
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
  if (Creating()) EndAndBlock(JavaEndKind::kNotCreated, JNI_ERR);
}

jint JNICALL OnPrint(FILE* stream, const char* format, va_list args) {
  std::string text = FormatList(format, args);
  Lock();
  if (g_run->creating) g_run->end.creationMessages += text;
  Unlock();
  g_run->os->WriteVmOutput(stream, text);
  return static_cast<jint>(text.size());
}

void SetCreating(bool creating) {
  Lock();
  g_run->creating = creating;
  Unlock();
}

// Finds the main class and calls its main(String[]), saying on standard
// error why it could not.
JavaEndKind CallMain(JNIEnv* env, const JavaLaunch& launch) {
  std::string name = launch.mainClass;
  for (char& c : name) {
    if (c == '.') c = '/';
  }
  jclass mainClass = env->FindClass(name.c_str());
  if (mainClass == nullptr) {
    g_run->os->WriteErr(Format("Error: Could not find or load main class %s\n",
                               launch.mainClass.c_str()));
    env->ExceptionDescribe();
    return JavaEndKind::kMainNotFound;
  }
  jmethodID main =
      env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
  if (main == nullptr) {
    env->ExceptionClear();
    g_run->os->WriteErr(
        Format("Error: Main method not found in class %s, please define the "
               "main method as:\n   public static void main(String[] args)\n",
               launch.mainClass.c_str()));
    return JavaEndKind::kMainNotFound;
  }
  jsize count = static_cast<jsize>(launch.arguments.size());
  jclass stringClass = env->FindClass("java/lang/String");
  jobjectArray arguments =
      stringClass ? env->NewObjectArray(count, stringClass, nullptr) : nullptr;
  for (jsize i = 0; arguments != nullptr && i < count; ++i) {
    // UTF-16 LE bytes are jchars as they stand on a little-endian machine,
    // which every target of the launcher is.
    const std::string& text = launch.arguments[static_cast<std::size_t>(i)];
    jstring argument =
        env->NewString(reinterpret_cast<const jchar*>(text.data()),
                       static_cast<jsize>(text.size() / 2));
    if (argument == nullptr) break;
    env->SetObjectArrayElement(arguments, i, argument);
    env->DeleteLocalRef(argument);
  }
  if (!env->ExceptionCheck()) {
    jvalue value;
    value.l = arguments;
    env->CallStaticVoidMethodA(mainClass, main, &value);
    if (!env->ExceptionCheck()) return JavaEndKind::kMainReturned;
  }
  env->ExceptionDescribe();
  return JavaEndKind::kMainThrew;
}

// The thread that creates the VM, and so owns its JNIEnv, runs main and
// destroys the VM.
void RunOnVmThread(void*) {
  const JavaLaunch& launch = *g_run->launch;
  // The hooks come first: the VM reads its options in order and tells of
  // the first one it refuses at once, through the hook it knows by then.
  const char* const hooks[] = {"exit", "abort", "vfprintf"};
  void* const hookFunctions[] = {reinterpret_cast<void*>(&OnExit),
                                 reinterpret_cast<void*>(&OnAbort),
                                 reinterpret_cast<void*>(&OnPrint)};
  std::size_t count = 3 + launch.options.size();
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
  JavaEndKind kind = CallMain(env, launch);
  // Waits for the application's other non-daemon threads; one of them may
  // still call System.exit, whose code then wins.
  vm->DestroyJavaVM();
  EndWith(kind, kind == JavaEndKind::kMainReturned ? 0 : 1);
}

}  // namespace

JavaEnd RunJavaMain(const JavaLaunch& launch, PlatformOps& os) {
  g_run = new Run;
  g_run->launch = &launch;
  g_run->os = &os;
  ThreadHandle thread;
  if (os.StartThread(launch.stackBytes, RunOnVmThread, nullptr, &thread)) {
    os.WaitForThreadOrWake(thread);
  }
  return g_run->end;
}
