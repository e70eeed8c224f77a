#include "mailbase/MailMessageCount.win.h"

#include "mailbase/MailErrors.h"
#include "mailbase/ServerAddress.h"
#include "framework/Application.win.h"
#include "framework/Wipe.win.h"

TMailMessageCount::TMailMessageCount()
    : FStopFetch(CreateEventA(nullptr, TRUE, FALSE, nullptr), &CloseHandle) {}

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
    TMailErrorKind kind = mekCanceled;
    std::string message = ECanceledError().Message;
    // Without a token the dialogue still runs: the server's refusal tells the user what is wrong.
    if (AccessToken) FetchToken(false);
    for (bool retried = false; !Canceled; retried = true) {
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
        if (retried || !TokenRefused || Canceled || !AccessToken || !FetchToken(true)) break;
    }
    if (Canceled) {
        kind = mekCanceled;
        message = ECanceledError().Message;
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

bool TMailMessageCount::FetchToken(bool renew) {
    {
        std::lock_guard<TLock> lock(FSessionLock);
        if (Canceled) return false;
        FFetching = true;
    }
    const bool fetched = AccessToken(Password, renew, FStopFetch.get());
    std::lock_guard<TLock> lock(FSessionLock);
    FFetching = false;
    // A program that is ending stops the fetch as a cancel would.
    if (!fetched && Application.Terminated()) Canceled = true;
    return fetched && !Canceled;
}

void TMailMessageCount::Cancel() {
    std::lock_guard<TLock> lock(FSessionLock);
    if (Session) {
        Canceled = true;
        Session->Cancel();
    } else if (FFetching) {
        Canceled = true;
        SetEvent(FStopFetch.get());
    }
}
