#pragma once
// The checks of all mailboxes: one controller (TMailStatus) per mailbox, each with its own "one
// check at a time, later requests wait" rule, retries and seen IDs, behind one road for every
// request.
//
// Scheduling: requests wait here, one per mailbox, taken in the mailboxes' order; the next starts
// only while no mailbox's check is connected, so there are never two connections at once; a request
// for a mailbox whose check is connected goes to its controller, which cancels and repeats as
// always. Only a connection holds the queue back, not a window a check left open (an error,
// "Mail"), so the checks go on under it as they always did. A round runs from a request to the
// moment no request waits and nothing is connected: what its checks have to tell is told then,
// once, in one "Mail" window with one sound (a line per mailbox with mail, without the newest
// messages' senders that one mailbox lists). Errors wait likewise, one per mailbox, for the open
// one. With one mailbox every call reaches the program's host as the controller makes it, so such a
// program behaves as it always did.
//
// Everything here runs on the user-interface thread.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MailCheck.h"

class TMailboxChecks {
public:
    // host: the program's; titleOf: what the user calls a mailbox.
    TMailboxChecks(ICheckHost& host, std::function<std::string(std::size_t)> titleOf);
    ~TMailboxChecks();
    TMailboxChecks(const TMailboxChecks&) = delete;
    TMailboxChecks& operator=(const TMailboxChecks&) = delete;

    // Puts the number of mailboxes into effect. Controllers are never destroyed, since one may be
    // inside a check further down the stack; those beyond the number rest.
    void SetMailboxCount(std::size_t count);
    std::size_t Count() const { return Active; }
    TMailStatus& Status(std::size_t index);

    // Every mailbox, one after another (a user's request checks them all).
    void CheckMail(bool userInitiated);
    // The mailbox's own schedule.
    void CheckMailbox(std::size_t index, bool userInitiated);
    // The mailbox's quiet retry is due.
    void RetryDue(std::size_t index);
    void CancelMailCheck();
    void Woke();
    bool HasCheckResult() const;
    // The popup: with several mailboxes the sum, the latest time and a line per mailbox with mail.
    void ShowLastCheck();

private:
    class TLink;

    void Request(std::size_t index, bool userInitiated);
    // The first mailbox with the flag set, or null.
    TLink* Waiting(bool TLink::*flag) const;
    void Run();
    bool Connected() const;
    // The results of every mailbox in the tray.
    void ShowInTray();
    void TellRound();
    void ReportErrors();
    // A line per mailbox with mail ("3 mail messages", "Work"), of the round's results or of
    // the last ones, with their sum and one wording for all.
    std::vector<TMessageSummary> Lines(bool round, std::int32_t& total,
                                       TCountWording& wording) const;

    ICheckHost& Host;
    std::function<std::string(std::size_t)> TitleOf;
    std::vector<std::unique_ptr<TLink>> Links;
    std::size_t Active = 0;
    bool ShowingError = false;
};
