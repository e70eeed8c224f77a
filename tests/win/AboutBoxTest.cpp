// The About box, driven through its own window.

#include "app/AboutBox.win.h"
#include "resources/resource.h"
#include "tests/win/RawRegistry.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

LOGFONTA FontOf(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

// How many colours the bitmap shows: a logo that failed to decode is one flat colour.
std::size_t ColoursOf(HBITMAP bitmap, const BITMAP& size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size.bmWidth, size.bmHeight, 1, 32, BI_RGB};
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.bmWidth * size.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::sort(pixels.begin(), pixels.end());
    return static_cast<std::size_t>(std::unique(pixels.begin(), pixels.end()) - pixels.begin());
}

// Shows the About box and acts on it once it is up.
void ShowAboutBoxAnd(std::function<void(HWND)> act) {
    WindowDriver driver;
    driver.WhenWindowAppears("About", std::move(act));
    ShowAboutBox();
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(AboutBox, nullptr);
}

}  // namespace

TEST(AboutBox, ShowsTheNameTheVersionAndTheLogoInFixedPixels) {
    std::string title, version, button;
    BITMAP logo{};
    std::size_t logoColours = 0;
    RECT client{};
    LOGFONTA titleFont{}, versionFont{}, buttonFont{};
    LONG_PTR exStyle = 0;
    bool secondReturnedAtOnce = false;
    ShowAboutBoxAnd([&](HWND box) {
        title = WindowText(GetDlgItem(box, IDC_TITLELABEL));
        version = WindowText(GetDlgItem(box, IDC_VERSIONLABEL));
        button = WindowText(GetDlgItem(box, IDC_WEBSITEBUTTON));
        const auto bitmap = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(box, IDC_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0));
        GetObjectA(bitmap, sizeof logo, &logo);
        logoColours = ColoursOf(bitmap, logo);
        GetClientRect(box, &client);
        titleFont = FontOf(GetDlgItem(box, IDC_TITLELABEL));
        versionFont = FontOf(GetDlgItem(box, IDC_VERSIONLABEL));
        buttonFont = FontOf(GetDlgItem(box, IDC_WEBSITEBUTTON));
        exStyle = GetWindowLongPtrA(box, GWL_EXSTYLE);
        ShowAboutBox();  // the menu item chosen again while the box is up
        secondReturnedAtOnce = true;
        PressKey(box, VK_ESCAPE);
    });
    EXPECT_EQ(title, "Larkspur");
    EXPECT_EQ(version, "Version 1.0 (Build 104)");
    EXPECT_EQ(button, "Visit the Brightmoor Web Site");
    EXPECT_EQ(logo.bmWidth, 197);
    EXPECT_EQ(logo.bmHeight, 74);
    EXPECT_GT(logoColours, 100u) << "the drawing's ramps, decoded";
    EXPECT_EQ(client.right, 304) << "pixels, whatever the screen's density";
    EXPECT_EQ(client.bottom, 302);
    EXPECT_STREQ(titleFont.lfFaceName, "Arial");
    EXPECT_EQ(titleFont.lfHeight, -40);
    EXPECT_GE(titleFont.lfWeight, FW_BOLD);
    EXPECT_TRUE(titleFont.lfItalic && titleFont.lfUnderline);
    EXPECT_EQ(versionFont.lfHeight, -13);
    EXPECT_EQ(buttonFont.lfHeight, -12);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0) << "no taskbar button of its own";
    EXPECT_TRUE(secondReturnedAtOnce);
}

TEST(AboutBox, OkEnterAndTheCloseBoxCloseIt) {
    const std::function<void(HWND)> closings[] = {
        [](HWND box) { ClickButton(box, "&OK"); },
        [](HWND box) { PressKey(box, VK_RETURN); },
        [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); },
    };
    for (const auto& close : closings) {
        HWND shown = nullptr;
        bool stayed = false;
        WindowDriver driver;
        driver.WhenWindowAppears("About", [&](HWND box) {
            shown = box;
            close(box);
            // The driver looks again only after the closing has been handled: a box still up
            // then did not close.
            driver.WhenWindowAppears("About", [&](HWND again) {
                stayed = true;
                PressKey(again, VK_ESCAPE);
            });
        });
        ShowAboutBox();
        EXPECT_NE(shown, nullptr);
        EXPECT_FALSE(stayed);
        EXPECT_FALSE(IsWindow(shown));
    }
}

TEST(AboutBox, AWebSiteThatCannotBeOpenedIsReportedAndTheBoxStays) {
    const char kCommand[] = "https\\shell\\open\\command";
    const RawValue browser = ReadRaw(HKEY_CLASSES_ROOT, kCommand, "");
    WriteRaw(HKEY_CLASSES_ROOT, kCommand, "", REG_SZ, "C:\\no-such-browser\\browser.exe \"%1\"");
    std::string message;
    bool boxStayed = false;
    WindowDriver driver;
    driver.WhenWindowAppears("About", [&](HWND box) {
        driver.WhenWindowAppears("Error", [&, box](HWND error) {
            message = WindowText(GetDlgItem(error, 0xFFFF));
            PostMessageA(error, WM_COMMAND, IDOK, 0);
            driver.WhenWindowAppears("About", [&, box](HWND again) {
                boxStayed = again == box;
                PressKey(again, VK_ESCAPE);
            });
        });
        ClickButton(box, "Visit the Brightmoor Web Site");
    });
    ShowAboutBox();
    WriteRaw(HKEY_CLASSES_ROOT, kCommand, "", browser);
    EXPECT_EQ(message.rfind("The specified file was not found.\r\n\r\nTo open the page:\r\n\r\n"
                            "https://www.example.com/brightmoor/\r\n\r\n",
                            0),
              0u)
        << message;
    EXPECT_TRUE(boxStayed);
}
