#include "app/ErrorForm.win.h"

#include "app/OpenDocument.win.h"
#include "app/SingleInstance.win.h"
#include "app/StartupNames.h"
#include "framework/OpenWindow.h"
#include "framework/ResourceString.win.h"
#include "resources/resource.h"

namespace {

TErrorForm* OpenErrorForm = nullptr;

constexpr UINT_PTR kFocusTimer = 1;

}  // namespace

TErrorForm::TErrorForm() : TFormEx(IDD_ERRORFORM) {}

void TErrorForm::FormCreate() {
    StartTimer(kFocusTimer, 1);
}

void TErrorForm::SetError(TMailErrorKind kind, const std::string& message,
                          const std::string& server, const std::string& mailbox) {
    // Any other kind keeps the template's text, which is that of a refusal.
    const std::string of = mailbox.empty() ? "" : " for " + mailbox;
    if (kind == mekSocket)
        SetItemText(IDC_ERRORTYPELABEL, "A network error occurred" + of + ", with the message:");
    else if (kind == mekMail || !mailbox.empty())
        SetItemText(IDC_ERRORTYPELABEL, "Your mail server" + of + " returned an error. It said:");
    SetItemText(IDC_MAILSERVERERRORLABEL, message);
    if (kind == mekMail) {
        if (const TRefusalAdvice* advice = AdviceForRefusal(message, server)) ShowAdvice(*advice);
    }
}

// The advice goes between the sentence and the buttons, which move down by its height.
void TErrorForm::ShowAdvice(const TRefusalAdvice& advice) {
    FAdvice = &advice;
    SetItemText(IDC_ERRORADVICELABEL, ResourceString(advice.TextId));
    RECT grow{0, 0, 0, 36};
    MapDialogRect(Handle(), &grow);
    for (int id : {IDC_SETUPNOW, IDC_IGNORE, IDC_ERRORHELP}) {
        RECT box;
        GetWindowRect(Item(id), &box);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&box), 2);
        SetWindowPos(Item(id), nullptr, box.left, box.top + grow.bottom, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    GetWindowRect(Handle(), &frame);
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + grow.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Item(IDC_ERRORADVICELABEL), SW_SHOWNA);
    ShowWindow(Item(IDC_ERRORHELP), SW_SHOWNA);
}

void TErrorForm::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    // "&Setup now" is the cancel button, so Esc chooses it too.
    if (id == IDC_SETUPNOW || id == IDCANCEL) ModalResult = mrOk;
    if (id == IDC_IGNORE) ModalResult = mrCancel;
    if (id == IDC_ERRORHELP && FAdvice)
        OpenDocument(HelpSectionAddress(HelpDocumentPath(ModulePath()), FAdvice->HelpSection));
}

void TErrorForm::OnTimer(UINT_PTR id) {
    if (id == kFocusTimer) FocusTimerTimer();
}

// A background check fails while the program has no active window; this lifts the dialog above
// the other programs' windows once it is up.
void TErrorForm::FocusTimerTimer() {
    StopTimer(kFocusTimer);
    SetForegroundWindow(Handle());
}

bool ErrorDialogOpen() {
    return OpenErrorForm != nullptr;
}

void ReportMailError(const std::string& message, TMailErrorKind kind,
                     const std::function<void()>& setupNow, const std::string& server,
                     const std::string& mailbox) {
    if (OpenErrorForm) return;
    int result;
    {
        TErrorForm form;
        TOpenWindow<TErrorForm> open(OpenErrorForm, form);
        form.CreateHandle();
        form.SetError(kind, message, server, mailbox);
        result = form.ShowModal();
    }
    if (result == mrOk) setupNow();
}
