// "Mail": the sentence, the ways to close it, a second result while it is open, and the turning
// envelope as it is drawn.

#include "resources/resource.h"
#include "tests/win/WindowDriver.h"
#include "tray/EnvelopeDrawing.win.h"
#include "tray/NumMessagesForm.win.h"

#include <gtest/gtest.h>

namespace {

int Scale(int pixels) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 120);
}

}  // namespace

TEST(NumMessagesForm, ShowsTheSentenceAndEveryWayOfClosingEndsIt) {
    struct Case {
        std::int32_t count;
        const char* text;
        std::function<void(HWND)> close;
    };
    const Case cases[] = {
        {0, "You have no mail messages.", [](HWND w) { ClickButton(w, "&OK"); }},
        {1, "You have 1 mail message.", [](HWND w) { PressKey(w, VK_RETURN); }},
        {57, "You have 57 mail messages.", [](HWND w) { PressKey(w, VK_ESCAPE); }},
        {2, "You have 2 mail messages.", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text;
        LONG_PTR exStyle = 0;
        RECT client{};
        WindowDriver driver;
        driver.WhenWindowAppears("Mail", [&](HWND window) {
            text = WindowText(GetDlgItem(window, IDC_NUMMESSAGESLABEL));
            exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
            GetClientRect(window, &client);
            EXPECT_TRUE(IsCountWindowOpen());
            c.close(window);
        });
        EXPECT_TRUE(ShowCountWindow(c.count));
        EXPECT_TRUE(driver.Acted());
        EXPECT_FALSE(IsCountWindowOpen());
        EXPECT_EQ(text, c.text);
        EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
        EXPECT_EQ(client.right, Scale(360));
        EXPECT_EQ(client.bottom, Scale(114));
    }
}

TEST(NumMessagesForm, ASecondResultRefreshesTheOpenWindowAndReturnsAtOnce) {
    bool second = true;
    std::string refreshed;
    WindowDriver driver;
    driver.WhenWindowAppears("Mail", [&](HWND window) {
        second = ShowCountWindow(5);
        refreshed = WindowText(GetDlgItem(window, IDC_NUMMESSAGESLABEL));
        ClickButton(window, "&OK");
    });
    EXPECT_TRUE(ShowCountWindow(2));
    EXPECT_FALSE(second);
    EXPECT_EQ(refreshed, "You have 5 mail messages.");
}

TEST(NumMessagesForm, EachWindowStartsTheTurnAgainAndDrawsIntoItsAnimationArea) {
    AnimationStep = 20;
    std::int32_t stepAtShow = 0;
    bool drawn = false;
    WindowDriver driver;
    driver.WhenWindowAppears("Mail", [&](HWND window) {
        stepAtShow = AnimationStep;
        // The envelope always covers the middle of its frame; before the first frame the area is
        // bare dialog face.
        const int x = Scale(16) + 26, y = Scale(16) + 17;
        drawn = PumpUntil(
            [&] {
                HDC dc = GetDC(window);
                const COLORREF pixel = GetPixel(dc, x, y);
                ReleaseDC(window, dc);
                return pixel != GetSysColor(COLOR_BTNFACE);
            },
            2000);
        ClickButton(window, "&OK");
    });
    ShowCountWindow(1);
    EXPECT_GE(stepAtShow, 1);
    EXPECT_LE(stepAtShow, 3);
    EXPECT_TRUE(drawn);
}

namespace {

// One frame drawn onto a bitmap of its own; the colour of each pixel.
class DrawnFrame {
public:
    explicit DrawnFrame(std::int32_t step) {
        HDC screen = GetDC(nullptr);
        Dc = CreateCompatibleDC(screen);
        Bitmap = CreateCompatibleBitmap(screen, kFrameWidth, kFrameHeight);
        ReleaseDC(nullptr, screen);
        Previous = SelectObject(Dc, Bitmap);
        DrawEnvelopeFrame(Dc, ComputeEnvelopeFrame(step));
    }
    ~DrawnFrame() {
        SelectObject(Dc, Previous);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(Dc, x, y); }

private:
    HDC Dc;
    HBITMAP Bitmap;
    HGDIOBJ Previous;
};

const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kBlue = RGB(0, 0, 255),
               kGrey = RGB(128, 128, 128);

}  // namespace

TEST(EnvelopeDrawing, FrontFrameMatchesItsGeometry) {
    // Step 1: corners (49,5) (3,5) (3,29) (49,29); stamp (46,8)-(42,15); the first address line
    // from (30,14) to (19,14), its last point left out.
    const DrawnFrame frame(1);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        int x, y;
        COLORREF colour;
    } expected[] = {
        {49, 5, kBlack},  {3, 5, kBlack},  {3, 29, kBlack},  {49, 29, kBlack}, {26, 5, kBlack},
        {2, 5, face},     {50, 29, face},  {26, 30, face},   {0, 0, face},     {51, 34, face},
        {10, 10, kWhite}, {46, 8, kBlue},  {42, 15, kBlue},  {44, 11, kBlue},  {47, 11, kWhite},
        {30, 14, kGrey},  {20, 14, kGrey}, {19, 14, kWhite}, {26, 20, kGrey},  {26, 25, kWhite},
    };
    for (const auto& e : expected)
        EXPECT_EQ(frame.At(e.x, e.y), e.colour) << "(" << e.x << "," << e.y << ")";
}

TEST(EnvelopeDrawing, BackFrameShowsTheFlap) {
    // Step 20: corners (3,5) (49,5) (49,29) (3,29); the flap (3,5)-(26,17)-(49,5), no stamp.
    const DrawnFrame frame(20);
    const struct {
        int x, y;
        COLORREF colour;
    } expected[] = {
        {26, 17, kBlack}, {3, 5, kBlack},   {49, 5, kBlack},  {3, 29, kBlack},
        {26, 18, kWhite}, {26, 10, kWhite}, {44, 11, kWhite}, {30, 14, kWhite},
    };
    for (const auto& e : expected)
        EXPECT_EQ(frame.At(e.x, e.y), e.colour) << "(" << e.x << "," << e.y << ")";
}
