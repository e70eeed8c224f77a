// The "Information Required" prompt, driven through its own window.

#include "app/PropsPromptForm.win.h"
#include "resources/resource.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

namespace {

int ShowPromptAnd(std::function<void(HWND)> act) {
    WindowDriver driver;
    driver.WhenWindowAppears("Information Required", std::move(act));
    return ShowPropsPrompt();
}

}  // namespace

TEST(PropsPromptForm, ShowsItsTextAndPictureAndHasNoTaskbarButton) {
    std::string text;
    bool picture = false;
    LONG_PTR exStyle = 0;
    ShowPromptAnd([&](HWND prompt) {
        text = WindowText(GetDlgItem(prompt, IDC_MESSAGE));
        picture = SendDlgItemMessageA(prompt, IDC_INTRAYPICTURE, STM_GETICON, 0, 0) != 0;
        exStyle = GetWindowLongPtrA(prompt, GWL_EXSTYLE);
        PostMessageA(prompt, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(text,
              "Before Larkspur can check your mail you will need to enter some information about "
              "your mail account.");
    EXPECT_TRUE(picture);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
}

TEST(PropsPromptForm, EnterNowGivesOneAndItIsTheDefaultButton) {
    EXPECT_EQ(ShowPromptAnd([](HWND prompt) { ClickButton(prompt, "&Enter now"); }), 1);
    EXPECT_EQ(ShowPromptAnd([](HWND prompt) { PressKey(prompt, VK_RETURN); }), 1);
}

TEST(PropsPromptForm, EnterLaterEscAndTheCloseBoxGiveTwo) {
    EXPECT_EQ(ShowPromptAnd([](HWND prompt) { ClickButton(prompt, "Enter &later"); }), 2);
    EXPECT_EQ(ShowPromptAnd([](HWND prompt) { PressKey(prompt, VK_ESCAPE); }), 2);
    EXPECT_EQ(ShowPromptAnd([](HWND prompt) { PostMessageA(prompt, WM_CLOSE, 0, 0); }), 2);
}
