#include "tray/NotifyForm.win.h"

#include "framework/Locale.win.h"
#include "framework/OpenWindow.h"
#include "framework/ScreenScale.win.h"
#include "framework/WideText.win.h"
#include "tray/CountText.h"
#include "resources/resource.h"
#include "tray/PopupPlacement.h"
#include "tray/ResultText.h"

TNotifyForm* ResultPopup = nullptr;

namespace {

constexpr UINT_PTR kDelayTimer = 1;
constexpr UINT kDelayMilliseconds = 3000;

// Design sizes: the two lines alone, and wider with the list, a line each below them.
constexpr SIZE kPlain{131, 37};
constexpr int kListWidth = 260, kListLine = 17, kListMargin = 4;

int Px(int designPixels) { return ScreenScale()(designPixels); }

}  // namespace

TNotifyForm::TNotifyForm() : TForm(IDD_NOTIFYFORM) {
    ShowCommand = SW_SHOWNOACTIVATE;
}

void TNotifyForm::FormCreate() {
    LabelFont.reset(CreateFontA(-Px(13), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial"));
    ListFont.reset(CreateFontW(-Px(13), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, L"Arial"));
    for (const int id : {IDC_TIMELABEL, IDC_NUMMESSAGESLABEL})
        SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont.get()), FALSE);
    Resize();
    StartTimer(kDelayTimer, kDelayMilliseconds);
    DelayTimerRunning = true;
}

void TNotifyForm::SetMessageText(std::int32_t count, TDateTime time, TCountWording wording,
                                 const std::vector<TMessageSummary>& newest) {
    const PopupLines lines = PopupText(count, time, LocaleTimeSeparator(), wording);
    SetItemText(IDC_TIMELABEL, lines.TimeLine);
    SetItemText(IDC_NUMMESSAGESLABEL, lines.CountLine);
    Lines.clear();
    for (std::size_t i = 0; i < newest.size() && i < kListed; ++i)
        Lines.push_back(Utf8ToWide(SenderSubjectLine(newest[i].From, newest[i].Subject)));
    Resize();
}

// No border of the window's own: the client area is the whole window.
void TNotifyForm::Resize() {
    const int lines = static_cast<int>(Lines.size());
    const int width = lines == 0 ? kPlain.cx : kListWidth;
    const int height = lines == 0 ? kPlain.cy : kPlain.cy + lines * kListLine + kListMargin;
    SetWindowPos(Handle(), nullptr, 0, 0, Px(width), Px(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const struct {
        int id, top;
    } labels[] = {{IDC_TIMELABEL, 0}, {IDC_NUMMESSAGESLABEL, 17}};
    for (const auto& label : labels)
        MoveWindow(Item(label.id), Px(1), Px(label.top), Px(width - 2), Px(25), FALSE);
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
    // The list comes from strangers: wide text, drawn as it is (no prefix, no format).
    TSelection font(dc.Get(), ListFont.get());
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), RGB(0, 0, 0));
    RECT line{Px(kListMargin), Px(kPlain.cy), client.right - Px(kListMargin),
              Px(kPlain.cy + kListLine)};
    for (const TWide& text : Lines) {
        DrawTextW(dc.Get(), text.data(), static_cast<int>(WideLength(text)), &line,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        OffsetRect(&line, 0, Px(kListLine));
    }
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

void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                    const std::vector<TMessageSummary>& newest) {
    if (ResultPopup) return;
    TNotifyForm popup;
    TOpenWindow<TNotifyForm> open(ResultPopup, popup);
    popup.CreateHandle();
    popup.SetMessageText(count, time, wording, newest);
    popup.ShowModal();
}
