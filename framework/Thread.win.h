#pragma once
// The framework's thread: a body on a thread of its own, a terminate request and a wake-up
// event, so that a thread sleeping between rounds, or waiting for work it handed to the
// user-interface thread, ends as soon as it is told to stop. An exception that leaves the body
// ends the thread and is reported (TApplication).
//
// A thread is a TThreadOf<Body>: it starts when made, and its destructor stops and joins the
// thread before the body's members go, so no body can be destroyed under its running thread.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "framework/Lock.h"

class TThread {
public:
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Raises the terminate flag and wakes the thread from its sleep or its hand-over; the
    // action of a hand-over that has not begun to run will not run.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Waits until the thread has ended; false when the time ran out first. It handles no
    // message meanwhile: no thread of the program ever sends one to another thread's window.
    bool WaitFor(DWORD milliseconds = INFINITE);
    DWORD ThreadId() const { return FThreadId; }

    // On the thread itself. Sleeps the given time or until Terminate, whichever comes first.
    void SleepUnlessTerminated(DWORD milliseconds);
    // Signalled from Terminate on; a body that waits on handles of its own (a change
    // notification) waits on this one with them, so a stop ends its wait too.
    HANDLE StopEvent() const { return FWakeUp.get(); }
    // On the thread itself. Posts action to the user-interface thread (TApplication::Post) and
    // waits until it has run there, or until this thread is told to stop. True when it ran;
    // false at once once stopped, and when the program's end dropped it unrun. The action must
    // not use this thread object: the user-interface thread may end it while the action runs.
    bool HandOver(std::function<void()> action);

protected:
    TThread();
    virtual ~TThread();
    void Start();
    // Terminate and join; again harmless.
    void Stop();

private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    using UniqueHandle = std::unique_ptr<void, HandleCloser>;
    struct THandOver;

    virtual void Run() = 0;
    static DWORD WINAPI ThreadProc(LPVOID self);

    std::atomic<bool> FTerminated{false};
    UniqueHandle FWakeUp;
    UniqueHandle FHandle;
    DWORD FThreadId = 0;
    TLock FHandOverLock;
    std::shared_ptr<THandOver> FHandOver;  // the one waiting now, if any
};

// The thread running Body::Execute(TThread&). Body's constructor runs on the creating thread
// before the thread starts; the thread has ended before Body's destructor runs.
template <class Body>
class TThreadOf final : public Body, public TThread {
public:
    template <class... Args>
    explicit TThreadOf(Args&&... args) : Body(std::forward<Args>(args)...) {
        Start();
    }
    ~TThreadOf() override { Stop(); }

private:
    void Run() override { Body::Execute(static_cast<TThread&>(*this)); }
};
