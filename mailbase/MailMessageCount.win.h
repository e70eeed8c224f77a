#pragma once
// TMailMessageCount: one check of the mailbox. Run plays one POP3 dialogue on a session of its
// own and reports the outcome through exactly one callback: the message count, or a message
// with its error kind. Failures outside the session's four classes pass to the caller. With
// OnlyNew it also tells the new messages apart by their UIDL and reads who sent the newest.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/Lock.h"
#include "mailbase/MailCountJob.h"
#include "mailbase/Pop3/Pop3.win.h"

class TMailMessageCount : public IMailCountJob {
public:
    ~TMailMessageCount() override;
    void SetAccount(const std::string& server, const std::string& userName,
                    const std::string& password) override;
    void Run() override;
    // Safe from the running thread's handlers and from another thread.
    void Cancel() override;

    std::int32_t Count = 0;
    std::string Server;
    std::string UserName;
    // The password, or the access token for the OAuth mechanisms; wiped when the job ends.
    std::string Password;
    TPop3Auth Auth = paUserPass;
    // For the OAuth mechanisms: puts an access token into token, true when it did. Asked before
    // the first dialogue (renew false: one still valid will do), and at most once more when the
    // server refused the token (renew true: a fresh one signs in again at once; false ends the
    // check with the server's refusal). stop is signalled when the check is cancelled meanwhile;
    // the callback then returns false at once.
    std::function<bool(std::string& token, bool renew, HANDLE stop)> AccessToken;
    // Whether the last dialogue ended on a refused access token.
    bool TokenRefused = false;
    // How the connection is secured; the settings' "Security".
    TSecurityMode Security = smNone;
    std::atomic<bool> Canceled{false};
    // Nonzero: connect to this port without looking up the service, whatever Server says (test
    // tools only).
    std::uint16_t PortOverride = 0;
    // The session's TimeOut for each wait, in seconds.
    std::int32_t TimeOut = 60;
    // With OnlyNew: how many of the newest new messages have their header read.
    std::size_t Previews = kMaxPreviews;

    TMailMessageCount();

private:
    void Dialogue();
    // Asks AccessToken where Cancel can stop it; false when it gave no token.
    bool FetchToken(bool renew);
    // After STAT: UIDL, and the headers of the newest new messages.
    void FindNewMail(TPOP3& session);

    // Set only while Run is active. The lock keeps a Cancel of another thread from reaching a
    // session that Run is destroying; it is never held during a wait.
    TPOP3* Session = nullptr;
    // Set while AccessToken runs, under the same lock; Cancel then signals the stop event.
    bool FFetching = false;
    std::unique_ptr<void, decltype(&CloseHandle)> FStopFetch;
    TLock FSessionLock;
};
