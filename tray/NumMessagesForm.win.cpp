#include "tray/NumMessagesForm.win.h"

#include <algorithm>

#include "framework/OpenWindow.h"
#include "framework/ScreenScale.win.h"
#include "framework/WideText.win.h"
#include "resources/resource.h"
#include "tray/CountText.h"
#include "tray/EnvelopeDrawing.win.h"
#include "tray/EnvelopeFrame.h"

std::int32_t AnimationStep = 1;

namespace {

TNumMessagesForm* CountWindow = nullptr;

constexpr UINT_PTR kAnimTimer = 1;
constexpr UINT kAnimInterval = 55;
constexpr UINT_PTR kFocusTimer = 2;

// The layout is given in design pixels; the envelope's frame keeps its size.
constexpr SIZE kClient{360, 114};
constexpr RECT kAnimBox{16, 16, 16 + 65, 16 + 49};
constexpr RECT kLabel{104, 18, 104 + 225, 18 + 25};
constexpr RECT kOKBtn{247, 72, 247 + 100, 72 + 29};
constexpr int kFontHeight = 13;
// The list: under the sentence, one line each; the button moves down below it.
constexpr int kListTop = 44, kListLeft = 104, kListRight = 347, kListLine = 18, kListGap = 8;
constexpr SIZE kDrawImage{73, 62};

void Place(HWND control, const RECT& r) {
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

}  // namespace

TNumMessagesForm::TNumMessagesForm() : TFormEx(IDD_NUMMESSAGES) {}

void TNumMessagesForm::SetMessageCount(std::int32_t count, bool onlyNew,
                                       const std::vector<TMessageSummary>& newest) {
    SetItemText(IDC_NUMMESSAGESLABEL, CountWindowText(count, onlyNew));
    const std::size_t before = Lines.size();
    Lines.clear();
    for (const TMessageSummary& message : newest)
        Lines.push_back(Utf8ToWide(SenderSubjectLine(message.From, message.Subject)));
    if (Lines.size() != before) LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TNumMessagesForm::FormCreate() {
    LayOut();
    TWindowDC screen;
    DrawBitmap.reset(CreateCompatibleBitmap(screen.Get(), kDrawImage.cx, kDrawImage.cy));
    DrawImage.reset(CreateCompatibleDC(screen.Get()));
    DrawSelection = std::make_unique<TSelection>(DrawImage.get(), DrawBitmap.get());
    // Until the first frame the area shows the bare dialog face.
    const RECT surface{0, 0, kDrawImage.cx, kDrawImage.cy};
    FillRect(DrawImage.get(), &surface, GetSysColorBrush(COLOR_BTNFACE));
    // The animation runs for the window's whole life.
    StartTimer(kAnimTimer, kAnimInterval);
    StartTimer(kFocusTimer, 1);
}

void TNumMessagesForm::FormShow() {
    AnimationStep = 1;
}

void TNumMessagesForm::LayOut() {
    const TDesignScale scale = ScreenScale();
    const HWND window = Handle();
    const int lines = static_cast<int>(Lines.size());
    const int listBottom = kListTop + lines * kListLine;
    const int grow = lines == 0 ? 0 : std::max(0, listBottom + kListGap - static_cast<int>(kOKBtn.top));
    RECT frame{0, 0, scale(kClient.cx), scale(kClient.cy + grow)};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), FALSE,
                       GetWindowLongA(window, GWL_EXSTYLE));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    AnimBox = Scaled(kAnimBox, scale);
    Place(Item(IDC_NUMMESSAGESLABEL), Scaled(kLabel, scale));
    Place(Item(IDOK), Scaled({kOKBtn.left, kOKBtn.top + grow, kOKBtn.right, kOKBtn.bottom + grow},
                             scale));
    ListBox = Scaled({kListLeft, kListTop, kListRight, listBottom}, scale);
    LineHeight = scale(kListLine);
    Font.reset(CreateFontA(-scale(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, "Arial"));
    SendMessageA(Item(IDC_NUMMESSAGESLABEL), WM_SETFONT, WPARAM(Font.get()), FALSE);
    SendMessageA(Item(IDOK), WM_SETFONT, WPARAM(Font.get()), FALSE);
    ListFont.reset(CreateFontW(-scale(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE,
                               FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                               L"Arial"));
}

void TNumMessagesForm::OnCommand(int id, int notifyCode) {
    // OK is both the default and the cancel button: Enter and Escape close the window like it.
    if (notifyCode == BN_CLICKED && (id == IDOK || id == IDCANCEL)) OKBtnClick();
}

void TNumMessagesForm::OKBtnClick() {
    ModalResult = mrOk;
}

void TNumMessagesForm::OnTimer(UINT_PTR id) {
    if (id == kAnimTimer) AnimTimerTimer();
    if (id == kFocusTimer) FocusTimerTimer();
}

void TNumMessagesForm::FocusTimerTimer() {
    StopTimer(kFocusTimer);
    SetForegroundWindow(Handle());
}

void TNumMessagesForm::AnimTimerTimer() {
    AnimationStep = NextAnimationStep(AnimationStep);
    DrawEnvelopeFrame(DrawImage.get(), ComputeEnvelopeFrame(AnimationStep));
    CopyFrame(TWindowDC(Handle()).Get());
}

// An uncovered window gets the last frame back at once instead of at the next tick.
void TNumMessagesForm::OnPaint() {
    TPaintDC dc(Handle());
    DrawList(dc.Get());
    CopyFrame(dc.Get());
}

// No prefix and no format: "&" and "%" show as they are; a line too long ends in an ellipsis.
void TNumMessagesForm::DrawList(HDC dc) {
    TSelection font(dc, ListFont.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT line{ListBox.left, ListBox.top, ListBox.right, ListBox.top + LineHeight};
    for (const TWide& text : Lines) {
        DrawTextW(dc, text.data(), static_cast<int>(WideLength(text)), &line,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        OffsetRect(&line, 0, LineHeight);
    }
}

void TNumMessagesForm::CopyFrame(HDC dc) {
    IntersectClipRect(dc, AnimBox.left, AnimBox.top, AnimBox.right, AnimBox.bottom);
    BitBlt(dc, AnimBox.left, AnimBox.top, kFrameWidth, kFrameHeight, DrawImage.get(), 0, 0,
           SRCCOPY);
}

bool IsCountWindowOpen() {
    return CountWindow != nullptr;
}

bool ShowCountWindow(std::int32_t count, bool onlyNew,
                     const std::vector<TMessageSummary>& newest) {
    if (CountWindow) {
        CountWindow->SetMessageCount(count, onlyNew, newest);
        SetForegroundWindow(CountWindow->Handle());
        return false;
    }
    TNumMessagesForm form;
    TOpenWindow<TNumMessagesForm> open(CountWindow, form);
    form.CreateHandle();
    form.SetMessageCount(count, onlyNew, newest);
    form.ShowModal();
    return true;
}
