#include "tray/NumMessagesForm.win.h"

#include "framework/OpenWindow.h"
#include "framework/ScreenScale.win.h"
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
constexpr SIZE kDrawImage{73, 62};

void Place(HWND control, const RECT& r) {
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

}  // namespace

TNumMessagesForm::TNumMessagesForm() : TFormEx(IDD_NUMMESSAGES) {}

void TNumMessagesForm::SetMessageCount(std::int32_t count) {
    SetItemText(IDC_NUMMESSAGESLABEL, CountWindowText(count));
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
    RECT frame{0, 0, scale(kClient.cx), scale(kClient.cy)};
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
    Place(Item(IDOK), Scaled(kOKBtn, scale));
    Font.reset(CreateFontA(-scale(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, "Arial"));
    SendMessageA(Item(IDC_NUMMESSAGESLABEL), WM_SETFONT, WPARAM(Font.get()), FALSE);
    SendMessageA(Item(IDOK), WM_SETFONT, WPARAM(Font.get()), FALSE);
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
    CopyFrame(dc.Get());
}

void TNumMessagesForm::CopyFrame(HDC dc) {
    IntersectClipRect(dc, AnimBox.left, AnimBox.top, AnimBox.right, AnimBox.bottom);
    BitBlt(dc, AnimBox.left, AnimBox.top, kFrameWidth, kFrameHeight, DrawImage.get(), 0, 0,
           SRCCOPY);
}

bool IsCountWindowOpen() {
    return CountWindow != nullptr;
}

bool ShowCountWindow(std::int32_t count) {
    if (CountWindow) {
        CountWindow->SetMessageCount(count);
        SetForegroundWindow(CountWindow->Handle());
        return false;
    }
    TNumMessagesForm form;
    TOpenWindow<TNumMessagesForm> open(CountWindow, form);
    form.CreateHandle();
    form.SetMessageCount(count);
    form.ShowModal();
    return true;
}
