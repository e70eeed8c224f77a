// "Mail Server Error": its texts per kind, its buttons, one dialog at a time, and the way to the
// settings.

#include "app/ErrorForm.win.h"
#include "resources/resource.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

namespace {

const char kCaption[] = "Mail Server Error";

// Reports a failure, lets act handle the dialog, and tells whether "&Setup now" was followed.
bool Report(TMailErrorKind kind, const std::string& message, std::function<void(HWND)> act) {
    bool setup = false;
    WindowDriver driver;
    driver.WhenWindowAppears(kCaption, std::move(act));
    ReportMailError(message, kind, [&] {
        // The flag covers the dialog only, not the Properties dialog opened after it.
        EXPECT_FALSE(ErrorDialogOpen());
        setup = true;
    });
    EXPECT_TRUE(driver.Acted());
    return setup;
}

}  // namespace

TEST(ErrorForm, TextsPerKindAndItsLayout) {
    const struct {
        TMailErrorKind kind;
        const char* message;
        const char* heading;
    } cases[] = {
        {mekMail, "-ERR [AUTH] Authentication failed.",
         "Your mail server returned an error. It said:"},
        {mekSocket, "The mail server name is incorrect",
         "A network error occurred, with the message:"},
        {mekTimedOut, "Operation timed out", "Your mail server returned an error. It said:"},
        {mekMail, "-ERR R&D only", "Your mail server returned an error. It said:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::string heading, message, note;
        bool picture = false, appWindow = false, focusOnSetup = false, ignoreLeftOfSetup = false;
        LRESULT defaultId = 0;
        Report(c.kind, c.message, [&](HWND dialog) {
            heading = WindowText(GetDlgItem(dialog, IDC_ERRORTYPELABEL));
            message = WindowText(GetDlgItem(dialog, IDC_MAILSERVERERRORLABEL));
            note = WindowText(GetWindow(GetDlgItem(dialog, IDC_MAILSERVERERRORLABEL), GW_HWNDNEXT));
            picture = SendDlgItemMessageA(dialog, IDC_INTRAYPICTURE, STM_GETICON, 0, 0) != 0;
            appWindow = GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW;
            focusOnSetup = GetFocus() == GetDlgItem(dialog, IDC_SETUPNOW);
            defaultId = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
            RECT setup, ignore;
            GetWindowRect(GetDlgItem(dialog, IDC_SETUPNOW), &setup);
            GetWindowRect(GetDlgItem(dialog, IDC_IGNORE), &ignore);
            ignoreLeftOfSetup = ignore.right <= setup.left;
            EXPECT_TRUE(ErrorDialogOpen());
            ClickButton(dialog, "&Ignore");
        });
        EXPECT_FALSE(ErrorDialogOpen());
        EXPECT_EQ(heading, c.heading);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(note, "This may indicate that your set up information needs reviewing.");
        EXPECT_TRUE(picture);
        EXPECT_TRUE(appWindow);
        EXPECT_TRUE(focusOnSetup);
        EXPECT_EQ(defaultId, IDC_IGNORE);
        EXPECT_TRUE(ignoreLeftOfSetup);
    }
}

TEST(ErrorForm, SetupNowAndEscOpenTheSettingsIgnoreAndTheCloseBoxDoNot) {
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        bool setup;
    } cases[] = {
        {"Setup now", [](HWND d) { ClickButton(d, "&Setup now"); }, true},
        {"Esc", [](HWND d) { PressKey(d, VK_ESCAPE); }, true},
        {"Ignore", [](HWND d) { ClickButton(d, "&Ignore"); }, false},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
    };
    for (const auto& c : cases) EXPECT_EQ(Report(mekMail, "-ERR", c.act), c.setup) << c.what;
}

TEST(ErrorForm, AFailureWhileTheDialogIsOpenIsDropped) {
    int shownLater = 0;
    Report(mekMail, "-ERR first", [&](HWND dialog) {
        ReportMailError("second", mekSocket, [&] { ++shownLater; });
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAILSERVERERRORLABEL)), "-ERR first");
        ClickButton(dialog, "&Setup now");
    });
    EXPECT_EQ(shownLater, 0);
}

// A known refusal gets its advice and a Help button between the sentence and the buttons, which
// move down to make room; any other refusal shows neither.
TEST(ErrorForm, AKnownRefusalShowsWhatToDoAndAWayToTheHelp) {
    const struct {
        const char* message;
        const char* server;
        const char* advice;  // "" when none is shown
    } cases[] = {
        {"-ERR [AUTH] Web login required: https://support.google.com/mail/answer/78754",
         "pop.gmail.com",
         "Google wants you to sign in once in a web browser and confirm that it was you; then "
         "check again."},
        {"-ERR Logon failure: unknown user name or bad password.", "mail.example.com", ""},
    };
    for (const auto& c : cases) {
        std::string advice;
        bool help = false, adviceAboveButtons = false;
        WindowDriver driver;
        driver.WhenWindowAppears(kCaption, [&](HWND dialog) {
            HWND label = GetDlgItem(dialog, IDC_ERRORADVICELABEL);
            advice = IsWindowVisible(label) ? WindowText(label) : "";
            help = IsWindowVisible(GetDlgItem(dialog, IDC_ERRORHELP));
            RECT text, button, client;
            GetWindowRect(label, &text);
            GetWindowRect(GetDlgItem(dialog, IDC_IGNORE), &button);
            GetClientRect(dialog, &client);
            MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
            adviceAboveButtons = !IsWindowVisible(label) ||
                                 (text.bottom <= button.top && button.bottom <= client.bottom);
            ClickButton(dialog, "&Ignore");
        });
        ReportMailError(c.message, mekMail, [] {}, c.server);
        EXPECT_TRUE(driver.Acted());
        EXPECT_EQ(advice, c.advice);
        EXPECT_EQ(help, *c.advice != '\0');
        EXPECT_TRUE(adviceAboveButtons);
    }
}
