#include "tray/NotifyIcon.win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/Form.win.h"
#include "framework/OSError.win.h"
#include "framework/PopupMenu.win.h"
#include "framework/SystemLibrary.win.h"

static_assert(sizeof(TNotifyIconDataV1) == NOTIFYICONDATAA_V1_SIZE,
              "the first layout of the platform's NOTIFYICONDATAA");
#ifndef _WIN64
static_assert(sizeof(TNotifyIconDataV1) == 88 && offsetof(TNotifyIconDataV1, szTip) == 24,
              "88 bytes, the tip at offset 24");
#endif

namespace {

// The shell's entry point, bound from the system folder when the icon first needs it.
decltype(&Shell_NotifyIconA) ShellNotifyIcon() {
    static const auto entryPoint =
        SystemEntryPoint<decltype(&Shell_NotifyIconA)>("shell32.dll", "Shell_NotifyIconA");
    return entryPoint;
}

}  // namespace

UINT TNotifyIcon::TrayCallbackMessage = 0;
UINT TNotifyIcon::NextIconId = 0;
TNotifyIcon::TShellNotify TNotifyIcon::ShellNotify = [](DWORD message,
                                                        const TNotifyIconDataV1& data) {
    // cbSize tells the shell to read only the first layout's fields.
    auto* request = reinterpret_cast<NOTIFYICONDATAA*>(const_cast<TNotifyIconDataV1*>(&data));
    const auto shellNotify = ShellNotifyIcon();
    return shellNotify && shellNotify(message, request);
};

TNotifyIcon::TShellBalloon TNotifyIcon::ShellBalloon = [](const NOTIFYICONDATAA& data) {
    const auto shellNotify = ShellNotifyIcon();
    return shellNotify && shellNotify(NIM_MODIFY, const_cast<NOTIFYICONDATAA*>(&data));
};

namespace {

// Copies text into a fixed field of the shell's record, cut to fit with its zero.
template <std::size_t N>
void CopyField(CHAR (&field)[N], const std::string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

constexpr UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

}  // namespace

TNotifyIcon::TNotifyIcon(TWindow* owner) {
    auto* form = dynamic_cast<TForm*>(owner);
    if (!form) throw ENotifyIconError("Owner must be a TForm");
    form->CreateHandle();
    FOwnerHandle = form->Handle();
    if (!Subclass(FOwnerHandle)) throw ENotifyIconError("Failed to subclass owner's WndProc");
    ClickInterval = GetDoubleClickTime();
    DefaultIconHandle = LoadIconA(nullptr, IDI_WINLOGO);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    TrayCallbackMessage = RegisterWindowMessageA("Fen.TNotifyIconMsg");
    FIconId = NextIconId++;
}

TNotifyIcon::~TNotifyIcon() {
    SetClickTimer(false);
    if (FIconVisible) SetIconVisible(false);
}

void TNotifyIcon::SetIcon(HICON picture) {
    FIcon.reset(picture ? CopyIcon(picture) : nullptr);
    if (FIconVisible) SendTrayMessage(NIM_MODIFY, NIF_ICON);
}

void TNotifyIcon::SetHint(const std::string& hint) {
    if (hint == FHint) return;
    FHint = hint;
    if (FIconVisible) SendTrayMessage(NIM_MODIFY, NIF_TIP);
}

void TNotifyIcon::SetIconVisible(bool visible) {
    if (visible == FIconVisible) return;
    FIconVisible = visible;
    SendTrayMessage(visible ? NIM_ADD : NIM_DELETE, kAllFlags);
}

void TNotifyIcon::SendTrayMessage(DWORD message, UINT flags) {
    TNotifyIconDataV1 data{};
    data.cbSize = sizeof data;
    data.hWnd = FOwnerHandle;
    data.uID = FIconId;
    data.uFlags = flags;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = CurrentIconHandle();
    CopyField(data.szTip, FHint);
    // A refused request changes nothing here: the next add carries the current state.
    ShellNotify(message, data);
    // A tip beyond the first layout's 63 characters follows whole in the second layout, which
    // has room for 127; a shell that knows only the first keeps it cut short.
    if (!(flags & NIF_TIP) || message == NIM_DELETE || FHint.size() < sizeof data.szTip) return;
    NOTIFYICONDATAA longer = SecondLayout(NIF_TIP);
    CopyField(longer.szTip, FHint);
    ShellBalloon(longer);
}

NOTIFYICONDATAA TNotifyIcon::SecondLayout(UINT flags) const {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = FOwnerHandle;
    data.uID = FIconId;
    data.uFlags = flags;
    return data;
}

void TNotifyIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (!FIconVisible) return;
    // The first layout has no balloon.
    NOTIFYICONDATAA data = SecondLayout(NIF_INFO);
    CopyField(data.szInfoTitle, title);
    CopyField(data.szInfo, text);
    data.uTimeout = 10000;
    // The sound is the user's choice in Properties, played or not before this.
    data.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    ShellBalloon(data);
}

LRESULT TNotifyIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == TrayCallbackMessage && wParam == FIconId) {
        MouseEvent(static_cast<UINT>(lParam));
        return 0;
    }
    if (msg == WM_TIMER && wParam == reinterpret_cast<UINT_PTR>(this)) {
        ClickTimerFired();
        return 0;
    }
    if (msg == TaskbarCreatedMessage && FIconVisible) SendTrayMessage(NIM_ADD, kAllFlags);
    return Default();
}

void TNotifyIcon::MouseEvent(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
            SetClickTimer(true);
            break;
        case WM_LBUTTONDBLCLK:
            DoubleClicked = true;
            if (OnDblClick) OnDblClick(this);
            break;
        case WM_RBUTTONDOWN: {
            SetForegroundWindow(FOwnerHandle);
            POINT cursor{};
            GetCursorPos(&cursor);
            if (PopupMenu) PopupMenu->Popup(FOwnerHandle, cursor.x, cursor.y);
            break;
        }
        default:
            break;
    }
}

void TNotifyIcon::ClickTimerFired() {
    SetClickTimer(false);
    // Taken before OnClick runs: a popup it shows keeps it running while more clicks arrive.
    const bool doubleClicked = DoubleClicked;
    DoubleClicked = false;
    if (!doubleClicked && OnClick) OnClick(this);
}

void TNotifyIcon::SetClickTimer(bool enabled) {
    if (enabled == FClickTimerEnabled) return;  // a running timer is not restarted
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (enabled && !SetTimer(FOwnerHandle, id, ClickInterval, nullptr))
        RaiseLastOSError("SetTimer");
    if (!enabled) KillTimer(FOwnerHandle, id);
    FClickTimerEnabled = enabled;
}
