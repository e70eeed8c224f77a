#include "settings/PropertyForm.win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "framework/Application.win.h"
#include "framework/OpenWindow.h"
#include "framework/MessageBox.win.h"
#include "framework/ResourceString.win.h"
#include "framework/SystemLibrary.win.h"
#include "mailprogram/MailProgram.win.h"
#include "oauth/MailboxAccount.win.h"
#include "resources/resource.h"
#include "settings/AppProperties.h"
#include "settings/ProviderPresets.h"

namespace {

TPropertyForm* PropertyForm = nullptr;

constexpr int kPageTemplates[] = {IDD_GENERALSHEET, IDD_MAILSHEET, IDD_NOTIFICATIONSHEET};
constexpr int kPageCount = 3;

// A string of the resources cut at each "|".
std::vector<std::string> LoadTextItems(UINT id) {
    std::vector<std::string> items(1);
    for (char c : ResourceString(id)) {
        if (c == '|')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

// Runs a file-open dialog with the file-name field editable and the read-only box hidden; the
// full name of the file picked, or empty when the user cancels.
std::string PickFile(HWND owner, UINT filterId, const std::string& current) {
    std::string filter = ResourceString(filterId) + '|';
    for (char& c : filter)
        if (c == '|') c = '\0';
    char file[MAX_PATH] = {};
    if (current.size() < sizeof file) current.copy(file, current.size());
    OPENFILENAMEA ofn{sizeof ofn};
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    // The program's current folder stays where it was, whatever folder the user browses to.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    // Bound on the first Browse: linked, the dialogs' library would bring the printing system
    // into every idle Larkspur. Without it, Browse is as if cancelled.
    static const auto getOpenFileName =
        SystemEntryPoint<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    return getOpenFileName && getOpenFileName(&ofn) ? std::string(file) : std::string();
}

// The Mailbox page's edits and the fields of the mailbox that they show.
constexpr std::pair<int, std::string TMailboxValues::*> kMailboxEdits[] = {
    {IDC_MAILBOXNAMEEB, &TMailboxValues::NameEB},
    {IDC_MAILBOXINTERVALEB, &TMailboxValues::IntervalEB},
    {IDC_POPSERVEREB, &TMailboxValues::POPServerEB},
    {IDC_LOGINNAMEEB, &TMailboxValues::LoginNameEB},
    {IDC_PASSWORDEB, &TMailboxValues::PasswordEB},
};

// A mailbox of the list: what the user calls it, or what it reads from.
std::string ListTitle(const TMailboxValues& mailbox) {
    const std::string title = MailboxTitle(mailbox);
    return title.empty() ? ResourceString(IDS_NEWMAILBOX) : title;
}

// Before each dialog that holds the tab control: the common controls' library is bound when
// Properties first opens, not at start. Should it fail, making the dialog fails and says so.
void RegisterTabControlClass() {
    static const auto initCommonControls =
        SystemEntryPoint<decltype(&InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
    if (initCommonControls) initCommonControls(&classes);
}

}  // namespace

LRESULT TIntervalKeyFilter::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR && !IsIntervalKey(static_cast<char>(wParam))) return 0;
    return TWindow::WndProc(msg, wParam, lParam);
}

TPropertyForm::TPropertyForm(TAppProperties& settings)
    : TFormEx(IDD_PROPERTIES), Settings(settings) {}

void TPropertyForm::FormCreate() {
    CreatePages();
    for (int i : {0, 1}) {
        HWND interval = Control(i ? IDC_MAILBOXINTERVALEB : IDC_REPEATEVERYINTERVALEB);
        SendMessageA(interval, EM_SETLIMITTEXT, kIntervalMaxLength, 0);
        IntervalKeyFilters[i].Subclass(interval);
    }
    SendMessageA(Control(IDC_PASSWORDEB), EM_SETPASSWORDCHAR, '*', 0);
    for (int edit : {IDC_QUIETFROMEB, IDC_QUIETTOEB})
        SendMessageA(Control(edit), EM_SETLIMITTEXT, kQuietTimeMaxLength, 0);
    for (const std::string& item : LoadTextItems(IDS_SECURECONNECTIONS))
        SendMessageA(Control(IDC_SECURECONNECTIONCOMBO), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(item.c_str()));
    for (const std::string& item : LoadTextItems(IDS_SIGNINS))
        SendMessageA(Control(IDC_SIGNINCOMBO), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(item.c_str()));
}

// Each page is a child dialog laid over the tab control's display area; the page's caption,
// from its template, names its tab.
void TPropertyForm::CreatePages() {
    HWND tabs = Item(IDC_PAGECONTROL);
    for (int i = 0; i < kPageCount; ++i) {
        Sheets[i] = std::make_unique<TPropertySheet>(
            kPageTemplates[i], [this](int id, int notifyCode) { OnCommand(id, notifyCode); });
        Sheets[i]->CreateHandle(Handle());
        char caption[64] = {};
        GetWindowTextA(Sheets[i]->Handle(), caption, sizeof caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    // The display area is known once the tabs are in.
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    for (const auto& sheet : Sheets) {
        // Right behind the tab control in the tab order.
        SetWindowPos(sheet->Handle(), tabs, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
}

void TPropertyForm::SelectPage(int page) {
    ShowPage(page >= 0 && page < kPageCount ? page : ppGeneral);
}

void TPropertyForm::ShowPage(int page) {
    HWND focus = GetFocus();
    TabCtrl_SetCurSel(Item(IDC_PAGECONTROL), page);
    for (int i = 0; i < kPageCount; ++i) {
        if (i == page) continue;
        HWND sheet = Sheets[i]->Handle();
        // The focus must not stay behind on a page that is no longer seen.
        if (focus && IsChild(sheet, focus)) SetFocus(Item(IDC_PAGECONTROL));
        ShowWindow(sheet, SW_HIDE);
    }
    ShowWindow(Sheets[page]->Handle(), SW_SHOW);
}

HWND TPropertyForm::Control(int id) const {
    for (const auto& sheet : Sheets)
        if (HWND control = GetDlgItem(sheet->Handle(), id)) return control;
    return nullptr;
}

bool TPropertyForm::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TPropertyForm::Check(int id, bool checked) {
    SendMessageA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TPropertyForm::Text(int id) const {
    HWND control = Control(id);
    std::vector<char> text(GetWindowTextLengthA(control) + 1);
    GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    return text.data();
}

void TPropertyForm::SetText(int id, const std::string& text) {
    SetWindowTextA(Control(id), text.c_str());
}

void TPropertyForm::FillInFields(std::size_t mailbox) {
    Held = PropertyValuesFrom(Settings);
    const TPropertyValues& v = Held;
    for (const TMailboxValues& m : v.Mailboxes)
        SendMessageA(Control(IDC_MAILBOXLIST), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(ListTitle(m).c_str()));
    ShowMailbox(mailbox < v.Mailboxes.size() ? mailbox : 0);
    Check(IDC_SHOWDIALOGCB, v.ShowDialogCB);
    Check(IDC_WINDOWSNOTIFICATIONCB, v.WindowsNotificationCB);
    ShowDialogCBClick();
    Check(IDC_WINSOUNDRB, v.WinSoundRB);
    Check(IDC_WAVFILERB, !v.WinSoundRB);
    WinSoundRBClick();
    SetText(IDC_WAVEFILEEB, v.WaveFileEB);
    Check(IDC_PLAYSOUNDCB, v.PlaySoundCB);
    PlaySoundCBClick();
    Check(IDC_LAUNCHMAILAPPCB, v.LaunchMailAppCB);
    LaunchMailAppCBClick();
    SetText(IDC_MAILAPPEB, v.MailAppEB);
    SetText(IDC_MAILAPPCOMMANDLINEEB, v.MailAppCommandLineEB);
    Check(IDC_REPEATCHECKCB, v.RepeatCheckCB);
    RepeatCheckCBClick();
    SetText(IDC_REPEATEVERYINTERVALEB, v.RepeatEveryIntervalEB);
    Check(IDC_USEDUNRB, v.UseDUNRB);
    Check(IDC_DIRECTRB, !v.UseDUNRB);
    Check(IDC_QUIETHOURSCB, v.QuietHoursCB);
    QuietHoursCBClick();
    SetText(IDC_QUIETFROMEB, v.QuietFromEB);
    SetText(IDC_QUIETTOEB, v.QuietToEB);
    // Last: checking an automatic radio button may clear the other buttons that the dialog
    // manager counts to its group.
    Check(IDC_ONLYNEWMAILCB, v.OnlyNewMailCB);
}

// The edits' changes retitle the list's item as they come; the mailbox itself is kept from the
// page only once the page shows all of it.
void TPropertyForm::ShowMailbox(std::size_t index) {
    Shown = index;
    const TMailboxValues& m = Held.Mailboxes[index];
    SendMessageA(Control(IDC_MAILBOXLIST), CB_SETCURSEL, index, 0);
    for (const auto& [id, field] : kMailboxEdits) SetText(id, m.*field);
    SendMessageA(Control(IDC_SECURECONNECTIONCOMBO), CB_SETCURSEL, m.SecureConnectionCombo, 0);
    SendMessageA(Control(IDC_SIGNINCOMBO), CB_SETCURSEL, m.SignInCombo, 0);
    SignInComboChange();
    EnableWindow(Control(IDC_REMOVEMAILBOXBTN), Held.Mailboxes.size() > 1);
}

void TPropertyForm::ChooseMailbox(std::size_t index) {
    KeepShownMailbox();
    ShowMailbox(index);
}

TMailboxValues& TPropertyForm::KeepShownMailbox() {
    TMailboxValues& m = Held.Mailboxes[Shown];
    for (const auto& [id, field] : kMailboxEdits) m.*field = Text(id);
    m.SecureConnectionCombo = SecurityModeOf(static_cast<std::int32_t>(
        SendMessageA(Control(IDC_SECURECONNECTIONCOMBO), CB_GETCURSEL, 0, 0)));
    m.SignInCombo = SignInOf(
        static_cast<std::int32_t>(SendMessageA(Control(IDC_SIGNINCOMBO), CB_GETCURSEL, 0, 0)));
    return m;
}

void TPropertyForm::RetitleMailbox() {
    // The edits change while a mailbox is being shown, before there is one.
    if (Shown >= Held.Mailboxes.size()) return;
    HWND list = Control(IDC_MAILBOXLIST);
    TMailboxValues shown;
    for (const auto& [id, field] : kMailboxEdits) shown.*field = Text(id);
    const std::string title = ListTitle(shown);
    SendMessageA(list, CB_DELETESTRING, Shown, 0);
    SendMessageA(list, CB_INSERTSTRING, Shown, reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageA(list, CB_SETCURSEL, Shown, 0);
}

// The new mailbox is stored only by OK, so Cancel leaves the settings as they were.
void TPropertyForm::AddMailboxBtnClick() {
    KeepShownMailbox();
    Held.Mailboxes.resize(Held.Mailboxes.size() + 1);
    SendMessageA(Control(IDC_MAILBOXLIST), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(ListTitle(Held.Mailboxes.back()).c_str()));
    ShowMailbox(Held.Mailboxes.size() - 1);
    SetFocus(Control(IDC_MAILBOXNAMEEB));
}

// Likewise removed from the settings only by OK.
void TPropertyForm::RemoveMailboxBtnClick() {
    std::vector<TMailboxValues>& mailboxes = Held.Mailboxes;
    if (mailboxes.size() < 2) return;
    mailboxes.erase(mailboxes.begin() + static_cast<std::ptrdiff_t>(Shown));
    SendMessageA(Control(IDC_MAILBOXLIST), CB_DELETESTRING, Shown, 0);
    ShowMailbox(std::min(Shown, mailboxes.size() - 1));
    // The button is out of use with one mailbox left: the focus must not stay on it.
    if (mailboxes.size() == 1) SetFocus(Control(IDC_MAILBOXLIST));
}

TPropertyValues& TPropertyForm::Values() {
    TPropertyValues& v = Held;
    KeepShownMailbox();
    v.ShowDialogCB = Checked(IDC_SHOWDIALOGCB);
    v.OnlyNewMailCB = Checked(IDC_ONLYNEWMAILCB);
    v.PlaySoundCB = Checked(IDC_PLAYSOUNDCB);
    v.WinSoundRB = Checked(IDC_WINSOUNDRB);
    v.WaveFileEB = Text(IDC_WAVEFILEEB);
    v.LaunchMailAppCB = Checked(IDC_LAUNCHMAILAPPCB);
    v.MailAppEB = Text(IDC_MAILAPPEB);
    v.MailAppCommandLineEB = Text(IDC_MAILAPPCOMMANDLINEEB);
    v.RepeatCheckCB = Checked(IDC_REPEATCHECKCB);
    v.RepeatEveryIntervalEB = Text(IDC_REPEATEVERYINTERVALEB);
    v.UseDUNRB = Checked(IDC_USEDUNRB);
    v.WindowsNotificationCB = Checked(IDC_WINDOWSNOTIFICATIONCB);
    v.QuietHoursCB = Checked(IDC_QUIETHOURSCB);
    v.QuietFromEB = Text(IDC_QUIETFROMEB);
    v.QuietToEB = Text(IDC_QUIETTOEB);
    return v;
}

bool TPropertyForm::PropertiesValid() {
    const auto problem = FindPropertyProblem(Values(), MailProgramExists);
    if (!problem) return true;
    ShowInformationMessage(problem->Message, Handle());
    if (problem->Mailbox >= 0) ChooseMailbox(problem->Mailbox);
    ShowPage(problem->Page);
    SetFocus(Control(problem->Control));
    return false;
}

// Should a setter fail, the dialog stays open with the mailboxes as added and removed by then.
void TPropertyForm::SetProperties() {
    StoreProperties(Settings, Values());
}

// A disabled edit asks for its colours as a static text does, and the platform answers with the
// button face: enabling is all it takes.
void TPropertyForm::SetEditBox(bool enabled, int edit) {
    EnableWindow(Control(edit), enabled);
}

// A mailbox added in the dialog has no credential of its own until OK: it signs in once stored.
void TPropertyForm::SignInComboChange() {
    const TMailboxValues& m = KeepShownMailbox();
    const bool password = !IsAccountSignIn(m.SignInCombo);
    EnableWindow(Control(IDC_PASSWORDLABEL), password);
    SetEditBox(password, IDC_PASSWORDEB);
    EnableWindow(Control(IDC_SIGN_IN_BUTTON), !password && m.Stored >= 0);
    ShowSignedInAs();
}

TSignInFlow::TLauncher SignInBrowser = OpenInBrowser;

namespace {

const UINT SignInEndedMessage = WM_APP + 40;

}  // namespace

void TPropertyForm::ShowSignedInAs() {
    std::string text;
    const TMailboxValues& m = KeepShownMailbox();
    if (IsAccountSignIn(m.SignInCombo)) {
        // The account is the login name's: the provider signs in whoever the browser has, and
        // the login name is what the server is told.
        text = ResourceString(IDS_NOTSIGNEDIN);
        if (m.Stored >= 0 && MailboxAccountTokens(Settings.Mailbox(m.Stored)).SignedIn()) {
            text = ResourceString(IDS_SIGNEDINAS);
            text.replace(text.find("%s"), 2, Text(IDC_LOGINNAMEEB));
        }
    }
    SetText(IDC_SIGNED_IN_AS, text);
}

void TPropertyForm::SignInBtnClick() {
    const HWND form = Handle();
    const TMailboxValues& m = KeepShownMailbox();
    // The user may choose another mailbox before the browser comes back.
    SignInMailbox = m.Stored;
    SignInLogin = m.LoginNameEB;
    SignInFlow = std::make_unique<TSignInFlow>(
        MailboxOAuthClient(Settings.Mailbox(m.Stored), m.SignInCombo), m.LoginNameEB, SignInBrowser,
        ResourceString(IDS_SIGNINPAGE), [form] { PostMessageA(form, SignInEndedMessage, 0, 0); });
    if (SignInFlow->Start()) return;
    ShowInformationMessage(SignInFailureText(SignInFlow->Outcome()), Handle());
    SignInFlow.reset();
}

void TPropertyForm::SignInEnded() {
    if (!SignInFlow) return;
    TSignInOutcome& outcome = SignInFlow->Outcome();
    if (outcome.Failure == TSignInFailure::None) {
        MailboxAccountTokens(Settings.Mailbox(SignInMailbox)).Keep(SignInLogin, outcome.Tokens);
        ShowSignedInAs();
    } else {
        ShowInformationMessage(SignInFailureText(outcome), Handle());
    }
    SignInFlow.reset();
}

LRESULT TPropertyForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != SignInEndedMessage) return TFormEx::WndProc(msg, wParam, lParam);
    SignInEnded();
    return 0;
}

void TPropertyForm::FillInFromAddress(bool replace) {
    if (!replace && !Text(IDC_POPSERVEREB).empty()) return;
    const std::optional<TProviderPreset> preset = PresetForAddress(Text(IDC_LOGINNAMEEB));
    if (!preset) {
        if (replace) ShowInformationMessage(ResourceString(IDS_NOPRESET), Handle());
        return;
    }
    SetText(IDC_POPSERVEREB, preset->Server);
    SendMessageA(Control(IDC_SECURECONNECTIONCOMBO), CB_SETCURSEL, preset->Security, 0);
    if (preset->SignIn) {
        SendMessageA(Control(IDC_SIGNINCOMBO), CB_SETCURSEL, *preset->SignIn, 0);
        SignInComboChange();
    }
}

void TPropertyForm::OnCommand(int id, int notifyCode) {
    if (id == IDC_SIGNINCOMBO && notifyCode == CBN_SELCHANGE) SignInComboChange();
    if (id == IDC_MAILBOXLIST && notifyCode == CBN_SELCHANGE)
        ChooseMailbox(
            static_cast<std::size_t>(SendMessageA(Control(IDC_MAILBOXLIST), CB_GETCURSEL, 0, 0)));
    if ((id == IDC_MAILBOXNAMEEB || id == IDC_POPSERVEREB || id == IDC_LOGINNAMEEB) &&
        notifyCode == EN_CHANGE)
        RetitleMailbox();
    if (id == IDC_REPEATEVERYINTERVALEB && notifyCode == EN_CHANGE) ShowGeneralInterval();
    // Leaving the login name with an address in it fills in an empty server.
    if (id == IDC_LOGINNAMEEB && notifyCode == EN_KILLFOCUS) FillInFromAddress(false);
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDOK:
            OKBtnClick();
            break;
        case IDCANCEL:
            CancelBtnClick();
            break;
        case IDC_REPEATCHECKCB:
            RepeatCheckCBClick();
            break;
        case IDC_WINSOUNDRB:
        case IDC_WAVFILERB:
            WinSoundRBClick();
            break;
        case IDC_PLAYSOUNDCB:
            PlaySoundCBClick();
            break;
        case IDC_LAUNCHMAILAPPCB:
            LaunchMailAppCBClick();
            break;
        case IDC_WAVEFILEBROWSEBTN:
            WaveFileBrowseBtnClick();
            break;
        case IDC_MAILAPPBROWSEBTN:
            MailAppBrowseBtnClick();
            break;
        case IDC_FILLINBTN:
            FillInFromAddress(true);
            break;
        case IDC_SIGN_IN_BUTTON:
            SignInBtnClick();
            break;
        case IDC_ADDMAILBOXBTN:
            AddMailboxBtnClick();
            break;
        case IDC_REMOVEMAILBOXBTN:
            RemoveMailboxBtnClick();
            break;
        case IDC_SHOWDIALOGCB:
            ShowDialogCBClick();
            break;
        case IDC_QUIETHOURSCB:
            QuietHoursCBClick();
            break;
    }
}

LRESULT TPropertyForm::OnNotify(int id, NMHDR& header) {
    if (id != IDC_PAGECONTROL || header.code != TCN_SELCHANGE) return TFormEx::OnNotify(id, header);
    ShowPage(TabCtrl_GetCurSel(header.hwndFrom));
    return 0;
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in every property dialog.
bool TPropertyForm::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0)
        return false;
    HWND tabs = Item(IDC_PAGECONTROL);
    const int step = GetKeyState(VK_SHIFT) < 0 ? kPageCount - 1 : 1;
    ShowPage((TabCtrl_GetCurSel(tabs) + step) % kPageCount);
    return true;
}

void TPropertyForm::OKBtnClick() {
    if (!PropertiesValid()) return;
    SetProperties();
    ModalResult = mrOk;
}

void TPropertyForm::CancelBtnClick() {
    ModalResult = mrCancel;
}

// A mailbox's own interval means something only while the check repeats.
void TPropertyForm::RepeatCheckCBClick() {
    SetEditBox(Checked(IDC_REPEATCHECKCB), IDC_REPEATEVERYINTERVALEB);
    SetEditBox(Checked(IDC_REPEATCHECKCB), IDC_MAILBOXINTERVALEB);
}

// An empty interval of a mailbox shows, greyed, the General one that it stands for.
void TPropertyForm::ShowGeneralInterval() {
    wchar_t cue[kIntervalMaxLength + 1] = {};
    const std::string general = Text(IDC_REPEATEVERYINTERVALEB);
    std::copy_n(general.begin(), std::min<std::size_t>(general.size(), kIntervalMaxLength), cue);
    SendMessageW(Control(IDC_MAILBOXINTERVALEB), EM_SETCUEBANNER, FALSE,
                 reinterpret_cast<LPARAM>(cue));
}

void TPropertyForm::WinSoundRBClick() {
    const bool waveFile = Checked(IDC_WAVFILERB);
    SetEditBox(waveFile, IDC_WAVEFILEEB);
    EnableWindow(Control(IDC_WAVEFILEBROWSEBTN), waveFile);
}

void TPropertyForm::PlaySoundCBClick() {
    const bool play = Checked(IDC_PLAYSOUNDCB);
    EnableWindow(Control(IDC_WINSOUNDRB), play);
    EnableWindow(Control(IDC_WAVFILERB), play);
    if (play) {
        WinSoundRBClick();
    } else {
        SetEditBox(false, IDC_WAVEFILEEB);
        EnableWindow(Control(IDC_WAVEFILEBROWSEBTN), false);
    }
}

void TPropertyForm::LaunchMailAppCBClick() {
    const bool launch = Checked(IDC_LAUNCHMAILAPPCB);
    SetEditBox(launch, IDC_MAILAPPEB);
    SetEditBox(launch, IDC_MAILAPPCOMMANDLINEEB);
    EnableWindow(Control(IDC_MAILAPPBROWSEBTN), launch);
}

// The balloon stands in for the message window, so it is offered only with the window.
void TPropertyForm::ShowDialogCBClick() {
    EnableWindow(Control(IDC_WINDOWSNOTIFICATIONCB), Checked(IDC_SHOWDIALOGCB));
}

void TPropertyForm::QuietHoursCBClick() {
    const bool quiet = Checked(IDC_QUIETHOURSCB);
    SetEditBox(quiet, IDC_QUIETFROMEB);
    SetEditBox(quiet, IDC_QUIETTOEB);
}

void TPropertyForm::WaveFileBrowseBtnClick() {
    const std::string file = PickFile(Handle(), IDS_OPENWAVEFILEFILTER, Text(IDC_WAVEFILEEB));
    if (!file.empty()) SetText(IDC_WAVEFILEEB, file);
}

void TPropertyForm::MailAppBrowseBtnClick() {
    const std::string file = PickFile(Handle(), IDS_OPENMAILAPPFILTER, Text(IDC_MAILAPPEB));
    if (file.empty()) return;
    SetText(IDC_MAILAPPEB, file);
    // The parameters belonged to the program that was there before.
    SetText(IDC_MAILAPPCOMMANDLINEEB, "");
}

bool ShowPropertiesDialog(TAppProperties& settings, int page, std::size_t mailbox) {
    if (PropertyForm) return false;
    RegisterTabControlClass();
    TPropertyForm form(settings);
    TOpenWindow<TPropertyForm> open(PropertyForm, form);
    form.CreateHandle();
    form.FillInFields(mailbox);
    form.SelectPage(page);
    SetForegroundWindow(Application.Handle());
    return form.ShowModal() == mrOk;
}
