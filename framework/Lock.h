#pragma once
// The program's lock, for std::lock_guard and std::unique_lock. The Windows builds use the
// compiler's win32 thread model, which leaves out the POSIX thread library (32 KB of the
// program) and with it std::mutex; the portable core also builds natively, where that one serves.

#ifdef _WIN32

// A critical section rather than a slim reader/writer lock: the latter is missing before Vista.
// Its storage is opaque here, so that the portable core needs no <windows.h>.
class TLock {
public:
    TLock();
    ~TLock();
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

    void lock();
    void unlock();

private:
    alignas(void*) unsigned char FSection[4 * sizeof(void*) + 2 * sizeof(long)];
};

#else

#include <mutex>
using TLock = std::mutex;

#endif
