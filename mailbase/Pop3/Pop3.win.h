#pragma once
// TPOP3: just enough of POP3 to count the messages of a mailbox: the greeting, USER, PASS,
// STAT and QUIT, one CR LF line each way, every reply refused unless it begins with "+". With
// a secure mode the same lines travel inside TLS, begun before the greeting or after STLS.
// Instead of USER and PASS it can sign in through a SASL mechanism (AUTH), once CAPA lists it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mailbase/MailBase.win.h"
#include "mailbase/Pop3/Sasl.h"
#include "mailbase/SecurityMode.h"

enum TPOP3State : std::uint8_t {
    psIdle = 0,
    psConnected = 1,
    psOpening = 2,
    psQuitting = 5,
    psCanceled = 6,
};

class TPOP3 : public TMailBase {
public:
    using TNotifyEvent = std::function<void(TPOP3* sender)>;

    TPOP3();
    ~TPOP3() override;

    void Open() override;
    void Cancel() override;
    // Connects, reads the greeting and logs in as Auth says; secures the connection first as
    // Security asks. Nothing of the login is sent before the server's certificate is checked.
    // The transcript shows the password or token line as "****".
    void Login();
    // Sends STAT and sets MessageCount and MailboxSize.
    void Stat();
    // Sends QUIT and waits for its acknowledgement.
    void Quit();

    // Sends Text and CR LF, however many passes that takes.
    void SendLine(const std::string& text);
    // The same for a line that holds a secret: the transcript records shown instead, and the
    // session's own copies of the line are wiped.
    void SendLine(const std::string& text, const std::string& shown);
    // Reads one reply line into reply, without its line end.
    void ReadReply(std::string& reply);

    TPOP3State State() const { return FState.load(); }

    TSecurityMode Security() const { return FSecurity; }
    // smTLS also takes its port from the "pop3s" service, 995 when that is unknown.
    void SetSecurity(TSecurityMode mode);

    std::string UserName;
    // The password, or the access token for the OAuth mechanisms; wiped when the session ends.
    std::string Password;
    TPop3Auth Auth = paUserPass;
    // Set by Login when the server refused the access token: a fresh token may yet be taken.
    bool TokenRefused = false;
    std::int32_t MessageCount = 0;
    std::int64_t MailboxSize = 0;
    TNotifyEvent OnStatusChange;

private:
    void SetState(TPOP3State state);
    void WaitForData();
    // A data line (of a multi-line reply) completes at any length and may be negative.
    void ReadLine(std::string& reply, bool dataLine = false);
    void StartTls();
    void Authenticate();
    // The lines of the CAPA reply; none when the server does not know CAPA.
    std::vector<std::string> Capabilities();
    // Sends a line that carries credentials; the transcript shows shown instead.
    void SendSecretLine(const std::string& text, const std::string& shown);

    // Cancel may set it from another thread.
    std::atomic<TPOP3State> FState{psIdle};
    TSecurityMode FSecurity = smNone;
};
