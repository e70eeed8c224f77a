#pragma once
// "Properties": the one place where the user changes the settings, on three tab pages. It is
// filled from the settings when it opens and writes every value back on OK.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/FormEx.win.h"
#include "oauth/SignInFlow.win.h"
#include "settings/PropertyRules.h"

class TAppProperties;

// A page of the dialog: a child dialog of its own template whose commands go to the dialog.
class TPropertySheet : public TForm {
public:
    TPropertySheet(int templateId, std::function<void(int id, int notifyCode)> onCommand)
        : TForm(templateId), FOnCommand(std::move(onCommand)) {}

protected:
    void OnCommand(int id, int notifyCode) override { FOnCommand(id, notifyCode); }

private:
    std::function<void(int, int)> FOnCommand;
};

// The interval edit's key filter (RepeatEveryIntervalEBKeyPress), on the edit itself, so that it
// holds in every message loop.
class TIntervalKeyFilter : public TWindow {
public:
    using TWindow::Subclass;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TPropertyForm : public TFormEx {
public:
    explicit TPropertyForm(TAppProperties& settings);

    // With the mailbox of this index chosen in the list; any index past the list chooses the first.
    void FillInFields(std::size_t mailbox = 0);
    // 0 General, 1 Mailbox, 2 Notification; any other value leaves the General page.
    void SelectPage(int page);
    // Shows the first failing test's message, then its page and control; false then.
    bool PropertiesValid();
    // Writes every value; a setter's error passes to the caller.
    void SetProperties();
    // An enabled edit has the window colour, a disabled one the button face, so it looks grey.
    void SetEditBox(bool enabled, int edit);

protected:
    void FormCreate() override;
    void OnCommand(int id, int notifyCode) override;
    LRESULT OnNotify(int id, NMHDR& header) override;
    bool PreTranslateMessage(MSG& msg) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreatePages();
    void ShowPage(int page);
    HWND Control(int id) const;
    bool Checked(int id) const;
    void Check(int id, bool checked);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    // The values as the controls hold them now.
    TPropertyValues& Values();
    // The mailboxes live in Held until OK; the page shows the one chosen in the list, whose
    // values this takes back from the page.
    TMailboxValues& KeepShownMailbox();
    void ShowMailbox(std::size_t index);
    void ChooseMailbox(std::size_t index);
    // The list's item for the shown mailbox, after its name, server or login name changed.
    void RetitleMailbox();
    void AddMailboxBtnClick();
    void RemoveMailboxBtnClick();

    void OKBtnClick();
    void CancelBtnClick();
    void WaveFileBrowseBtnClick();
    void MailAppBrowseBtnClick();
    void RepeatCheckCBClick();
    void ShowGeneralInterval();
    void WinSoundRBClick();
    void LaunchMailAppCBClick();
    void PlaySoundCBClick();
    void SignInComboChange();
    // Fills in the preset of the login name's address; only into an empty server unless asked.
    void FillInFromAddress(bool replace);
    // "Sign in…": the browser sign-in of the listed account, whose end comes back posted.
    void SignInBtnClick();
    void SignInEnded();
    // Whose account is signed in, under the button.
    void ShowSignedInAs();
    void ShowDialogCBClick();
    void QuietHoursCBClick();

    TAppProperties& Settings;
    std::unique_ptr<TSignInFlow> SignInFlow;
    int SignInMailbox = 0;  // the stored mailbox whose account SignInFlow signs in
    std::string SignInLogin;
    // GeneralSheet, MailSheet, NotificationSheet
    std::array<std::unique_ptr<TPropertySheet>, 3> Sheets;
    // The General interval's and the shown mailbox's
    std::array<TIntervalKeyFilter, 2> IntervalKeyFilters;
    TPropertyValues Held;
    std::size_t Shown = 0;  // the mailbox on the page
};

// Opens the Properties dialog on a page, with the mailbox of this index chosen, the application
// brought to the foreground, and returns once it is closed: true when the user confirmed it with
// OK and every value has been written. While a dialog is open a further request returns false at
// once and the open one is not brought forward.
bool ShowPropertiesDialog(TAppProperties& settings, int page, std::size_t mailbox = 0);

// Opens a sign-in's page in the user's browser; the tests put the browser they play in its place.
extern TSignInFlow::TLauncher SignInBrowser;
