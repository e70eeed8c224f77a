#pragma once
// Drives the program's own windows from inside the test process: a thread timer, serviced by
// whatever modal loop runs, waits for a window to appear and then acts on it.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class WindowDriver {
public:
    WindowDriver();
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // Calls act once, with the first visible window of this thread that has this caption, as soon
    // as the user could use it (while a message box or another modal window of its own is up, it
    // is disabled). Several calls queue their steps, each taken after the one before.
    void WhenWindowAppears(const std::string& caption, std::function<void(HWND)> act);
    // Every step queued so far has acted.
    bool Acted() const;
};

std::string WindowText(HWND window);
// The visible top-level window of this process with the given caption, or null.
HWND FindOwnWindow(const std::string& caption);
// The child button with this text, or null.
HWND FindButton(HWND parent, const std::string& text);
// Clicks the button with this text the way a user's click arrives: as a posted BM_CLICK.
void ClickButton(HWND parent, const std::string& text);
// A key pressed while the dialog has the focus.
void PressKey(HWND dialog, UINT virtualKey);

// Handles the thread's messages until the condition holds; false when the time ran out first.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);

// Records the exceptions that the program reports, instead of showing them, while it exists.
class ReportRecorder {
public:
    ReportRecorder();
    ~ReportRecorder();
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;

    // The reports delivered so far, after the thread's waiting messages have been handled.
    std::vector<std::string> Delivered();
    // The reports delivered without handling any message.
    const std::vector<std::string>& Reports() const { return FReports; }

private:
    std::vector<std::string> FReports;
    std::function<void(const std::string&)> FPrevious;
};
