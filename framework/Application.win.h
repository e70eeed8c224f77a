#pragma once
// The application object: the hidden top-level window that owns every form (and so keeps them
// off the taskbar), the quitting flag, the message loop, ProcessMessages, the queue of work that
// other threads hand to the user-interface thread, and the report of exceptions stopped at a
// window procedure or a thread body.

#include <windows.h>

#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/Lock.h"

class TForm;
class TWindow;

class TApplication {
public:
    TApplication();
    ~TApplication();

    // Creates the hidden application window on the calling thread, which becomes the
    // user-interface thread. Raises EOSError when the window cannot be made.
    void Initialize(HINSTANCE instance);
    void Destroy();

    HWND Handle() const;
    HINSTANCE Instance() const { return FInstance; }
    void SetTitle(const std::string& title);

    // Handles every message waiting in the calling thread's queue. A quit message met here
    // sets the quitting flag, which ends the message loop and every wait of the program.
    void ProcessMessages();
    // Blocks until a message or one of the handles is signalled (or the time is up), without
    // handling anything; the caller then processes messages and tests its own flags. A wait the
    // platform refuses raises EOSError rather than returning at once, again and again.
    void WaitForMessageOrHandles(DWORD count, const HANDLE* handles, DWORD milliseconds);
    // Lets the time pass with the thread's messages flowing; false when the program began to
    // quit meanwhile.
    bool Pause(DWORD milliseconds);
    bool Terminated() const { return FTerminated.load(); }
    // Begins the end of the program, on the user-interface thread: the quitting flag at once,
    // so every wait and modal loop ends, and the quit message for the message loop.
    void Terminate();
    // Runs the message loop until the quit message.
    void Run();

    // The form whose window holds the tray icon; it sets and clears itself.
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }

    // From any thread: queues action to run on the user-interface thread and returns at once.
    // The queued actions run in order from whatever loop handles that thread's messages (one
    // posted message each, so a modal loop runs them too). An action that throws is reported
    // and the next runs. Once the end has begun, or without the application window, an action
    // is dropped unrun: destroyed, which releases whoever waits for it (TThread::HandOver).
    void Post(std::function<void()> action);

    // Called on the user-interface thread when the user's logon ends; the program is then
    // ended without returning to the message loop.
    std::function<void()> OnEndSession;

    // Reports an exception stopped at a window procedure or a thread body: from any thread, it
    // is shown in an error box by the user-interface thread once that one is back in a message
    // loop. One box at a time: the reports that come while it is up are held, and the first of
    // them is shown once it closes, with the number of the others. Never throws.
    void ReportException(std::exception_ptr failure) noexcept;
    // Replaces the error box; the tests record reports with it.
    std::function<void(const std::string& message)> OnException;

private:
    class TApplicationWindow;
    void DeliverReports();
    void RunWork();
    void DropWork();
    bool DispatchOne(MSG& msg);

    HINSTANCE FInstance = nullptr;
    std::unique_ptr<TApplicationWindow> FWindow;
    std::atomic<HWND> FHandle{nullptr};  // FWindow's, for the threads that post
    std::atomic<bool> FTerminated{false};
    TForm* FMainForm = nullptr;

    TLock FWorkLock;
    std::deque<std::function<void()>> FWork;

    TLock FReportsLock;
    std::exception_ptr FReport;  // the next to show
    unsigned FReportsHeld = 0;   // reports after FReport not shown on their own
    bool FReportShowing = false; // only on the user-interface thread
};

extern TApplication Application;

// The text of a reported exception: its message, or a general one for an exception that is
// not of the standard hierarchy.
std::string ExceptionMessage(std::exception_ptr failure);
