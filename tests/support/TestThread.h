#pragma once
// A thread for the tests that joins at the latest when it goes, and a signal one thread sets and
// others wait for. The Windows builds use the compiler's win32 thread model, which has no
// std::thread, std::mutex or std::condition_variable; the unit tests also build natively, where
// the standard ones serve. An exception that leaves a body ends the test run, as with std::thread.

#include <functional>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

class TTestThread {
public:
    TTestThread() = default;
    explicit TTestThread(std::function<void()> body) { Start(std::move(body)); }
    ~TTestThread() { join(); }
    TTestThread(const TTestThread&) = delete;
    TTestThread& operator=(const TTestThread&) = delete;

    // Once per thread object.
    void Start(std::function<void()> body) {
#ifdef _WIN32
        FBody = std::move(body);
        FHandle = CreateThread(nullptr, 0, &TTestThread::Run, this, 0, nullptr);
        if (!FHandle) throw std::runtime_error("CreateThread failed");
#else
        FThread = std::thread(std::move(body));
#endif
    }

    // Waits until the body has returned; again harmless.
    void join() {
#ifdef _WIN32
        if (!FHandle) return;
        WaitForSingleObject(FHandle, INFINITE);
        CloseHandle(FHandle);
        FHandle = nullptr;
#else
        if (FThread.joinable()) FThread.join();
#endif
    }

private:
#ifdef _WIN32
    static DWORD WINAPI Run(LPVOID self) noexcept {
        static_cast<TTestThread*>(self)->FBody();
        return 0;
    }
    std::function<void()> FBody;
    HANDLE FHandle = nullptr;
#else
    std::thread FThread;
#endif
};

// Unset until Set; then every Wait, before or after, returns.
class TTestSignal {
public:
#ifdef _WIN32
    TTestSignal() : FEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        if (!FEvent) throw std::runtime_error("CreateEventA failed");
    }
    ~TTestSignal() { CloseHandle(FEvent); }
    void Set() { SetEvent(FEvent); }
    void Wait() { WaitForSingleObject(FEvent, INFINITE); }
#else
    TTestSignal() = default;
    void Set() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FSet = true;
        }
        FChanged.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(FLock);
        FChanged.wait(lock, [this] { return FSet; });
    }
#endif
    TTestSignal(const TTestSignal&) = delete;
    TTestSignal& operator=(const TTestSignal&) = delete;

private:
#ifdef _WIN32
    HANDLE FEvent;
#else
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FSet = false;
#endif
};
