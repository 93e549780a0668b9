#ifndef LAUNCHER_PLATFORM_LOCK_H_
#define LAUNCHER_PLATFORM_LOCK_H_

#include <cstddef>

// The lock for what the launcher's threads share (the VM's hooks, the output
// readers, the launch log): the system's own, which puts a waiting thread to
// sleep instead of spinning, so that a holder that writes a file or is
// preempted never starves the others, on one CPU as on many. A critical
// section on Windows, std::mutex in the host build; CMake picks the file.
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Acquire();
  void Release();

 private:
  // Room for the system's lock, which this header does not name (the logic
  // never sees <windows.h>); each implementation checks that it fits.
  static constexpr std::size_t kBytes = 64;
  alignas(16) unsigned char state_[kBytes];
};

// Holds a lock for the rest of the scope.
class LockGuard {
 public:
  explicit LockGuard(Lock& lock) : lock_(lock) { lock_.Acquire(); }
  ~LockGuard() { lock_.Release(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  Lock& lock_;
};

#endif  // LAUNCHER_PLATFORM_LOCK_H_
