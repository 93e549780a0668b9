#ifndef LAUNCHER_PLATFORM_THREADS_H_
#define LAUNCHER_PLATFORM_THREADS_H_

#include <cstddef>
#include <cstdint>

// Threads of the launcher's own: the output readers and the thread that runs
// a Java VM. Every call may come from any thread.

using ThreadHandle = std::uintptr_t;
// The work of a thread that StartThread makes.
using ThreadBody = void (*)(void* context);

class Threads {
 public:
  // Starts body(context) on a new thread whose stack reserve is
  // `stackBytes` (0: the system's default); false when no thread could be
  // made. The handle is the caller's, to close with CloseThread.
  virtual bool StartThread(std::size_t stackBytes, ThreadBody body,
                           void* context, ThreadHandle* thread) = 0;
  // Waits until `thread` has ended, at most `milliseconds`; true when it has.
  virtual bool WaitForThread(ThreadHandle thread, unsigned milliseconds) = 0;
  // Gives up the handle; the thread itself runs on, if it still runs.
  virtual void CloseThread(ThreadHandle thread) = 0;
  // Waits until `thread` has ended or WakeWaiterAndBlock() has been called,
  // whichever comes first. One waiter at a time.
  virtual void WaitForThreadOrWake(ThreadHandle thread) = 0;
  // Ends WaitForThreadOrWake, now or when it begins, and blocks the calling
  // thread for good: the process ends around it. One call, so that the
  // woken waiter may go on (and its objects go) while this thread waits; it
  // touches nothing after the wake.
  virtual void WakeWaiterAndBlock() = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~Threads() = default;
};

#endif  // LAUNCHER_PLATFORM_THREADS_H_
