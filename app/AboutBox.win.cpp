#include "app/AboutBox.win.h"

#include "app/OpenDocument.win.h"
#include "app/Version.h"
#include "framework/Application.win.h"
#include "framework/OpenWindow.h"
#include "resources/resource.h"

const char kWebSiteAddress[] = "https://www.example.com/brightmoor/";

TAboutBox* AboutBox = nullptr;

namespace {

TFont ArialFont(int pixels, int weight = FW_NORMAL, bool italic = false, bool underline = false) {
    return TFont(CreateFontA(-pixels, 0, 0, 0, weight, italic, underline, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Arial"));
}

struct Placement {
    int id, left, top, width, height;
};

// In screen pixels at any density.
constexpr int kClientWidth = 304;
constexpr int kClientHeight = 302;
constexpr Placement kLayout[] = {
    {IDC_ABOUTFRAME, 8, 8, 288, 248},
    {IDC_TITLELABEL, 16, 18, 272, 50},
    {IDC_VERSIONLABEL, 16, 72, 272, 20},
    {IDC_LOGOFRAME, 52, 100, 200, 78},
    {IDC_LOGO, 53, 101, 198, 76},
    {IDC_WEBSITEBUTTON, 44, 196, 216, 28},
    {IDOK, 114, 266, 76, 26},
};

}  // namespace

TAboutBox::TAboutBox() : TForm(IDD_ABOUTBOX) {}

void TAboutBox::FormCreate() {
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Placement& p : kLayout)
        MoveWindow(Item(p.id), p.left, p.top, p.width, p.height, FALSE);

    TitleFont = ArialFont(40, FW_BOLD, true, true);
    LabelFont = ArialFont(13);
    ButtonFont = ArialFont(12);
    const struct {
        int id;
        HFONT font;
    } fonts[] = {{IDC_TITLELABEL, TitleFont.get()},
                 {IDC_VERSIONLABEL, LabelFont.get()},
                 {IDC_WEBSITEBUTTON, ButtonFont.get()}};
    for (const auto& f : fonts)
        SendMessageA(Item(f.id), WM_SETFONT, reinterpret_cast<WPARAM>(f.font), FALSE);

    Logo.reset(static_cast<HBITMAP>(
        LoadImageA(Application.Instance(), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0)));
    SendMessageA(Item(IDC_LOGO), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Logo.get()));
    SetItemText(IDC_VERSIONLABEL, VersionText());
}

void TAboutBox::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    if (id == IDC_WEBSITEBUTTON) WebSiteButtonClick();
    if (id == IDOK || id == IDCANCEL) ModalResult = mrOk;
}

void TAboutBox::WebSiteButtonClick() {
    OpenDocument(kWebSiteAddress);
}

void ShowAboutBox() {
    if (AboutBox) return;
    TAboutBox box;
    TOpenWindow<TAboutBox> open(AboutBox, box);
    box.ShowModal();
}
