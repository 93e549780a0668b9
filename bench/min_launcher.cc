// The least a launcher can do: start the command line it was given (all of
// its own command line after the program name) and wait for it to end. The
// benchmark compares the real launcher against this.
//
// Built a second time with WAIT_FOR_INPUT_IDLE, it also waits for the child
// to become idle first, as the real launcher does; that wait lives in
// USER32.DLL, which costs a process a good part of its start under Wine.
// Built with BUSY_WAIT, it polls for the end instead of blocking: a control
// that shows the benchmark's CPU reading does see a launcher that spins.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return 1;
  }
#ifdef WAIT_FOR_INPUT_IDLE
  WaitForInputIdle(info.hProcess, 5000);
#endif
#ifdef BUSY_WAIT
  while (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
  }
#endif
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 0;
}
