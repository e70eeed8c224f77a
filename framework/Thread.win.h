#pragma once
// The framework's thread: a body (Execute) on a thread of its own, a terminate request and a
// wake-up event, so that a thread sleeping between rounds ends as soon as it is told to stop.
// An exception that leaves Execute ends the thread and is reported (TApplication).

#include <windows.h>

#include <atomic>
#include <memory>

class TThread {
public:
    TThread();
    // Stops and waits for the thread. A subclass whose Execute uses its own members must do
    // that in its own destructor, before those members go.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Runs Execute on a new thread; once.
    void Start();
    // Raises the terminate flag and wakes the thread from SleepUnlessTerminated.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Waits until the thread has ended, answering the messages that other threads send to the
    // calling thread meanwhile, so a thread blocked in SendMessage to it can still finish.
    // False when the time ran out first, and at once when the user-interface thread, calling
    // this, serves this thread's Synchronize further up its stack (the thread cannot end first).
    // True at once for a thread never started.
    bool WaitFor(DWORD milliseconds = INFINITE);
    DWORD ThreadId() const { return FThreadId; }

protected:
    virtual void Execute() = 0;
    // Sleeps the given time or until Terminate, whichever comes first.
    void SleepUnlessTerminated(DWORD milliseconds);

private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    using UniqueHandle = std::unique_ptr<void, HandleCloser>;

    static DWORD WINAPI ThreadProc(LPVOID self);

    std::atomic<bool> FTerminated{false};
    UniqueHandle FWakeUp;
    UniqueHandle FHandle;
    DWORD FThreadId = 0;
};
