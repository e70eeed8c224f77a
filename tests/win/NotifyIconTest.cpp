// The tray icon component, driven the way the shell drives it: by tray callback messages posted
// to its owner's window. The requests to the shell are recorded.

#include "framework/Application.win.h"
#include "framework/PopupMenu.win.h"
#include "resources/resource.h"
#include "tests/support/TestThread.h"
#include "tests/win/ProgramFixture.h"
#include "tests/win/WindowDriver.h"
#include "tray/TrayStatus.win.h"

#include <gtest/gtest.h>


namespace {

constexpr UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// A form that owns icons and notes the tray callbacks that reach its own procedure.
class OwnerForm : public TForm {
public:
    OwnerForm() : TForm(IDD_MAINFORM) { CreateHandle(); }
    std::vector<WPARAM> CallbacksSeen;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == RegisterWindowMessageA("Fen.TNotifyIconMsg")) CallbacksSeen.push_back(wParam);
        return TForm::WndProc(msg, wParam, lParam);
    }
};

class NotifyIconTest : public ::testing::Test {
protected:
    void Post(TNotifyIcon& icon, std::initializer_list<UINT> mouseMessages) {
        for (UINT m : mouseMessages) PostTrayMessage(Owner.Handle(), m, icon.IconId());
        Application.ProcessMessages();
    }
    // Handles messages until the click timer has fired.
    void WaitForClickTimer(TNotifyIcon& icon) {
        EXPECT_TRUE(PumpUntil([&] { return !icon.ClickTimerEnabled(); }));
    }

    ShellRecorder Shell;
    OwnerForm Owner;
};

}  // namespace

TEST_F(NotifyIconTest, TheOwnerMustBeAFormWhoseWindowCanBeSubclassed) {
    const auto error = [](const std::function<void()>& make) {
        try {
            make();
        } catch (const ENotifyIconError& e) {
            return e.Message;
        }
        return std::string("none");
    };
    struct NotAForm : TWindow {
    } plain;
    EXPECT_EQ(error([] { TNotifyIcon icon(nullptr); }), "Owner must be a TForm");
    EXPECT_EQ(error([&] { TNotifyIcon icon(&plain); }), "Owner must be a TForm");

    std::unique_ptr<OwnerForm> foreign;
    TTestThread([&] { foreign = std::make_unique<OwnerForm>(); }).join();
    EXPECT_EQ(error([&] { TNotifyIcon icon(foreign.get()); }), "Failed to subclass owner's WndProc");
    foreign.release();  // its window went with its thread

    ASSERT_EQ(Application.MainForm(), nullptr);
    EXPECT_EQ(error([] { SetTrayHint("made before the main form"); }), "Owner must be a TForm");
    EXPECT_EQ(TrayIcon(), nullptr);
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(NotifyIconTest, RequestsCarryTheFirstLayoutAndOnlyChangesAreSent) {
    const UINT callback = RegisterWindowMessageA("Fen.TNotifyIconMsg");
    HICON winlogo = LoadIconA(nullptr, IDI_WINLOGO);
    HICON picture = LoadIconA(GetModuleHandleA(nullptr), "MAILWAITING");
    const std::string longHint(100, 'h');
    {
        TNotifyIcon icon(&Owner);
        icon.SetHint("early");
        icon.SetIcon(picture);
        EXPECT_TRUE(Shell.Requests.empty()) << "nothing is sent while the icon is not shown";
        icon.SetIconVisible(true);
        ASSERT_EQ(Shell.Requests.size(), 1u);
        EXPECT_NE(Shell.Requests[0].Data.hIcon, picture) << "the icon keeps a copy of its own";
        EXPECT_EQ(IconPixels(Shell.Requests[0].Data.hIcon), IconPixels(picture));
        icon.SetIconVisible(true);
        icon.SetHint(longHint);
        icon.SetHint(longHint);
        EXPECT_EQ(icon.Hint(), longHint);
        icon.SetIcon(nullptr);

        ASSERT_EQ(Shell.Requests.size(), 3u);
        const TrayRequest& add = Shell.Requests[0];
        EXPECT_EQ(add.Message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(add.Data.cbSize, sizeof(TNotifyIconDataV1));
        EXPECT_EQ(add.Data.hWnd, Owner.Handle());
        EXPECT_EQ(add.Data.uID, icon.IconId());
        EXPECT_EQ(add.Data.uFlags, kAllFlags);
        EXPECT_EQ(add.Data.uCallbackMessage, callback);
        EXPECT_EQ(add.Tip(), "early");

        EXPECT_EQ(Shell.Requests[1].Message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(Shell.Requests[1].Data.uFlags, static_cast<UINT>(NIF_TIP));
        EXPECT_EQ(Shell.Requests[1].Tip(), longHint.substr(0, 63));
        EXPECT_EQ(Shell.Requests[2].Data.uFlags, static_cast<UINT>(NIF_ICON));
        EXPECT_EQ(Shell.Requests[2].Data.hIcon, winlogo) << "no picture: the stock one";
    }
    ASSERT_EQ(Shell.Requests.size(), 4u);
    EXPECT_EQ(Shell.Requests[3].Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(Shell.Requests[3].Data.uFlags, kAllFlags);
    EXPECT_FALSE(IconPixels(picture).empty()) << "the caller's picture outlives the icon";
}

TEST_F(NotifyIconTest, ASingleClickComesOneDoubleClickTimeAfterThePress) {
    TNotifyIcon icon(&Owner);
    int clicks = 0, doubleClicks = 0;
    icon.OnClick = [&](TNotifyIcon* sender) {
        EXPECT_EQ(sender, &icon);
        ++clicks;
    };
    icon.OnDblClick = [&](TNotifyIcon*) { ++doubleClicks; };

    const DWORD pressed = GetTickCount();
    Post(icon, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE});
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(icon.ClickTimerEnabled());
    WaitForClickTimer(icon);
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(GetTickCount() - pressed + 20, GetDoubleClickTime());

    Post(icon, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_EQ(doubleClicks, 1) << "at once";
    WaitForClickTimer(icon);
    EXPECT_EQ(clicks, 1) << "the double click swallows the click of its first press";
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_TRUE(Owner.CallbacksSeen.empty()) << "its own callbacks are not passed on";
}

TEST_F(NotifyIconTest, TheRightButtonOpensTheMenuWhenThereIsOne) {
    TNotifyIcon icon(&Owner);
    int clicks = 0;
    icon.OnClick = icon.OnDblClick = [&](TNotifyIcon*) { ++clicks; };
    Post(icon, {WM_RBUTTONDOWN, WM_RBUTTONUP});  // no menu: nothing more than the foreground

    TPopupMenu menu(IDM_TRAYMENU);
    int popups = 0;
    menu.OnPopup = [&](TPopupMenu*) { ++popups; };
    icon.SetPopupMenu(&menu);
    MenuCloser closer;
    Post(icon, {WM_RBUTTONDOWN});
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(closer.Closed(), 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(NotifyIconTest, TwoIconsShareTheMessageAndAnotherIdentifierIsPassedOnUntouched) {
    TNotifyIcon first(&Owner), second(&Owner);
    EXPECT_EQ(second.IconId(), first.IconId() + 1);
    int firstClicks = 0, secondClicks = 0;
    first.OnDblClick = [&](TNotifyIcon*) { ++firstClicks; };
    second.OnDblClick = [&](TNotifyIcon*) { ++secondClicks; };

    Post(second, {WM_LBUTTONDBLCLK});
    EXPECT_EQ(firstClicks, 0);
    EXPECT_EQ(secondClicks, 1);
    PostTrayMessage(Owner.Handle(), WM_LBUTTONDBLCLK, second.IconId() + 7);
    Application.ProcessMessages();
    EXPECT_EQ(firstClicks + secondClicks, 1);
    EXPECT_EQ(Owner.CallbacksSeen, std::vector<WPARAM>{second.IconId() + 7});
}

TEST_F(NotifyIconTest, ARecreatedTaskbarGetsTheVisibleIconAgainWithItsPictureAndHint) {
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    TNotifyIcon hidden(&Owner), shown(&Owner);
    hidden.SetHint("hidden");
    shown.SetHint("At 9:05 you had 3 mail messages");
    shown.SetIcon(LoadIconA(GetModuleHandleA(nullptr), "MAILWAITING"));
    shown.SetIconVisible(true);
    Shell.Requests.clear();

    SendMessageA(Owner.Handle(), taskbarCreated, 0, 0);
    ASSERT_EQ(Shell.Requests.size(), 1u);
    EXPECT_EQ(Shell.Requests[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Shell.Requests[0].Data.uID, shown.IconId());
    EXPECT_EQ(Shell.Requests[0].Data.uFlags, kAllFlags);
    EXPECT_EQ(Shell.Requests[0].Tip(), "At 9:05 you had 3 mail messages");
    EXPECT_EQ(Shell.Requests[0].Data.hIcon, shown.CurrentIconHandle());
}
