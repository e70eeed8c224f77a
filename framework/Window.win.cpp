#include "framework/Window.win.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/Application.win.h"
#include "framework/OSError.win.h"

namespace {

// The subclasses of one window, kept in a property of the window. The common controls' library
// offers the same chain, but it is not loaded for the tray icon's subclass of the main form: under
// Wine, that library alone makes an idle program about 1.7 MB larger.
struct TSubclassChain {
    WNDPROC Original;
    bool Wide;  // the window is a Unicode one: its messages pass untranslated
    std::vector<TWindow*> Members;  // the first subclass first
};

const char kChainProperty[] = "Larkspur.Subclasses";

TSubclassChain* ChainOf(HWND window) {
    return static_cast<TSubclassChain*>(GetPropA(window, kChainProperty));
}

LRESULT CallOriginal(const TSubclassChain& chain, HWND window, UINT msg, WPARAM wParam,
                     LPARAM lParam) {
    return chain.Wide ? CallWindowProcW(chain.Original, window, msg, wParam, lParam)
                      : CallWindowProcA(chain.Original, window, msg, wParam, lParam);
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
    TSubclassChain* chain = ChainOf(window);
    if (!chain) {
        auto made = std::make_unique<TSubclassChain>();
        made->Wide = IsWindowUnicode(window) != FALSE;
        if (!SetPropA(window, kChainProperty, made.get())) return false;
        const auto procedure = reinterpret_cast<LONG_PTR>(&TWindow::SubclassProc);
        made->Original = reinterpret_cast<WNDPROC>(
            made->Wide ? SetWindowLongPtrW(window, GWLP_WNDPROC, procedure)
                       : SetWindowLongPtrA(window, GWLP_WNDPROC, procedure));
        if (!made->Original) {
            RemovePropA(window, kChainProperty);
            return false;
        }
        chain = made.release();
    }
    chain->Members.push_back(this);
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
            LeaveChain();
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

LRESULT CALLBACK TWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TSubclassChain* chain = ChainOf(hwnd);
    if (!chain) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (!chain->Members.empty()) {
        // The last subclass first; the chain is not touched again here, as the dispatch may end it.
        bool defaulted = false;
        return chain->Members.back()->Dispatch(msg, wParam, lParam, defaulted);
    }
    // Every member has left, but another procedure was put in front of this one meanwhile: this
    // one stays in the window's chain and passes everything on until the window goes.
    const LRESULT result = CallOriginal(*chain, hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kChainProperty);
        delete chain;
    }
    return result;
}

// The next subclass inside this one, or the window's own procedure.
LRESULT TWindow::DefaultSubclass(const TMessage& m) {
    TSubclassChain* chain = ChainOf(FHandle);
    if (!chain) return DefWindowProcA(FHandle, m.Msg, m.WParam, m.LParam);
    const auto self = std::find(chain->Members.begin(), chain->Members.end(), this);
    if (self != chain->Members.begin()) {
        bool defaulted = false;
        return (*(self - 1))->Dispatch(m.Msg, m.WParam, m.LParam, defaulted);
    }
    return CallOriginal(*chain, FHandle, m.Msg, m.WParam, m.LParam);
}

void TWindow::LeaveChain() {
    TSubclassChain* chain = ChainOf(FHandle);
    if (!chain) return;  // the window went without passing its last message here
    chain->Members.erase(std::find(chain->Members.begin(), chain->Members.end(), this));
    if (!chain->Members.empty()) return;
    // The window's own procedure back, unless another was put in front of this chain.
    const auto procedure = reinterpret_cast<LONG_PTR>(&TWindow::SubclassProc);
    const auto original = reinterpret_cast<LONG_PTR>(chain->Original);
    const LONG_PTR current = chain->Wide ? GetWindowLongPtrW(FHandle, GWLP_WNDPROC)
                                         : GetWindowLongPtrA(FHandle, GWLP_WNDPROC);
    if (current != procedure) return;
    if (chain->Wide)
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, original);
    else
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, original);
    RemovePropA(FHandle, kChainProperty);
    delete chain;
}

LRESULT TWindow::Default() {
    if (!FMessage) return 0;
    TMessage& m = *FMessage;
    switch (FBinding) {
        case TBinding::Dialog:
            m.Defaulted = true;
            return 0;
        case TBinding::Subclass:
            return DefaultSubclass(m);
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
