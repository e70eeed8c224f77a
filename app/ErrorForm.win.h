#pragma once
// "Mail Server Error": tells why a check failed and offers the way to the settings.

#include <functional>
#include <string>

#include "framework/FormEx.win.h"
#include "app/RefusalAdvice.h"
#include "mailbase/MailErrorKind.h"

class TErrorForm : public TFormEx {
public:
    TErrorForm();

    // The heading by the kind of failure, naming the mailbox when one is given, and the
    // failure's own message below it; for a known refusal of the server named in the settings,
    // what to do and a way to the help about it.
    void SetError(TMailErrorKind kind, const std::string& message,
                  const std::string& server = std::string(),
                  const std::string& mailbox = std::string());

protected:
    void FormCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnTimer(UINT_PTR id) override;

private:
    void FocusTimerTimer();
    void ShowAdvice(const TRefusalAdvice& advice);

    const TRefusalAdvice* FAdvice = nullptr;
};

// True while an error dialog exists.
bool ErrorDialogOpen();

// Shows the failure's message in the error dialog and returns once it is closed; after
// "&Setup now" (or Esc) it calls setupNow, which opens the Properties dialog on its "Mailbox"
// page. While a dialog is open a further failure returns at once and is not shown. mailbox: the
// name of the mailbox, given when there are several.
void ReportMailError(const std::string& message, TMailErrorKind kind,
                     const std::function<void()>& setupNow,
                     const std::string& server = std::string(),
                     const std::string& mailbox = std::string());
