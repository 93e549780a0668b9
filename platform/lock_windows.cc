#include <windows.h>

#include <new>

#include "platform/lock.h"

namespace {

CRITICAL_SECTION* Section(unsigned char* state) {
  return reinterpret_cast<CRITICAL_SECTION*>(state);
}

}  // namespace

Lock::Lock() {
  static_assert(sizeof(CRITICAL_SECTION) <= kBytes, "a lock fits its room");
  InitializeCriticalSection(new (state_) CRITICAL_SECTION);
}

Lock::~Lock() { DeleteCriticalSection(Section(state_)); }

void Lock::Acquire() { EnterCriticalSection(Section(state_)); }

void Lock::Release() { LeaveCriticalSection(Section(state_)); }
