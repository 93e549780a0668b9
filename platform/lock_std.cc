#include <mutex>
#include <new>

#include "platform/lock.h"

namespace {

std::mutex* Mutex(unsigned char* state) {
  return std::launder(reinterpret_cast<std::mutex*>(state));
}

}  // namespace

Lock::Lock() {
  static_assert(sizeof(std::mutex) <= kBytes, "a lock fits its room");
  new (state_) std::mutex;
}

Lock::~Lock() { Mutex(state_)->~mutex(); }

void Lock::Acquire() { Mutex(state_)->lock(); }

void Lock::Release() { Mutex(state_)->unlock(); }
