// Stand-in for a Java runtime's java.exe / javaw.exe in the end-to-end tests.
//
// Each run appends one JSON object (one line) to the file named by the
// environment variable STANDIN_LOG:
//   {"cmdline": GetCommandLineA(), "argv": [C runtime's split of it],
//    "cwd": current directory, "title": STARTUPINFO title or null,
//    "exe": own module path, "stdhandles": whether STARTUPINFO gave standard
//    handles}
// Bytes outside printable ASCII are written as \u00XX, so the Python side
// reads them back as Latin-1 characters.
//
// Then it sleeps and exits as scripted by the file named by STANDIN_SCRIPT:
// line N (from 1) reads "exit_code delay_ms" for the run that finds N-1
// records already in the log. Missing variables, files or lines mean
// "exit 0 at once".
//
// STANDIN_MODE: "echo" copies standard input to standard output first;
// "ctrlc" sends Ctrl+C to every process of its console and exits with 130
// once its own handler has seen it (3 when it has not within five seconds);
// "print" writes "out 1" to "out 3" to standard output and "err 1", "err 2"
// to standard error; "flood" writes 5 MiB of lines to standard output;
// "spawn" starts itself in mode "survive", unrecorded, which writes
// "survived" to the file STANDIN_SURVIVOR 3 s later.
//
// At its end it writes the startup cache that its options ask for, as a
// runtime does (standin_cache.h).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "json_text.h"
#include "standin_cache.h"
#include "whole_file.h"

namespace {

std::string EnvValue(const char* name) {
  char buf[4096];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  return std::string(buf, n);
}

int CountLines(const std::string& data) {
  int lines = 0;
  for (char c : data) {
    if (c == '\n') ++lines;
  }
  return lines;
}

// Returns the scripted line for this run, or an empty text.
std::string ScriptLine(const std::string& script, int index) {
  size_t pos = 0;
  for (int i = 0; i < index; ++i) {
    pos = script.find('\n', pos);
    if (pos == std::string::npos) return std::string();
    ++pos;
  }
  size_t end = script.find('\n', pos);
  return script.substr(pos, end == std::string::npos ? std::string::npos
                                                     : end - pos);
}

volatile LONG g_sawCtrlC = 0;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  InterlockedExchange(&g_sawCtrlC, 1);
  return TRUE;
}

void Write(DWORD handle, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(handle), text.data(), static_cast<DWORD>(text.size()),
            &written, nullptr);
}

void RunMode(const std::string& mode) {
  if (mode == "print") {
    Write(STD_OUTPUT_HANDLE, "out 1\nout 2\n");
    Write(STD_ERROR_HANDLE, "err 1\n");
    Write(STD_OUTPUT_HANDLE, "out 3\n");
    Write(STD_ERROR_HANDLE, "err 2\n");
  } else if (mode == "flood") {
    const std::string lines(80 * 800, 'x');
    for (int i = 0; i < 82; ++i) Write(STD_OUTPUT_HANDLE, lines + "\n");
  } else if (mode == "spawn") {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    SetEnvironmentVariableA("STANDIN_LOG", nullptr);
    SetEnvironmentVariableA("STANDIN_MODE", "survive");
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &si, &pi)) {
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  } else if (mode == "survive") {
    Sleep(3000);
    HANDLE h = CreateFileA(EnvValue("STANDIN_SURVIVOR").c_str(),
                           GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    DWORD written = 0;
    WriteFile(h, "survived\n", 9, &written, nullptr);
    CloseHandle(h);
    ExitProcess(0);
  } else if (mode == "echo") {
    char buffer[4096];
    DWORD got = 0;
    DWORD written = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer,
                    &got, nullptr) &&
           got > 0) {
      WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buffer, got, &written,
                nullptr);
    }
  } else if (mode == "ctrlc") {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    for (int i = 0; i < 50 && !g_sawCtrlC; ++i) Sleep(100);
    ExitProcess(g_sawCtrlC ? 130 : 3);
  }
}

}  // namespace

int main() {
  std::string log_path = EnvValue("STANDIN_LOG");
  std::string script_path = EnvValue("STANDIN_SCRIPT");

  int previous_runs = log_path.empty() ? 0 : CountLines(ReadWholeFile(log_path));

  char cwd[4096] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  char exe[4096] = "";
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  GetStartupInfoA(&si);

  std::string record = "{\"cmdline\": " + JsonString(GetCommandLineA());
  record += ", \"argv\": [";
  for (int i = 0; i < __argc; ++i) {
    if (i > 0) record += ", ";
    record += JsonString(__argv[i]);
  }
  record += "], \"cwd\": " + JsonString(cwd);
  record += ", \"title\": " + JsonString(si.lpTitle);
  record += ", \"exe\": " + JsonString(exe);
  record += std::string(", \"stdhandles\": ") +
            ((si.dwFlags & STARTF_USESTDHANDLES) ? "true" : "false");
  record += "}\n";

  if (!log_path.empty()) {
    HANDLE h = CreateFileA(log_path.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(h, record.data(), static_cast<DWORD>(record.size()), &written,
                nullptr);
      CloseHandle(h);
    }
  }

  RunMode(EnvValue("STANDIN_MODE"));

  // The code is read as a 64-bit number so that both -1 and 4294967295
  // script the same 32-bit exit code.
  long long exit_code = 0;
  long long delay_ms = 0;
  if (!script_path.empty()) {
    std::string line = ScriptLine(ReadWholeFile(script_path), previous_runs);
    sscanf(line.c_str(), "%lld %lld", &exit_code, &delay_ms);
  }
  if (delay_ms > 0) Sleep(static_cast<DWORD>(delay_ms));
  WriteStartupCache(std::vector<std::string>(__argv + 1, __argv + __argc));
  ExitProcess(static_cast<UINT>(exit_code));
}
