#pragma once
// The mail check controller: the one road of every check request. It runs at most one count
// job at a time, keeps the result of the last successful check and routes each outcome: the
// tray and the notification on success, the error dialog, a re-issue or nothing on failure.
//
// Everything here runs on the user-interface thread; requests of other threads are carried
// over to it before they reach CheckMail.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "app/WakeTriggers.h"
#include "framework/DateTime.h"
#include "mailbase/MailCountJob.h"
#include "tray/ResultText.h"

struct MailAccount {
    std::string Server, UserName, Password;
};

// What the controller reaches outside itself: settings, the job, and the windows of the program.
class ICheckHost {
public:
    virtual ~ICheckHost() = default;

    virtual bool SettingsComplete() = 0;
    virtual MailAccount Account() = 0;
    virtual std::unique_ptr<IMailCountJob> CreateJob() = 0;

    // Shows the "Information Required" prompt modally and returns its modal result.
    virtual int ShowSettingsPrompt() = 0;
    virtual void OpenPropertiesDialog(int page) = 0;
    virtual void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) = 0;
    // newest: who sent the newest new messages and about what, newest first; may be empty.
    virtual void NotifyAfterCheck(std::int32_t count, TCountWording wording,
                                  const std::vector<TMessageSummary>& newest) = 0;
    virtual void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                                const std::vector<TMessageSummary>& newest) = 0;

    // "Only New Mail", and the IDs of the mailbox's messages that the user has been told about.
    virtual bool OnlyNewMail() = 0;
    virtual TSeenIds LoadSeen(const std::string& server, const std::string& userName) = 0;
    virtual void SaveSeen(const std::string& server, const std::string& userName,
                          const std::vector<std::string>& ids) = 0;
    virtual void ReportMailError(const std::string& message, TMailErrorKind kind) = 0;
    // A failure that is the program's own, not the server's (a callback that threw, a reply
    // the program could not take apart): the program's error report, not the error dialog.
    virtual void ReportProgramFailure(std::exception_ptr failure) = 0;

    // Handles every message waiting in the calling thread's queue.
    virtual void ProcessMessages() = 0;
    // Waits the given time while the thread's messages keep flowing; false when the program is
    // quitting meanwhile.
    virtual bool Pause(int milliseconds) = 0;
    virtual TDateTime Now() = 0;
    // Milliseconds of a clock that only moves forward; it may wrap around.
    virtual std::uint32_t Ticks() = 0;

    // Calls TMailStatus::RetryDue on this thread once the time has passed; a later start
    // replaces the waiting one.
    virtual void StartRetryTimer(std::uint32_t milliseconds) = 0;
    virtual void StopRetryTimer() = 0;
    // A check nobody asked for tells its outcome in the tray only: quiet hours, notifications
    // paused, or the system says the user must not be disturbed.
    virtual bool KeepQuiet() = 0;

    // Only with several mailboxes (TMailboxChecks): the mailbox that the calls after this one
    // concern (its settings, job, prompt, Properties page, error and retry timer), and the tray
    // for all of them: the mailboxes with mail, the time of the last check.
    virtual void SelectMailbox(std::size_t) {}
    virtual void ShowMailboxesInTray(const std::vector<TMailboxCount>&, TDateTime, TCountWording) {}
};

// Page of the Properties dialog that the prompts open.
constexpr int kMailboxPage = 1;

class TMailStatus {
public:
    explicit TMailStatus(ICheckHost& host) : Host(host) {}
    TMailStatus(const TMailStatus&) = delete;
    TMailStatus& operator=(const TMailStatus&) = delete;

    // The controller's procedures.
    void CheckMail(bool userInitiated);
    void CancelMailCheck();
    bool HasCheckResult() const { return LastCheckTime > 0.0; }
    void ShowLastCheck();
    void PromptForSettings();
    // The computer resumed or its network addresses changed: the network may be coming up.
    void Woke();
    // The retry timer has run out: the quiet retry, unless a check runs.
    void RetryDue();

    // The state's own operations.
    void StartCheck(const std::string& server, const std::string& userName,
                    const std::string& password);
    void Cancel();
    void CheckSucceeded(IMailCountJob* sender, std::int32_t count);
    void CheckFailed(IMailCountJob* sender, const std::string& message, TMailErrorKind kind);

    std::int32_t LastCount = 0;
    TDateTime LastCheckTime = 0.0;
    TCountWording LastWording = cwAll;
    std::vector<TMessageSummary> LastNewest;
    IMailCountJob* FMailMessageCount = nullptr;  // the running job; owned by StartCheck
    bool UserInitiated = false;
    bool Busy = false;
    bool RecheckPending = false;
    bool PromptOpen = false;

    // A busy name server is asked again at most this often in a row for one request, each time
    // after this pause.
    static constexpr int kMaxDnsRetries = 3;
    static constexpr int kDnsRetryPauseMs = 2000;

private:
    void Request(bool userInitiated, bool dnsRetry);
    void RetryBusyNameServer();
    // A failure that is not a time-out nor a cancel: retried quietly after a resume, kept quiet
    // in quiet hours, or shown.
    void ReportFailure(const std::string& message, TMailErrorKind kind);
    // Starts the retry timer for a network failure just after a resume; false when the failure
    // is not retried.
    bool RetryQuietly(const std::string& message, TMailErrorKind kind);

    ICheckHost& Host;
    int DnsRetries = 0;         // re-issues in a row for the current request
    bool DnsRetryDue = false;   // the job that just ran asks for one, once its Run has returned
    unsigned ChecksStarted = 0; // tells a retry that a newer check has run during its pause
    // The mailbox of the running check, and the newest check whose IDs were saved as seen.
    std::string CheckServer, CheckUserName;
    unsigned CheckNumber = 0, SeenSavedBy = 0;
    TWakeRetry WakeRetry;
};
