#include "framework/Thread.win.h"

#include "framework/Application.win.h"
#include "framework/OSError.win.h"

TThread::TThread() : FWakeUp(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!FWakeUp) RaiseLastOSError("CreateEventA");
}

TThread::~TThread() {
    Terminate();
    WaitFor();
}

void TThread::Start() {
    if (FHandle) return;
    FHandle.reset(CreateThread(nullptr, 0, &TThread::ThreadProc, this, 0, &FThreadId));
    if (!FHandle) RaiseLastOSError("CreateThread");
}

void TThread::Terminate() {
    FTerminated = true;
    SetEvent(FWakeUp.get());
}

bool TThread::WaitFor(DWORD milliseconds) {
    if (!FHandle) return true;
    if (Application.IsServing(FThreadId)) return false;
    HANDLE thread = FHandle.get();
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (milliseconds != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            left = elapsed < milliseconds ? milliseconds - elapsed : 0;
        }
        // Also wakes for a sent message that a queue status call has already seen.
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &thread, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;
        // Peeking handles the sent messages; posted ones stay queued for the message loop.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void TThread::SleepUnlessTerminated(DWORD milliseconds) {
    WaitForSingleObject(FWakeUp.get(), milliseconds);
}

DWORD WINAPI TThread::ThreadProc(LPVOID self) {
    // An exception must not unwind into the platform's thread start: the thread ends, and the
    // user-interface thread reports why.
    try {
        static_cast<TThread*>(self)->Execute();
    } catch (...) {
        Application.ReportException(std::current_exception());
        return 1;
    }
    return 0;
}
