#include "framework/Window.win.h"

#include <commctrl.h>

#include "framework/Application.win.h"
#include "framework/OSError.win.h"
#include "framework/SystemLibrary.win.h"

namespace {

// The subclassing of the common controls' library, which chains procedures safely whatever the
// order of removal. Bound on the first subclassing from the system folder, not linked.
struct TSubclassEntryPoints {
    decltype(&SetWindowSubclass) Set = nullptr;
    decltype(&RemoveWindowSubclass) Remove = nullptr;
    decltype(&DefSubclassProc) Default = nullptr;
};

const TSubclassEntryPoints& Subclassing() {
    static const TSubclassEntryPoints entryPoints = [] {
        TSubclassEntryPoints bound;
        HMODULE comctl32 = LoadSystemLibrary("comctl32.dll");
        if (!BindEntryPoint(comctl32, "SetWindowSubclass", bound.Set) ||
            !BindEntryPoint(comctl32, "RemoveWindowSubclass", bound.Remove) ||
            !BindEntryPoint(comctl32, "DefSubclassProc", bound.Default))
            return TSubclassEntryPoints{};
        return bound;
    }();
    return entryPoints;
}

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool DialogReturnsDirectly(UINT msg) {
    return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) ||
           msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM ||
           msg == WM_QUERYDRAGICON;
}

}  // namespace

TWindow::~TWindow() {
    DestroyHandle();
}

void TWindow::CreateWindowHandle(const TWindowClass& windowClass, DWORD exStyle,
                                 const char* caption, DWORD style, HWND parent) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TWindow::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClass.Name;
    wc.hbrBackground = windowClass.Background;
    wc.hIcon = windowClass.Icon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        RaiseLastOSError("RegisterClassA");

    FCreating = true;
    HWND window = CreateWindowExA(exStyle, windowClass.Name, caption, style, 0, 0, 0, 0, parent,
                                  nullptr, instance, this);
    const DWORD error = GetLastError();
    FCreating = false;
    RethrowCreateFailure();
    if (!window) throw EOSError("CreateWindowExA", error);
}

void TWindow::CreateDialogHandle(const void* dialogTemplate, HWND owner) {
    FCreating = true;
    HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             static_cast<LPCDLGTEMPLATEA>(dialogTemplate), owner,
                                             &TWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    const DWORD error = GetLastError();
    FCreating = false;
    RethrowCreateFailure();
    if (!window) throw EOSError("CreateDialogIndirectParamA", error);
}

void TWindow::RethrowCreateFailure() {
    if (!FCreateFailure) return;
    std::exception_ptr failure = FCreateFailure;
    FCreateFailure = nullptr;
    DestroyHandle();
    std::rethrow_exception(failure);
}

bool TWindow::Subclass(HWND window) {
    // The platform's own test is not to be relied on everywhere: only a live window of this
    // thread can have its messages routed here.
    if (FHandle || !IsWindow(window) ||
        GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return false;
    const auto setSubclass = Subclassing().Set;
    if (!setSubclass ||
        !setSubclass(window, &TWindow::SubclassProc, reinterpret_cast<UINT_PTR>(this),
                     reinterpret_cast<DWORD_PTR>(this)))
        return false;
    Bind(window, TBinding::Subclass);
    return true;
}

void TWindow::DestroyHandle() {
    if (!FHandle) return;
    if (FBinding == TBinding::Subclass) {
        Unbind();
        return;
    }
    DestroyWindow(FHandle);  // its WM_NCDESTROY unbinds
    // A window that would not go (one of another thread) at least no longer reaches this object.
    if (FHandle) Unbind();
}

void TWindow::Bind(HWND window, TBinding binding) {
    FHandle = window;
    FBinding = binding;
    if (binding == TBinding::Window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    else if (binding == TBinding::Dialog)
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

void TWindow::Unbind() {
    switch (FBinding) {
        case TBinding::Window:
            SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
            break;
        case TBinding::Dialog:
            SetWindowLongPtrA(FHandle, DWLP_USER, 0);
            break;
        case TBinding::Subclass:
            // Bound: this window was subclassed through it.
            Subclassing().Remove(FHandle, &TWindow::SubclassProc, reinterpret_cast<UINT_PTR>(this));
            break;
        case TBinding::None:
            break;
    }
    FHandle = nullptr;
    FBinding = TBinding::None;
}

LRESULT TWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& defaulted) {
    TMessage message{msg, wParam, lParam, false, FMessage};
    FMessage = &message;
    LRESULT result = 0;
    try {
        result = WndProc(msg, wParam, lParam);
    } catch (...) {
        // Never into the platform: a window being created hands the failure to its creator,
        // any other is reported once this procedure has returned.
        if (FCreating)
            FCreateFailure = std::current_exception();
        else
            Application.ReportException(std::current_exception());
        result = 0;
    }
    FMessage = message.Outer;
    defaulted = message.Defaulted;
    if (msg == WM_NCDESTROY) Unbind();
    return result;
}

LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* creating = static_cast<TWindow*>(create->lpCreateParams);
        if (creating) creating->Bind(hwnd, TBinding::Window);
    }
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    bool defaulted = false;
    return self->Dispatch(msg, wParam, lParam, defaulted);
}

INT_PTR CALLBACK TWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) reinterpret_cast<TWindow*>(lParam)->Bind(hwnd, TBinding::Dialog);
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    bool defaulted = false;
    const LRESULT result = self->Dispatch(msg, wParam, lParam, defaulted);
    if (defaulted) return FALSE;
    if (DialogReturnsDirectly(msg)) return result;
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT CALLBACK TWindow::SubclassProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    bool defaulted = false;
    return reinterpret_cast<TWindow*>(self)->Dispatch(msg, wParam, lParam, defaulted);
}

LRESULT TWindow::Default() {
    if (!FMessage) return 0;
    TMessage& m = *FMessage;
    switch (FBinding) {
        case TBinding::Dialog:
            m.Defaulted = true;
            return 0;
        case TBinding::Subclass:
            return Subclassing().Default(FHandle, m.Msg, m.WParam, m.LParam);
        case TBinding::Window:
            return DefWindowProcA(FHandle, m.Msg, m.WParam, m.LParam);
        case TBinding::None:
            break;
    }
    return 0;
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_INITDIALOG:
            OnCreate();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(static_cast<int>(wParam), *reinterpret_cast<NMHDR*>(lParam));
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return Default();
    }
}

void TWindow::OnCommand(int, int) {
    Default();
}
LRESULT TWindow::OnNotify(int, NMHDR&) {
    return Default();
}
void TWindow::OnTimer(UINT_PTR) {
    Default();
}
void TWindow::OnPaint() {
    Default();
}
void TWindow::OnClose() {
    Default();
}
void TWindow::OnDestroy() {
    Default();
}
