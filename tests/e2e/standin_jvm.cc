// Stand-in for a Java runtime's jvm.dll in the end-to-end tests of the
// launcher's in-process mode. It imports a function of standin_jvmdep.dll,
// which sits in the runtime's bin folder, so that it loads only when that
// folder is on the DLL search path.
//
// JNI_CreateJavaVM appends one JSON object (one line) to the file that
// STANDIN_JVM_LOG names:
//   {"pid", "exe": the process's own module, "jvm": this DLL's path, "cwd",
//    "version", "ignoreUnrecognized", "options": [optionString...],
//    "hooks": [the options that carry a function], "class" (the first one
//    asked for), "args": [...],
//    "stack": the creating thread's stack reserve, in bytes,
//    "launchers": how many processes of the launcher's executable name run}
// The record is written when the run ends, so it holds what main received.
//
// What happens is scripted by the file STANDIN_SCRIPT, line N (from 1) for
// the run that finds N-1 records already in the log: "CODE DELAY_MS [throw]".
// main waits DELAY_MS, then returns (CODE 0), throws (with "throw") or calls
// the exit hook with CODE. An option "--bogus..." fails the creation as a
// VM does: its message through the vfprintf hook, then JNI_ERR. The class
// "missing.Main" is not found. Every creation writes "stand-in VM created"
// through the vfprintf hook.
// For GetCurrentThreadStackLimits (Windows 8; Wine has it).
#define _WIN32_WINNT 0x0602
#include <windows.h>
#include <tlhelp32.h>

// This file is the VM: jni.h then declares its entry point for export.
#define _JNI_IMPLEMENTATION_
#include <jni.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "json_text.h"
#include "whole_file.h"

extern "C" __declspec(dllimport) int StandinDependency();

namespace {

typedef void(JNICALL* ExitHook)(jint);
typedef jint(JNICALL* VfprintfHook)(FILE*, const char*, va_list);

std::string g_record;
std::string g_logPath;
ExitHook g_exit = nullptr;
VfprintfHook g_vfprintf = nullptr;
bool g_pending = false;
int g_code = 0;
int g_delay = 0;
bool g_throw = false;
std::string g_args;
std::string g_class;

std::string Env(const char* name) {
  char buf[4096];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

void Print(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  g_vfprintf(stream, format, args);
  va_end(args);
}

void WriteRecord() {
  std::string line = g_record + ", \"class\": " + JsonString(g_class) +
                     ", \"args\": [" + g_args + "]}\n";
  HANDLE h = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
  CloseHandle(h);
}

// The processes that run an executable of the same name as this one.
int ProcessesNamedLikeThisOne(const char* exe) {
  const char* name = strrchr(exe, '\\') ? strrchr(exe, '\\') + 1 : exe;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    count += _stricmp(entry.szExeFile, name) == 0;
  }
  CloseHandle(snapshot);
  return count;
}

// --- the few JNI functions the launcher calls

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  if (g_class.empty()) g_class = name;  // the main class comes first
  if (g_class == "missing/Main") {
    g_pending = true;
    WriteRecord();
    return nullptr;
  }
  return reinterpret_cast<jclass>(1);
}
jboolean JNICALL ExceptionCheck(JNIEnv*) { return g_pending; }
void JNICALL ExceptionDescribe(JNIEnv*) {
  fprintf(stderr, "Exception in thread \"main\" standin.Failure\n");
  fflush(stderr);
}
void JNICALL ExceptionClear(JNIEnv*) { g_pending = false; }
jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass, const char* name,
                                    const char* signature) {
  const bool main = std::string(name) == "main" &&
                    std::string(signature) == "([Ljava/lang/String;)V";
  return main ? reinterpret_cast<jmethodID>(2) : nullptr;
}
jstring JNICALL NewString(JNIEnv*, const jchar* text, jsize length) {
  if (!g_args.empty()) g_args += ", ";
  g_args += '"';
  for (jsize i = 0; i < length; ++i) {
    char unit[8];
    snprintf(unit, sizeof unit, "\\u%04x", text[i]);
    g_args += unit;
  }
  g_args += '"';
  return reinterpret_cast<jstring>(3);
}
jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize, jclass, jobject) {
  return reinterpret_cast<jobjectArray>(4);
}
void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}
void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
void JNICALL CallStaticVoidMethodA(JNIEnv*, jclass, jmethodID,
                                   const jvalue*) {
  WriteRecord();
  Sleep(g_delay);
  if (g_throw) {
    g_pending = true;
  } else if (g_code != 0) {
    g_exit(g_code);
  }
}
jint JNICALL DestroyJavaVM(JavaVM*) { return JNI_OK; }

JNINativeInterface_ g_functions;
JNIEnv_ g_env;
JNIInvokeInterface_ g_invoke;
JavaVM_ g_vm;

}  // namespace

extern "C" __declspec(dllexport) jint JNICALL
JNI_CreateJavaVM(JavaVM** vm, void** env, void* initArgs) {
  StandinDependency();
  JavaVMInitArgs* args = static_cast<JavaVMInitArgs*>(initArgs);
  char exe[MAX_PATH] = "", jvm[MAX_PATH] = "", cwd[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<const char*>(&JNI_CreateJavaVM), &self);
  GetModuleFileNameA(self, jvm, sizeof jvm);
  GetCurrentDirectoryA(sizeof cwd, cwd);
  ULONG_PTR low = 0, high = 0;
  GetCurrentThreadStackLimits(&low, &high);

  std::string options, hooks;
  bool bogus = false;
  for (jint i = 0; i < args->nOptions; ++i) {
    const char* option = args->options[i].optionString;
    options += std::string(i ? ", " : "") + JsonString(option);
    if (args->options[i].extraInfo) {
      hooks += std::string(hooks.empty() ? "" : ", ") + JsonString(option);
      if (std::string(option) == "exit") {
        g_exit = reinterpret_cast<ExitHook>(args->options[i].extraInfo);
      } else if (std::string(option) == "vfprintf") {
        g_vfprintf = reinterpret_cast<VfprintfHook>(args->options[i].extraInfo);
      }
    }
    bogus = bogus || std::string(option).rfind("--bogus", 0) == 0;
  }
  g_logPath = Env("STANDIN_JVM_LOG");
  g_record = "{\"pid\": " + std::to_string(GetCurrentProcessId()) +
             ", \"exe\": " + JsonString(exe) + ", \"jvm\": " + JsonString(jvm) +
             ", \"cwd\": " + JsonString(cwd) +
             ", \"version\": " + std::to_string(args->version) +
             ", \"ignoreUnrecognized\": " +
             (args->ignoreUnrecognized ? "true" : "false") +
             ", \"stack\": " + std::to_string(high - low) +
             ", \"launchers\": " + std::to_string(ProcessesNamedLikeThisOne(exe)) +
             ", \"options\": [" +
             options + "], \"hooks\": [" + hooks + "]";
  int runs = 0;
  for (char c : ReadWholeFile(g_logPath)) runs += c == '\n';
  std::string script = ReadWholeFile(Env("STANDIN_SCRIPT"));
  for (std::size_t at = 0; runs > 0 && at != std::string::npos; --runs) {
    at = script.find('\n', at);
    script = at == std::string::npos ? "" : script.substr(at + 1);
    at = 0;
  }
  char how[16] = "";
  sscanf(script.c_str(), "%d %d %15s", &g_code, &g_delay, how);
  g_throw = std::string(how) == "throw";

  Print(stderr, "stand-in VM %s\n", "created");
  if (bogus) {
    Print(stderr, "Unrecognized option: %s\n", "--bogus");
    WriteRecord();
    return JNI_ERR;
  }
  g_functions.FindClass = FindClass;
  g_functions.ExceptionCheck = ExceptionCheck;
  g_functions.ExceptionDescribe = ExceptionDescribe;
  g_functions.ExceptionClear = ExceptionClear;
  g_functions.GetStaticMethodID = GetStaticMethodID;
  g_functions.NewString = NewString;
  g_functions.NewObjectArray = NewObjectArray;
  g_functions.SetObjectArrayElement = SetObjectArrayElement;
  g_functions.DeleteLocalRef = DeleteLocalRef;
  g_functions.CallStaticVoidMethodA = CallStaticVoidMethodA;
  g_env.functions = &g_functions;
  g_invoke.DestroyJavaVM = DestroyJavaVM;
  g_vm.functions = &g_invoke;
  *vm = &g_vm;
  *env = &g_env;
  return JNI_OK;
}
