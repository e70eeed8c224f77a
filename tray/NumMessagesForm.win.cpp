#include "tray/NumMessagesForm.win.h"

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

// The layout is given in pixels at 120 pixels per inch and follows the screen's density.
constexpr int kDesignDpi = 120;
constexpr SIZE kClient{360, 114};
constexpr RECT kAnimBox{16, 16, 16 + 65, 16 + 49};
constexpr RECT kLabel{104, 18, 104 + 225, 18 + 25};
constexpr RECT kOKBtn{247, 72, 247 + 100, 72 + 29};
constexpr int kFontHeight = 13;
constexpr SIZE kDrawImage{73, 62};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

RECT Scaled(const RECT& r, int dpi) {
    return {MulDiv(r.left, dpi, kDesignDpi), MulDiv(r.top, dpi, kDesignDpi),
            MulDiv(r.right, dpi, kDesignDpi), MulDiv(r.bottom, dpi, kDesignDpi)};
}

void Place(HWND control, const RECT& r) {
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// Clears the process-wide reference however the modal display ends.
class CountWindowScope {
public:
    explicit CountWindowScope(TNumMessagesForm& form) { CountWindow = &form; }
    ~CountWindowScope() { CountWindow = nullptr; }
    CountWindowScope(const CountWindowScope&) = delete;
    CountWindowScope& operator=(const CountWindowScope&) = delete;
};

}  // namespace

TNumMessagesForm::TNumMessagesForm() : TFormEx(IDD_NUMMESSAGES) {}

TNumMessagesForm::~TNumMessagesForm() {
    if (DrawImage) {
        SelectObject(DrawImage, PreviousBitmap);
        DeleteDC(DrawImage);
    }
    if (DrawBitmap) DeleteObject(DrawBitmap);
    if (Font) DeleteObject(Font);
}

void TNumMessagesForm::SetMessageCount(std::int32_t count) {
    Sentence = CountWindowText(count);
    if (Handle()) SetItemText(IDC_NUMMESSAGESLABEL, Sentence);
}

void TNumMessagesForm::FormShow() {
    LayOut();
    SetItemText(IDC_NUMMESSAGESLABEL, Sentence);
    HDC screen = GetDC(nullptr);
    DrawImage = CreateCompatibleDC(screen);
    DrawBitmap = CreateCompatibleBitmap(screen, kDrawImage.cx, kDrawImage.cy);
    ReleaseDC(nullptr, screen);
    PreviousBitmap = SelectObject(DrawImage, DrawBitmap);
    AnimationStep = 1;
    StartTimer(kAnimTimer, kAnimInterval);
    StartTimer(kFocusTimer, 1);
}

void TNumMessagesForm::LayOut() {
    const int dpi = ScreenDpi();
    const HWND window = Handle();
    RECT frame{0, 0, MulDiv(kClient.cx, dpi, kDesignDpi), MulDiv(kClient.cy, dpi, kDesignDpi)};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), FALSE,
                       GetWindowLongA(window, GWL_EXSTYLE));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    AnimBox = Scaled(kAnimBox, dpi);
    Place(GetDlgItem(window, IDC_NUMMESSAGESLABEL), Scaled(kLabel, dpi));
    Place(GetDlgItem(window, IDOK), Scaled(kOKBtn, dpi));
    Font = CreateFontA(-MulDiv(kFontHeight, dpi, kDesignDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    SendDlgItemMessageA(window, IDC_NUMMESSAGESLABEL, WM_SETFONT, WPARAM(Font), FALSE);
    SendDlgItemMessageA(window, IDOK, WM_SETFONT, WPARAM(Font), FALSE);
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
    DrawEnvelopeFrame(DrawImage, ComputeEnvelopeFrame(AnimationStep));
    HDC dc = GetDC(Handle());
    IntersectClipRect(dc, AnimBox.left, AnimBox.top, AnimBox.right, AnimBox.bottom);
    BitBlt(dc, AnimBox.left, AnimBox.top, kFrameWidth, kFrameHeight, DrawImage, 0, 0, SRCCOPY);
    ReleaseDC(Handle(), dc);
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
    CountWindowScope scope(form);
    form.SetMessageCount(count);
    form.ShowModal();
    return true;
}
