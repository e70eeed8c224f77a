#include "mailbase/MailMessageCount.win.h"

#include "mailbase/MailErrors.h"
#include "mailbase/ServerAddress.h"
#include "framework/Wipe.win.h"

TMailMessageCount::~TMailMessageCount() {
    Wipe(Password);
}

void TMailMessageCount::SetAccount(const std::string& server, const std::string& userName,
                                   const std::string& password) {
    Server = server;
    UserName = userName;
    Password = password;
}

void TMailMessageCount::Run() {
    TMailErrorKind kind;
    std::string message;
    for (bool retried = false;; retried = true) {
        try {
            Dialogue();
            return;
        } catch (const EMailError& e) {
            kind = mekMail;
            message = e.Message;
        } catch (const ESocketError& e) {
            kind = mekSocket;
            message = e.Message;
        } catch (const ETimedOutError& e) {
            kind = mekTimedOut;
            message = e.Message;
        } catch (const ECanceledError& e) {
            kind = mekCanceled;
            message = e.Message;
        }
        // An access token is refused once it has expired: a fresh one gets one more dialogue
        // before anything is shown.
        if (retried || !TokenRefused || Canceled || !RefreshToken || !RefreshToken(Password))
            break;
    }
    // Outside the handlers: the session is gone, so the callback may start a new check at once.
    if (OnError) OnError(this, message, kind);
}

void TMailMessageCount::Dialogue() {
    auto session = std::make_unique<TPOP3>();
    // Published only once it exists, withdrawn before it is destroyed.
    struct Publish {
        TMailMessageCount& Job;
        ~Publish() {
            std::lock_guard<TLock> lock(Job.FSessionLock);
            Job.Session = nullptr;
        }
    } publish{*this};
    const TServerAddress address = ParseServerAddress(Server);
    session->Server = address.Host;
    session->UserName = UserName;
    session->Password = Password;
    session->Auth = Auth;
    session->SetSecurity(Security);
    session->FixedPort = PortOverride != 0 ? PortOverride : address.Port;
    session->TimeOut = TimeOut;
    {
        std::lock_guard<TLock> lock(FSessionLock);
        Session = session.get();
    }

    struct Close {
        TPOP3& S;
        ~Close() { S.CloseSocket(); }
    } close{*session};
    TokenRefused = false;
    session->Open();
    try {
        session->Login();
    } catch (const EMailError&) {
        TokenRefused = session->TokenRefused;
        throw;
    }
    session->Stat();
    if (OnlyNew) FindNewMail(*session);
    session->Quit();
    Count = session->MessageCount;
    if (OnSuccess) OnSuccess(this, Count);
}

void TMailMessageCount::FindNewMail(TPOP3& session) {
    News = {};
    News.Asked = true;
    std::vector<TUidlEntry> entries;
    if (!session.Uidl(entries)) return;
    News.Supported = true;
    const std::vector<std::int32_t> fresh = NewMessages(entries, Seen);
    News.Count = static_cast<std::int32_t>(fresh.size());
    for (TUidlEntry& entry : entries) News.CurrentIds.push_back(std::move(entry.Id));
    for (std::size_t i = 0; i < fresh.size() && i < Previews; ++i) {
        const std::vector<std::string> header = session.TopHeader(fresh[i]);
        // A refused TOP leaves the message in the count without a line of its own.
        if (!header.empty()) News.Newest.push_back(ParseMessageHeader(header));
    }
}

void TMailMessageCount::Cancel() {
    std::lock_guard<TLock> lock(FSessionLock);
    if (Session) {
        Canceled = true;
        Session->Cancel();
    }
}
