#include "framework/Application.win.h"

#include "framework/Form.win.h"
#include "framework/MessageBox.win.h"
#include "framework/OSError.win.h"
#include "framework/ResourceString.win.h"
#include "framework/Window.win.h"
#include "resources/resource.h"

TApplication Application;

namespace {

// Posted to the application window when a report waits, and once for each work item queued.
constexpr UINT WM_DELIVERREPORTS = WM_APP + 1;
constexpr UINT WM_RUNWORK = WM_APP + 2;

// Keyboard navigation of a dialog must keep working while a check pumps the dialog's
// messages from inside one of its waits.
bool IsDialogMessageFor(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    char className[16] = {};
    if (!root || !GetClassNameA(root, className, sizeof className)) return false;
    return lstrcmpA(className, "#32770") == 0 && IsDialogMessageA(root, &msg);
}

}  // namespace

// The hidden top-level window: the owner of every form, the receiver of the end of the logon,
// of WM_CLOSE from outside, and of the reports.
class TApplication::TApplicationWindow : public TWindow {
public:
    explicit TApplicationWindow(HINSTANCE instance) {
        TWindowClass windowClass{"LarkspurApplication"};
        windowClass.Icon = LoadIconA(instance, "MAINICON");
        // Never shown: WS_POPUP without WS_VISIBLE, no size, off the taskbar.
        CreateWindowHandle(windowClass, 0, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, nullptr);
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_ENDSESSION:
                if (!wParam) return 0;
                // The session ends when this returns: the program ends here, completely.
                Application.FTerminated = true;
                if (Application.OnEndSession) Application.OnEndSession();
                ExitProcess(0);
            case WM_DELIVERREPORTS:
                Application.DeliverReports();
                return 0;
            case WM_RUNWORK:
                Application.RunWork();
                return 0;
            default:
                return TWindow::WndProc(msg, wParam, lParam);
        }
    }
    // What taskkill and installers send: the program ends as it does at the end of the logon.
    void OnClose() override { Application.Terminate(); }
};

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize(HINSTANCE instance) {
    FInstance = instance;
    FWindow = std::make_unique<TApplicationWindow>(instance);
    FHandle = FWindow->Handle();
}

void TApplication::Destroy() {
    FHandle = nullptr;
    DropWork();
    FWindow.reset();
}

HWND TApplication::Handle() const { return FHandle.load(); }

void TApplication::SetTitle(const std::string& title) { SetWindowTextA(Handle(), title.c_str()); }

bool TApplication::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return false;
    }
    if (!IsDialogMessageFor(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOne(msg);
}

void TApplication::WaitForMessageOrHandles(DWORD count, const HANDLE* handles, DWORD milliseconds) {
    if (MsgWaitForMultipleObjectsEx(count, handles, milliseconds, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE) == WAIT_FAILED)
        RaiseLastOSError("MsgWaitForMultipleObjectsEx");
}

bool TApplication::Pause(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessMessages();
        const DWORD elapsed = GetTickCount() - start;
        if (Terminated()) return false;
        if (elapsed >= milliseconds) return true;
        WaitForMessageOrHandles(0, nullptr, milliseconds - elapsed);
    }
}

void TApplication::Terminate() {
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::Run() {
    MSG msg;
    while (!Terminated()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) RaiseLastOSError("GetMessageA");
        if (got == 0) msg.message = WM_QUIT;
        DispatchOne(msg);
    }
}

void TApplication::Post(std::function<void()> action) {
    HWND window = Handle();
    if (!window || Terminated()) return;  // dropped here: the action goes with this scope
    {
        std::lock_guard<TLock> lock(FWorkLock);
        FWork.push_back(std::move(action));
    }
    // Should the queue be full, the next item's message runs this one too.
    PostMessageA(window, WM_RUNWORK, 0, 0);
}

void TApplication::RunWork() {
    for (;;) {
        if (Terminated()) {
            DropWork();
            return;
        }
        std::function<void()> action;
        {
            std::lock_guard<TLock> lock(FWorkLock);
            if (FWork.empty()) return;
            action = std::move(FWork.front());
            FWork.pop_front();
        }
        try {
            action();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
}

void TApplication::DropWork() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<TLock> lock(FWorkLock);
        dropped.swap(FWork);
    }
}

void TApplication::ReportException(std::exception_ptr failure) noexcept {
    try {
        {
            std::lock_guard<TLock> lock(FReportsLock);
            if (FReport)
                ++FReportsHeld;
            else
                FReport = failure;
        }
        // A tool without the application window has nobody to tell; the report stays queued.
        if (HWND window = Handle()) PostMessageA(window, WM_DELIVERREPORTS, 0, 0);
    } catch (...) {
        // Out of memory while reporting: there is nothing left to report with.
    }
}

void TApplication::DeliverReports() {
    // A failure that repeats while its box is up (a timer's tick, a paint) must not stack boxes.
    if (FReportShowing) return;
    for (;;) {
        std::exception_ptr failure;
        unsigned held = 0;
        {
            std::lock_guard<TLock> lock(FReportsLock);
            if (!FReport) return;
            std::swap(failure, FReport);
            std::swap(held, FReportsHeld);
        }
        std::string message = ExceptionMessage(failure);
        if (held > 0) {
            char more[64];
            wsprintfA(more, ResourceString(IDS_MOREREPORTS).c_str(), held);
            message += "\r\n\r\n";
            message += more;
        }
        FReportShowing = true;
        struct ShowingEnds {
            bool& Showing;
            ~ShowingEnds() { Showing = false; }
        } showingEnds{FReportShowing};
        if (OnException)
            OnException(message);
        else
            ShowErrorMessage(message);
    }
}

std::string ExceptionMessage(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return ResourceString(IDS_UNEXPECTEDERROR);
    }
}
