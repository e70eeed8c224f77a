#include "framework/Lock.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) == sizeof(TLock), "TLock holds a critical section");

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}
}  // namespace

// Cannot fail from Windows XP on.
TLock::TLock() { InitializeCriticalSection(Section(FSection)); }

TLock::~TLock() { DeleteCriticalSection(Section(FSection)); }

void TLock::lock() { EnterCriticalSection(Section(FSection)); }

void TLock::unlock() { LeaveCriticalSection(Section(FSection)); }
