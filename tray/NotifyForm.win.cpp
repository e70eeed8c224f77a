#include "tray/NotifyForm.win.h"

#include "framework/Locale.win.h"
#include "framework/OpenWindow.h"
#include "framework/ScreenScale.win.h"
#include "resources/resource.h"
#include "tray/PopupPlacement.h"
#include "tray/ResultText.h"

TNotifyForm* ResultPopup = nullptr;

namespace {

constexpr UINT_PTR kDelayTimer = 1;
constexpr UINT kDelayMilliseconds = 3000;

}  // namespace

TNotifyForm::TNotifyForm() : TForm(IDD_NOTIFYFORM) {
    ShowCommand = SW_SHOWNOACTIVATE;
}

void TNotifyForm::FormCreate() {
    const TDesignScale px = ScreenScale();
    // No border of the window's own: the client area is the whole window.
    SetWindowPos(Handle(), nullptr, 0, 0, px(131), px(37),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LabelFont.reset(CreateFontA(-px(13), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial"));
    const struct { int id, top; } labels[] = {{IDC_TIMELABEL, 0}, {IDC_NUMMESSAGESLABEL, 17}};
    for (const auto& label : labels) {
        MoveWindow(Item(label.id), px(1), px(label.top), px(129), px(25), FALSE);
        SendMessageA(Item(label.id), WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont.get()), FALSE);
    }
    StartTimer(kDelayTimer, kDelayMilliseconds);
    DelayTimerRunning = true;
}

void TNotifyForm::SetMessageText(std::int32_t count, TDateTime time) {
    const PopupLines lines = PopupText(count, time, LocaleTimeSeparator());
    SetItemText(IDC_TIMELABEL, lines.TimeLine);
    SetItemText(IDC_NUMMESSAGESLABEL, lines.CountLine);
}

void TNotifyForm::FormShow() {
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT window{};
    GetWindowRect(Handle(), &window);
    const PopupPosition at = PlacePopup(pointer.x, pointer.y, window.right - window.left,
                                        window.bottom - window.top, GetSystemMetrics(SM_CXSCREEN));
    SetWindowPos(Handle(), nullptr, at.Left, at.Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (!DelayTimerRunning) {
        StartTimer(kDelayTimer, kDelayMilliseconds);
        DelayTimerRunning = true;
    }
}

void TNotifyForm::OnTimer(UINT_PTR id) {
    if (id == kDelayTimer) DelayTimerTimer();
}

void TNotifyForm::DelayTimerTimer() {
    StopTimer(kDelayTimer);
    DelayTimerRunning = false;
    ModalResult = mrOk;
}

void TNotifyForm::OnPaint() {
    TPaintDC dc(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    FrameRect(dc.Get(), &client, GetSysColorBrush(COLOR_WINDOWFRAME));
}

LRESULT TNotifyForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLORDLG:
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        default:
            return TForm::WndProc(msg, wParam, lParam);
    }
}

void ShowLastResult(std::int32_t count, TDateTime time) {
    if (ResultPopup) return;
    TNotifyForm popup;
    TOpenWindow<TNotifyForm> open(ResultPopup, popup);
    popup.CreateHandle();
    popup.SetMessageText(count, time);
    popup.ShowModal();
}
