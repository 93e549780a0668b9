// Stand-in for a Java runtime's jvm.dll in the end-to-end tests of the
// launcher's in-process mode, built on the tests' own small VM
// (tests/mini_jvm.h). It imports a function of standin_jvmdep.dll, which
// sits in the runtime's bin folder, so that it loads only when that folder
// is on the DLL search path.
//
// Each VM appends one JSON object (one line) to the file that
// STANDIN_JVM_LOG names:
//   {"pid", "exe": the process's own module, "jvm": this DLL's path, "cwd",
//    "version", "ignoreUnrecognized", "options": [optionString...],
//    "hooks": [the options that carry a function], "class" (the first one
//    asked for), "args": [...],
//    "stack": the creating thread's stack reserve, in bytes,
//    "launchers": how many processes of the launcher's executable name run,
//    "splash": whether the launcher's splash window is up}
// The record is written when main runs (or the class is missing), so it
// holds what main received.
//
// What happens is scripted by the file STANDIN_SCRIPT, line N (from 1) for
// the run that finds N-1 records already in the log: "CODE DELAY_MS [throw]".
// main waits DELAY_MS, then returns (CODE 0), throws (with "throw") or calls
// the exit hook with CODE. An option "--bogus..." fails the creation as a
// VM does: its message through the vfprintf hook, then JNI_ERR. The class
// "missing.Main" is not found. Every creation writes "stand-in VM created"
// through the vfprintf hook, and "stand-in VM log" to the file of an option
// "-Xlog:...:file=NAME", through the hook too, as a VM writes its logs.
// Before main ends, the VM writes the startup
// cache its options ask for, as a runtime does at its end (standin_cache.h).
// For GetCurrentThreadStackLimits (Windows 8; Wine has it).
#define _WIN32_WINNT 0x0602
#include <windows.h>
#include <tlhelp32.h>

// This file is the VM: jni.h then declares its entry point for export.
#define _JNI_IMPLEMENTATION_
#include <jni.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "../mini_jvm.h"
#include "json_text.h"
#include "standin_cache.h"
#include "whole_file.h"

extern "C" __declspec(dllimport) int StandinDependency();

namespace {

MiniJvm g_vm;
std::string g_record;
// This run's line of the script, read before the run leaves its record.
int g_code = 0;
int g_delay = 0;
bool g_throws = false;

std::string Env(const char* name) {
  char buf[4096];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
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

// Whether the launcher's splash window (its class in
// platform/platform_windows.h) is up in this process.
bool SplashShown() {
  HWND window = FindWindowA("JavaAppLauncherSplash", nullptr);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return window != nullptr && process == GetCurrentProcessId();
}

void WriteRecord() {
  std::string args;
  for (const std::u16string& argument : g_vm.arguments) {
    args += std::string(args.empty() ? "" : ", ") + '"';
    for (char16_t unit : argument) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", unit);
      args += escaped;
    }
    args += '"';
  }
  std::string line = g_record + ", \"class\": " + JsonString(g_vm.mainClass) +
                     ", \"args\": [" + args + "]}\n";
  HANDLE h = CreateFileA(Env("STANDIN_JVM_LOG").c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
  CloseHandle(h);
}

// This run's line of the script: the runs before it left their records.
void ReadScript(int* code, int* delay, bool* throws) {
  int runs = 0;
  for (char c : ReadWholeFile(Env("STANDIN_JVM_LOG"))) runs += c == '\n';
  std::string script = ReadWholeFile(Env("STANDIN_SCRIPT"));
  for (std::size_t at = 0; runs > 0 && at != std::string::npos; --runs) {
    at = script.find('\n', at);
    script = at == std::string::npos ? "" : script.substr(at + 1);
    at = 0;
  }
  char how[16] = "";
  sscanf(script.c_str(), "%d %d %15s", code, delay, how);
  *throws = std::string(how) == "throw";
}

}  // namespace

extern "C" __declspec(dllexport) jint JNICALL
JNI_CreateJavaVM(JavaVM** vm, void** env, void* initArgs) {
  StandinDependency();
  JavaVMInitArgs* args = static_cast<JavaVMInitArgs*>(initArgs);
  g_vm.Create(vm, env, initArgs);
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
  for (const std::string& option : g_vm.options) {
    options += std::string(options.empty() ? "" : ", ") + JsonString(option);
    bogus = bogus || option.rfind("--bogus", 0) == 0;
  }
  for (const std::string& hook : g_vm.hookNames) {
    hooks += std::string(hooks.empty() ? "" : ", ") + JsonString(hook);
  }
  g_record = "{\"pid\": " + std::to_string(GetCurrentProcessId()) +
             ", \"exe\": " + JsonString(exe) + ", \"jvm\": " + JsonString(jvm) +
             ", \"cwd\": " + JsonString(cwd) +
             ", \"version\": " + std::to_string(args->version) +
             ", \"ignoreUnrecognized\": " +
             (args->ignoreUnrecognized ? "true" : "false") +
             ", \"stack\": " + std::to_string(high - low) +
             ", \"launchers\": " +
             std::to_string(ProcessesNamedLikeThisOne(exe)) +
             ", \"splash\": " + (SplashShown() ? "true" : "false") +
             ", \"options\": [" + options + "], \"hooks\": [" + hooks + "]";
  g_vm.Printf(stderr, "stand-in VM %s\n", "created");
  for (const std::string& option : g_vm.options) {
    const std::size_t file = option.find(":file=");
    FILE* log = option.rfind("-Xlog:", 0) == 0 && file != std::string::npos
                    ? fopen(option.c_str() + file + 6, "w")
                    : nullptr;
    if (log == nullptr) continue;
    g_vm.Printf(log, "stand-in VM %s\n", "log");
    fclose(log);
  }
  if (bogus) {
    g_vm.Printf(stderr, "Unrecognized option: %s\n", "--bogus");
    WriteRecord();
    return JNI_ERR;
  }
  g_vm.classExists = true;
  g_vm.loaded = [](const std::string& name, bool) {
    if (name == "missing.Main") {
      g_vm.classExists = false;
      WriteRecord();
    }
  };
  ReadScript(&g_code, &g_delay, &g_throws);
  g_vm.main = [](MiniJvm& vm) {
    WriteRecord();
    Sleep(g_delay);
    WriteStartupCache(vm.options);
    if (g_throws) {
      vm.Throw("standin.Failure");
    } else if (g_code != 0) {
      vm.exit(g_code);
    }
  };
  return JNI_OK;
}
