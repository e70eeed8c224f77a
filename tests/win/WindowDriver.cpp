#include "tests/win/WindowDriver.h"

#include "framework/Application.win.h"

#include <deque>
#include <vector>

namespace {

struct Step {
    std::string caption;
    std::function<void(HWND)> act;
};

std::deque<Step>* steps = nullptr;
UINT_PTR timer = 0;

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    if (!steps || steps->empty()) return;
    HWND window = FindOwnWindow(steps->front().caption);
    if (!window || !IsWindowEnabled(window)) return;
    // Taken off the queue first: the act may run a modal loop in which the next step polls.
    Step step = std::move(steps->front());
    steps->pop_front();
    step.act(window);
}

}  // namespace

WindowDriver::WindowDriver() {
    steps = new std::deque<Step>;
    timer = SetTimer(nullptr, 0, 50, &Poll);
}

WindowDriver::~WindowDriver() {
    KillTimer(nullptr, timer);
    delete steps;
    steps = nullptr;
}

void WindowDriver::WhenWindowAppears(const std::string& caption, std::function<void(HWND)> act) {
    steps->push_back({caption, std::move(act)});
}

bool WindowDriver::Acted() const {
    return steps->empty();
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

namespace {

struct CaptionSearch {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    if (IsWindowVisible(window) && WindowText(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindOwnWindow(const std::string& caption) {
    CaptionSearch search{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindButton(HWND parent, const std::string& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") == 0 && WindowText(child) == text) return child;
    }
    return nullptr;
}

void ClickButton(HWND parent, const std::string& text) {
    HWND button = FindButton(parent, text);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
}

void PressKey(HWND dialog, UINT virtualKey) {
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        Application.ProcessMessages();
        if (condition()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

ReportRecorder::ReportRecorder() : FPrevious(Application.OnException) {
    Application.OnException = [this](const std::string& message) { FReports.push_back(message); };
}

ReportRecorder::~ReportRecorder() {
    // Reports still on their way are taken here rather than shown in an error box later.
    Application.ProcessMessages();
    Application.OnException = FPrevious;
}

std::vector<std::string> ReportRecorder::Delivered() {
    Application.ProcessMessages();
    return FReports;
}
