#include "framework/Application.win.h"

#include "framework/Form.win.h"
#include "framework/MessageBox.win.h"
#include "framework/OSError.win.h"
#include "framework/Window.win.h"
#include "resources/resource.h"

TApplication Application;

namespace {

// Posted to the application window when a report waits in the queue.
constexpr UINT WM_DELIVERREPORTS = WM_APP + 1;

// Keyboard navigation of a dialog must keep working while a check pumps the dialog's
// messages from inside one of its waits.
bool IsDialogMessageFor(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    char className[16] = {};
    if (!root || !GetClassNameA(root, className, sizeof className)) return false;
    return lstrcmpA(className, "#32770") == 0 && IsDialogMessageA(root, &msg);
}

struct TSynchronizeRequest {
    const std::function<void()>* Action;
    DWORD ThreadId;
    bool Done;
};

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
    FSynchronizeMessage = RegisterWindowMessageA("Larkspur.Synchronize");
    FWindow = std::make_unique<TApplicationWindow>(instance);
}

void TApplication::Destroy() { FWindow.reset(); }

HWND TApplication::Handle() const { return FWindow ? FWindow->Handle() : nullptr; }

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

void TApplication::SetMainForm(TForm* form) {
    FMainForm = form;
    FMainFormHandle = form ? form->Handle() : nullptr;
}

bool TApplication::Synchronize(const std::function<void()>& action) {
    HWND target = FMainFormHandle.load();
    if (!target || Terminated()) return false;
    TSynchronizeRequest request{&action, GetCurrentThreadId(), false};
    // A window destroyed meanwhile answers at once, without running anything.
    SendMessageA(target, FSynchronizeMessage, 0, reinterpret_cast<LPARAM>(&request));
    return request.Done;
}

void TApplication::ServeSynchronize(LPARAM parameter) {
    auto& request = *reinterpret_cast<TSynchronizeRequest*>(parameter);
    // Once the end has begun there is nothing more to do for anybody.
    if (Terminated()) return;
    FServing.push_back(request.ThreadId);
    struct PopServing {
        std::vector<DWORD>& Serving;
        ~PopServing() { Serving.pop_back(); }
    } pop{FServing};
    (*request.Action)();
    request.Done = true;
}

bool TApplication::IsServing(DWORD threadId) const {
    for (DWORD id : FServing)
        if (id == threadId) return true;
    return false;
}

void TApplication::ReportException(std::exception_ptr failure) noexcept {
    try {
        {
            std::lock_guard<std::mutex> lock(FReportsLock);
            FReports.push_back(failure);
        }
        PostMessageA(Handle(), WM_DELIVERREPORTS, 0, 0);
    } catch (...) {
        // Out of memory while reporting: there is nothing left to report with.
    }
}

void TApplication::DeliverReports() {
    for (;;) {
        std::exception_ptr failure;
        {
            std::lock_guard<std::mutex> lock(FReportsLock);
            if (FReports.empty()) return;
            failure = FReports.front();
            FReports.pop_front();
        }
        const std::string message = ExceptionMessage(failure);
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
        char text[256] = {};
        LoadStringA(GetModuleHandleA(nullptr), IDS_UNEXPECTEDERROR, text, sizeof text);
        return text;
    }
}
