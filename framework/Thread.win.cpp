#include "framework/Thread.win.h"

#include "framework/Application.win.h"
#include "framework/OSError.win.h"

// What a hand-over shares between the waiting thread and the work item: the item may outlive
// the wait (a stop) and the wait may outlive the item (the end drops it).
struct TThread::THandOver {
    UniqueHandle Done;
    std::atomic<bool> Abandoned{false};
    std::atomic<bool> Ran{false};
};

TThread::TThread() : FWakeUp(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!FWakeUp) RaiseLastOSError("CreateEventA");
}

TThread::~TThread() { Stop(); }

void TThread::Start() {
    if (FHandle) return;
    FHandle.reset(CreateThread(nullptr, 0, &TThread::ThreadProc, this, 0, &FThreadId));
    if (!FHandle) RaiseLastOSError("CreateThread");
}

void TThread::Stop() {
    Terminate();
    WaitFor();
}

void TThread::Terminate() {
    FTerminated = true;
    {
        std::lock_guard<TLock> lock(FHandOverLock);
        if (FHandOver) FHandOver->Abandoned = true;
    }
    SetEvent(FWakeUp.get());
}

bool TThread::WaitFor(DWORD milliseconds) {
    if (!FHandle) return true;
    return WaitForSingleObject(FHandle.get(), milliseconds) == WAIT_OBJECT_0;
}

void TThread::SleepUnlessTerminated(DWORD milliseconds) {
    WaitForSingleObject(StopEvent(), milliseconds);
}

bool TThread::HandOver(std::function<void()> action) {
    auto handOver = std::make_shared<THandOver>();
    handOver->Done.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!handOver->Done) RaiseLastOSError("CreateEventA");
    {
        std::lock_guard<TLock> lock(FHandOverLock);
        if (Terminated()) return false;
        FHandOver = handOver;
    }
    // Signals the waiter when the work item goes, whether it ran or was dropped.
    struct TDoneSignal {
        explicit TDoneSignal(std::shared_ptr<THandOver> state) : State(std::move(state)) {}
        TDoneSignal(const TDoneSignal&) = delete;
        TDoneSignal& operator=(const TDoneSignal&) = delete;
        std::shared_ptr<THandOver> State;
        ~TDoneSignal() { SetEvent(State->Done.get()); }
    };
    Application.Post([signal = std::make_shared<TDoneSignal>(handOver),
                      action = std::move(action)] {
        if (signal->State->Abandoned) return;
        action();
        signal->State->Ran = true;
    });
    const HANDLE handles[] = {handOver->Done.get(), StopEvent()};
    const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    {
        std::lock_guard<TLock> lock(FHandOverLock);
        FHandOver.reset();
        if (woken != WAIT_OBJECT_0) handOver->Abandoned = true;
    }
    if (woken == WAIT_FAILED) RaiseLastOSError("WaitForMultipleObjects");
    return handOver->Ran;
}

DWORD WINAPI TThread::ThreadProc(LPVOID self) {
    // An exception must not unwind into the platform's thread start: the thread ends, and the
    // user-interface thread reports why.
    try {
        static_cast<TThread*>(self)->Run();
    } catch (...) {
        Application.ReportException(std::current_exception());
        return 1;
    }
    return 0;
}
