#pragma once
// "Properties": the one place where the user changes the settings, on three tab pages. It is
// filled from the settings when it opens and writes every value back on OK.

#include <windows.h>

#include <array>
#include <string>

#include "app/FormsEx.win.h"
#include "settings/PropertyRules.h"

class TAppProperties;

class TPropertyForm : public TFormEx {
public:
    // page: 0 General, 1 Mailbox, 2 Notification; any other value leaves the General page.
    TPropertyForm(TAppProperties& settings, int page);

    void FillInFields();
    // Shows the first failing test's message, page and control; false then.
    bool PropertiesValid();
    // Writes all thirteen values; a setter's error passes to the caller.
    void SetProperties();
    // An enabled edit has the window colour, a disabled one the button face, so it looks grey.
    void SetEditBox(bool enabled, int edit);

protected:
    void FormShow() override;
    void OnCommand(int id, int notifyCode) override;
    bool OnNotify(const NMHDR& header) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    static INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR PageMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void CreatePages();
    void ShowPage(int page);
    HWND Control(int id) const;
    bool Checked(int id) const;
    void Check(int id, bool checked);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    TPropertyValues Values() const;

    void OKBtnClick();
    void CancelBtnClick();
    bool RepeatEveryIntervalEBKeyPress(char key);
    void WaveFileBrowseBtnClick();
    void MailAppBrowseBtnClick();
    void RepeatCheckCBClick();
    void WinSoundRBClick();
    void LaunchMailAppCBClick();
    void PlaySoundCBClick();

    TAppProperties& Settings;
    int InitialPage;
    std::array<HWND, 3> Pages{};
};

// Opens the Properties dialog on a page, with the application brought to the foreground, and
// returns once it is closed: true when the user confirmed it with OK and every value has been
// written. While a dialog is open a further request returns false at once and the open one is
// not brought forward.
bool ShowPropertiesDialog(TAppProperties& settings, int page);
