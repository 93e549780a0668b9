#ifndef LAUNCHER_PLATFORM_SPIN_LOCK_H_
#define LAUNCHER_PLATFORM_SPIN_LOCK_H_

#include <atomic>

// A lock for the few lines that the launcher's threads (the VM's hooks, the
// output readers) and its first thread share: held for a moment each, so
// spinning costs less than a system lock would, in code and in time.
class SpinLock {
 public:
  void Lock() {
    while (flag_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void Unlock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

#endif  // LAUNCHER_PLATFORM_SPIN_LOCK_H_
