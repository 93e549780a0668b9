#include <windows.h>

#include "platform/platform_windows.h"
#include "platform/windows_helpers.h"

namespace {

// What a thread that StartThread makes runs.
struct ThreadWork {
  ThreadBody body;
  void* context;
};

DWORD WINAPI RunThreadWork(void* work) {
  const ThreadWork run = *static_cast<ThreadWork*>(work);
  delete static_cast<ThreadWork*>(work);
  run.body(run.context);
  return 0;
}

}  // namespace

// Made before any thread that could set it.
WindowsThreads::WindowsThreads()
    : wake_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

bool WindowsThreads::StartThread(std::size_t stackBytes, ThreadBody body,
                                 void* context, ThreadHandle* thread) {
  if (wake_ == nullptr) return false;
  ThreadWork* work = new ThreadWork{body, context};
  HANDLE made = CreateThread(nullptr, stackBytes, RunThreadWork, work,
                             STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (made == nullptr) {
    delete work;
    return false;
  }
  *thread = reinterpret_cast<ThreadHandle>(made);
  return true;
}

bool WindowsThreads::WaitForThread(ThreadHandle thread, unsigned milliseconds) {
  return WaitForSingleObject(ToHandle(thread), milliseconds) == WAIT_OBJECT_0;
}

void WindowsThreads::CloseThread(ThreadHandle thread) {
  CloseHandle(ToHandle(thread));
}

void WindowsThreads::WaitForThreadOrWake(ThreadHandle thread) {
  HANDLE handles[] = {ToHandle(thread), wake_};
  WaitForMultipleObjects(2, handles, FALSE, INFINITE);
}

void WindowsThreads::WakeWaiterAndBlock() {
  SetEvent(wake_);
  for (;;) Sleep(INFINITE);
}
