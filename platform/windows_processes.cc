#include <windows.h>

#include <cstring>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"
#include "platform/windows_helpers.h"

namespace {

// How long WaitForIdle waits for the application's end before it turns to
// WaitForInputIdle: longer than a runtime takes to fail at once, far shorter
// than the idle wait's own limit.
constexpr unsigned kEndWaitBeforeIdleMs = 500;

// The console's event handler takes no context; it finds the processes of
// the one launcher in this process here, set once.
WindowsProcesses* g_consoleOwner = nullptr;

}  // namespace

bool WindowsProcesses::SetJobLimits(unsigned long limits) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info;
  std::memset(&info, 0, sizeof(info));
  info.BasicLimitInformation.LimitFlags = limits;
  return SetInformationJobObject(job_, JobObjectExtendedLimitInformation,
                                 &info, sizeof(info));
}

bool WindowsProcesses::InTheLaunchersJob(void* process) {
  if (job_ == nullptr) {
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_ != nullptr && !SetJobLimits(JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE)) {
      CloseHandle(job_);
      job_ = nullptr;
    }
  }
  return job_ != nullptr && AssignProcessToJobObject(job_, process);
}

StartedProcess WindowsProcesses::StartProcess(
    const std::string& commandLine, const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle,
    const ChildOptions& options) {
  // CreateProcessA may write into the command line, and the title field is
  // not const either: both get writable copies (a std::string's buffer
  // always ends in a NUL).
  std::string command = commandLine;
  std::string title = consoleTitle.value_or(std::string());
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.lpTitle = consoleTitle ? &title[0] : nullptr;
  SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
  HANDLE nul = INVALID_HANDLE_VALUE;
  if (options.output || options.quiet) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                      OPEN_EXISTING, 0, nullptr);
    startup.hStdInput = nul;
    startup.hStdOutput = options.output ? ToHandle(options.output->outWrite)
                                        : nul;
    startup.hStdError = options.output ? ToHandle(options.output->errWrite)
                                       : nul;
  }
  PROCESS_INFORMATION info;
  std::memset(&info, 0, sizeof(info));

  StartedProcess started;
  const BOOL created = CreateProcessA(
      options.program ? options.program->c_str() : nullptr, &command[0],
      nullptr, nullptr, TRUE,
      (options.dieWithLauncher ? CREATE_SUSPENDED : 0) |
          (options.quiet ? CREATE_NO_WINDOW : 0),
      nullptr, directory ? directory->c_str() : nullptr, &startup, &info);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!created) {
    started.errorCode = GetLastError();
    return started;
  }
  if (options.dieWithLauncher) {
    // Only the launcher holds the job's handle: when the launcher ends in
    // any way, the system closes it and the job's processes end with it. A
    // launcher in a job of its own that allows no other (Windows 7) starts
    // the application without one.
    started.outsideJob = !InTheLaunchersJob(info.hProcess);
    ResumeThread(info.hThread);
  }
  CloseHandle(info.hThread);
  application_.store(info.hProcess);
  started.ok = true;
  started.handle = reinterpret_cast<ProcessHandle>(info.hProcess);
  return started;
}

void WindowsProcesses::LetChildrenOutliveTheLauncher() {
  if (job_ != nullptr) SetJobLimits(0);
}

void WindowsProcesses::WaitForIdle(ProcessHandle process,
                                   unsigned milliseconds) {
  // An application that has ended cannot become idle: WaitForInputIdle
  // returns at once for it. So its end is waited for first, for a moment;
  // an application that is gone by then needs no USER32, whose load would
  // otherwise hold up the launcher's own end. Waiting here delays nothing,
  // since the wait for the end comes next.
  const unsigned endFirst =
      milliseconds < kEndWaitBeforeIdleMs ? milliseconds : kEndWaitBeforeIdleMs;
  if (WaitForSingleObject(ToHandle(process), endFirst) != WAIT_TIMEOUT) return;
  using WaitFunction = DWORD(WINAPI*)(HANDLE, DWORD);
  WaitFunction waitForInputIdle =
      LookUpCall<WaitFunction>(User32(), "WaitForInputIdle");
  if (waitForInputIdle != nullptr) {
    waitForInputIdle(ToHandle(process), milliseconds - endFirst);
  }
}

void WindowsProcesses::WaitForEnd(ProcessHandle process) {
  WaitForSingleObject(ToHandle(process), INFINITE);
}

std::uint32_t WindowsProcesses::ProcessExitCode(ProcessHandle process) {
  DWORD code = 0;
  // An exit code that cannot be read must not pass for a clean exit.
  if (!GetExitCodeProcess(ToHandle(process), &code)) return 0xFFFFFFFFu;
  return code;
}

void WindowsProcesses::CloseProcess(ProcessHandle process) {
  void* running = ToHandle(process);
  application_.compare_exchange_strong(running, nullptr);
  CloseHandle(ToHandle(process));
}

bool WindowsProcesses::CreateOutputPipes(OutputPipes* pipes) {
  SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
  HANDLE ends[4];
  // Room for a burst of output while the reader writes a line to the log.
  constexpr DWORD kPipeBytes = 64u << 10;
  if (!CreatePipe(&ends[0], &ends[1], &inherited, kPipeBytes)) return false;
  if (!CreatePipe(&ends[2], &ends[3], &inherited, kPipeBytes)) {
    CloseHandle(ends[0]);
    CloseHandle(ends[1]);
    return false;
  }
  // The child gets the write ends; a read end it held too would keep its
  // own pipe from ever ending.
  SetHandleInformation(ends[0], HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(ends[2], HANDLE_FLAG_INHERIT, 0);
  *pipes = {reinterpret_cast<FileHandle>(ends[0]),
            reinterpret_cast<FileHandle>(ends[1]),
            reinterpret_cast<FileHandle>(ends[2]),
            reinterpret_cast<FileHandle>(ends[3])};
  return true;
}

bool WindowsProcesses::ReadPipe(FileHandle pipe, std::string* chunk) {
  char buffer[4096];
  DWORD got = 0;
  if (!::ReadFile(ToHandle(pipe), buffer, sizeof(buffer), &got, nullptr) ||
      got == 0) {
    return false;
  }
  chunk->assign(buffer, got);
  return true;
}

void WindowsProcesses::ClosePipe(FileHandle end) { CloseHandle(ToHandle(end)); }

void WindowsProcesses::UseOutputPipes(const OutputPipes& pipes) {
  if (!outputRedirected_) {
    outputRedirected_ = true;
    savedOutput_ = GetStdHandle(STD_OUTPUT_HANDLE);
    savedError_ = GetStdHandle(STD_ERROR_HANDLE);
  }
  SetStdHandle(STD_OUTPUT_HANDLE, ToHandle(pipes.outWrite));
  SetStdHandle(STD_ERROR_HANDLE, ToHandle(pipes.errWrite));
}

void WindowsProcesses::RestoreOutput() {
  if (!outputRedirected_) return;
  outputRedirected_ = false;
  SetStdHandle(STD_OUTPUT_HANDLE, savedOutput_);
  SetStdHandle(STD_ERROR_HANDLE, savedError_);
}

int __stdcall WindowsProcesses::OnConsoleEvent(unsigned long event) {
  HANDLE application = g_consoleOwner->application_.load();
  if (application == nullptr) return FALSE;
  // Closing the console, logging off and shutting down end the launcher
  // once this returns; the application got the event too, so wait for it
  // (the system allows a few seconds).
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
      event == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(application, INFINITE);
  }
  return TRUE;
}

void WindowsProcesses::ShareConsoleWithTheApplication() {
  g_consoleOwner = this;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
