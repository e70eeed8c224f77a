// The form base that gives a window its own taskbar button while the application window hides.

#include "framework/FormEx.win.h"
#include "framework/Application.win.h"
#include "resources/resource.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

namespace {

class OwnButtonForm : public TFormEx {
public:
    OwnButtonForm() : TFormEx(IDD_PROPSPROMPT) {}
};

}  // namespace

TEST(FormsEx, AFormOfTheBaseIsAnAppWindowOwnedByTheHiddenApplicationWindow) {
    LONG_PTR exStyle = 0;
    HWND owner = nullptr;
    WindowDriver driver;
    driver.WhenWindowAppears("Information Required", [&](HWND form) {
        exStyle = GetWindowLongPtrA(form, GWL_EXSTYLE);
        owner = GetWindow(form, GW_OWNER);
        ClickButton(form, "Enter &later");
    });
    OwnButtonForm form;
    EXPECT_EQ(form.ShowModal(), 2);
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(owner, Application.Handle());
}
