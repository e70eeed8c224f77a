#pragma once
// The application object: the hidden top-level window that owns every form (and so keeps them
// off the taskbar), the quitting flag, the message loop and ProcessMessages.

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <string>

class TApplication {
public:
    // Creates the hidden application window on the calling (user-interface) thread.
    void Initialize(HINSTANCE instance);
    void Destroy();

    HWND Handle() const { return FHandle; }
    HINSTANCE Instance() const { return FInstance; }
    void SetTitle(const std::string& title);

    // Handles every message waiting in the calling thread's queue. A quit message met here
    // sets the quitting flag, which ends the message loop and every wait of the program.
    void ProcessMessages();
    // Blocks until a message or one of the handles is signalled (or the time is up), without
    // handling anything; the caller then processes messages and tests its own flags.
    void WaitForMessageOrHandles(DWORD count, const HANDLE* handles, DWORD milliseconds);
    // Lets the time pass with the thread's messages flowing; false when the program began to
    // quit meanwhile.
    bool Pause(DWORD milliseconds);
    bool Terminated() const { return FTerminated.load(); }
    // Runs the message loop until the quit message.
    void Run();

    // Called on the user-interface thread when the user's logon ends; the program is then
    // ended without returning to the message loop.
    std::function<void()> OnEndSession;

    // Reports an exception stopped at a window-procedure boundary.
    void HandleException(const std::exception& e);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool DispatchOne(MSG& msg);

    HINSTANCE FInstance = nullptr;
    HWND FHandle = nullptr;
    std::atomic<bool> FTerminated{false};
};

extern TApplication Application;
