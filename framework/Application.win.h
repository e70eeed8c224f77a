#pragma once
// The application object: the hidden top-level window that owns every form (and so keeps them
// off the taskbar), the quitting flag, the message loop, ProcessMessages, the hand-over of work
// from other threads to the user-interface thread, and the report of exceptions stopped at a
// window procedure or a thread body.

#include <windows.h>

#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

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

    // The form that serves Synchronize; it sets and clears itself.
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form);

    // Runs action on the user-interface thread, by a blocking send to the main form, and returns
    // when it is over. False, without running it, when there is no main form or the program has
    // begun to end. An exception of the action is reported there and does not come back.
    bool Synchronize(const std::function<void()>& action);
    // The main form's handling of SynchronizeMessage.
    void ServeSynchronize(LPARAM request);
    UINT SynchronizeMessage() const { return FSynchronizeMessage; }
    // Whether the user-interface thread is serving, further up its own stack, a Synchronize of
    // that thread: waiting for such a thread would never end. On the user-interface thread.
    bool IsServing(DWORD threadId) const;

    // Called on the user-interface thread when the user's logon ends; the program is then
    // ended without returning to the message loop.
    std::function<void()> OnEndSession;

    // Reports an exception stopped at a window procedure or a thread body: from any thread, it
    // is queued and shown in an error box by the user-interface thread once that one is back in
    // a message loop. Never throws.
    void ReportException(std::exception_ptr failure) noexcept;
    // Replaces the error box; the tests record reports with it.
    std::function<void(const std::string& message)> OnException;

private:
    class TApplicationWindow;
    void DeliverReports();
    bool DispatchOne(MSG& msg);

    HINSTANCE FInstance = nullptr;
    std::unique_ptr<TApplicationWindow> FWindow;
    std::atomic<bool> FTerminated{false};
    TForm* FMainForm = nullptr;
    std::atomic<HWND> FMainFormHandle{nullptr};
    UINT FSynchronizeMessage = 0;
    std::vector<DWORD> FServing;  // threads whose Synchronize runs now, innermost last

    std::mutex FReportsLock;
    std::deque<std::exception_ptr> FReports;
};

extern TApplication Application;

// The text of a reported exception: its message, or a general one for an exception that is
// not of the standard hierarchy.
std::string ExceptionMessage(std::exception_ptr failure);
