#include "app/ErrorForm.win.h"

#include "framework/OpenWindow.h"
#include "resources/resource.h"

namespace {

TErrorForm* OpenErrorForm = nullptr;

constexpr UINT_PTR kFocusTimer = 1;

}  // namespace

TErrorForm::TErrorForm() : TFormEx(IDD_ERRORFORM) {}

void TErrorForm::FormCreate() {
    StartTimer(kFocusTimer, 1);
}

void TErrorForm::SetError(TMailErrorKind kind, const std::string& message) {
    // Any other kind keeps the template's text, which is that of a refusal.
    if (kind == mekMail)
        SetItemText(IDC_ERRORTYPELABEL, "Your mail server returned an error. It said:");
    else if (kind == mekSocket)
        SetItemText(IDC_ERRORTYPELABEL, "A network error occurred, with the message:");
    SetItemText(IDC_MAILSERVERERRORLABEL, message);
}

void TErrorForm::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) return;
    // "&Setup now" is the cancel button, so Esc chooses it too.
    if (id == IDC_SETUPNOW || id == IDCANCEL) ModalResult = mrOk;
    if (id == IDC_IGNORE) ModalResult = mrCancel;
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
                     const std::function<void()>& setupNow) {
    if (OpenErrorForm) return;
    int result;
    {
        TErrorForm form;
        TOpenWindow<TErrorForm> open(OpenErrorForm, form);
        form.CreateHandle();
        form.SetError(kind, message);
        result = form.ShowModal();
    }
    if (result == mrOk) setupNow();
}
