#include "mailbase/Pop3/Pop3.win.h"

#include "framework/Application.win.h"
#include "mailbase/MailErrors.h"
#include "mailbase/Pop3/CommandLine.h"
#include "mailbase/Pop3/ReplyLine.h"
#include "mailbase/Pop3/StatReply.h"
#include "mailbase/SocketErrorText.h"
#include "mailbase/Wipe.win.h"

TPOP3::TPOP3() {
    ServiceName = "pop3";
    DefaultPort = 110;
}

TPOP3::~TPOP3() {
    Wipe(Password);
}

void TPOP3::SetSecurity(TSecurityMode mode) {
    FSecurity = mode;
    const bool implicitTls = mode == smTLS;
    ServiceName = implicitTls ? "pop3s" : "pop3";
    DefaultPort = implicitTls ? 995 : 110;
}

void TPOP3::SetState(TPOP3State state) {
    FState = state;
    if (OnStatusChange) OnStatusChange(this);
}

void TPOP3::Open() {
    SetState(psOpening);
    Reset();
    TMailBase::Open();
}

void TPOP3::Cancel() {
    TMailBase::Cancel();
    SetState(psCanceled);
}

void TPOP3::Login() {
    Reset();
    Connect();
    SetState(psConnected);
    if (FSecurity == smTLS) StartSecureChannel();
    std::string reply;
    ReadReply(reply);
    if (FSecurity == smSTLS) StartTls();
    if (Auth != paUserPass) return Authenticate();
    SendLine(CredentialCommand("USER ", UserName));
    ReadReply(reply);
    std::string pass = CredentialCommand("PASS ", Password);
    struct WipePass {
        std::string& Line;
        ~WipePass() { Wipe(Line); }
    } wipePass{pass};
    SendLine(pass, "PASS ****");
    ReadReply(reply);
}

// A server that refuses STLS ends the check: falling back to the plain connection would hand
// the password to anyone on the way.
void TPOP3::StartTls() {
    std::string reply;
    SendLine("STLS");
    try {
        ReadReply(reply);
    } catch (const EMailError&) {
        throw EMailError("The mail server does not offer a secure connection (STLS).");
    }
    StartSecureChannel();
}

void TPOP3::Stat() {
    std::string reply;
    SendLine("STAT");
    ReadReply(reply);
    const TStatReply stat = ParseStatReply(reply);
    MessageCount = stat.MessageCount;
    MailboxSize = stat.MailboxSize;
}

void TPOP3::Quit() {
    SetState(psQuitting);
    std::string reply;
    SendLine("QUIT");
    ReadReply(reply);
    SetState(psIdle);
}

void TPOP3::SendLine(const std::string& text) {
    SendLine(text, text);
}

void TPOP3::SendLine(const std::string& text, const std::string& shown) {
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    std::string data = Outgoing(line);
    // Every copy of the line is wiped however the send ends: it may hold a password.
    struct WipeCopies {
        std::string& Line;
        std::string& Data;
        ~WipeCopies() {
            Wipe(Line);
            Wipe(Data);
        }
    } wipeCopies{line, data};
    std::size_t sent = 0;
    StartTimeOut();
    for (;;) {
        Application.ProcessMessages();
        Writable = false;
        const int n = send(Socket, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        bool blocked = false;
        if (n == SOCKET_ERROR) {
            const int code = WSAGetLastError();
            if (code != WSAEWOULDBLOCK) {
                StopTimeOut();
                throw ESocketError(SocketErrorText(static_cast<std::uint16_t>(code)));
            }
            blocked = true;
        } else {
            sent += static_cast<std::size_t>(n);
        }
        Pass();
        if (sent == data.size() || TimedOut || Canceled) break;
        // Sleep until the socket can take more (or the clock ticks, or a cancel wakes us).
        if (blocked && !Writable) Idle();
    }
    StopTimeOut();
    if (TimedOut || Canceled) {
        CloseSocket();
        if (TimedOut) throw ETimedOutError();
        throw ECanceledError();
    }
    Transcript.push_back(shown);
}

void TPOP3::ReadReply(std::string& reply) {
    WaitForData();
    ReadLine(reply);
}

void TPOP3::WaitForData() {
    WaitUntil([this] { return Readable || InputPending() || Canceled || TimedOut || AsyncError; });
    if (Canceled) throw ECanceledError();
    if (TimedOut) throw ETimedOutError();
    if (AsyncError) throw ESocketError(SocketErrorText(ErrorCode));
}

void TPOP3::ReadLine(std::string& reply, bool dataLine) {
    StartTimeOut();
    Readable = false;
    Application.ProcessMessages();
    reply.clear();
    // Every way out of the read stops the clock and records what was read by then.
    struct Finish {
        TPOP3& Session;
        std::string& Reply;
        ~Finish() {
            Session.StopTimeOut();
            Session.Transcript.push_back(Reply);
        }
    } finish{*this, reply};

    TReplyLine line(dataLine);
    bool done = false;
    for (;;) {
        Application.ProcessMessages();
        Readable = false;
        // Whatever has arrived is taken up to the line end; the bytes after it stay received
        // for the next reply.
        char byte = 0;
        while (!done && ReceiveByte(byte) == 1) done = line.Add(byte);
        // Nothing yet, or the server closed and no byte will ever come.
        const bool starved = !done;
        if (done) {
            reply = line.Reply();
            if (!dataLine && !IsPositiveReply(reply)) throw EMailError(reply);
        }
        Pass();
        if (done || Canceled || TimedOut) break;
        // Without a byte to read, sleep until the data notification, the clock or a cancel; a
        // notification already handled by the pass means there is more to read now.
        if (starved && !Readable) Idle();
    }
    Application.ProcessMessages();
    if (TimedOut) throw ETimedOutError();
    if (Canceled) throw ECanceledError();
}
