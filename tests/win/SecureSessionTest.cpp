// Secure connections: against the test Dovecot (TLS on 995, STLS on 110, and the three
// instances whose certificates must be refused), against the test TLS servers that speak
// outdated versions or ask for a client certificate, through a relay that records or slices the
// bytes, and against scripted servers that break the handshake.

#include "mailbase/MailMessageCount.win.h"
#include "mailbase/SecureErrorText.h"
#include "mailbase/SecurityLibrary.win.h"
#include "tests/support/TestThread.h"
#include "tests/win/LoopbackRelay.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using Lines = std::vector<std::string>;

namespace {

const std::uint16_t kPop3 = 110, kPop3s = 995;
const std::uint16_t kTls10 = 9954, kTls11 = 9955, kAsksForACertificate = 9956;
const char kGreeting[] = "+OK Dovecot (Debian) ready.";

// A session for the test Dovecot's mailbox "three" at localhost, the name its certificates
// carry; port 0 takes the port from the service entry.
std::unique_ptr<TPOP3> DovecotSession(TSecurityMode mode, std::uint16_t port = 0, int timeOut = 5) {
    auto session = LoopbackSession(port, timeOut);
    session->Server = "localhost";
    session->UserName = "three";
    session->Password = "three-secret";
    session->SetSecurity(mode);
    return session;
}

// The transcript with the STAT reply's size left out: only the count is the test's business.
Lines WithoutSize(Lines transcript) {
    for (std::string& line : transcript) {
        if (line.rfind("+OK 3 ", 0) == 0) line = "+OK 3";
    }
    return transcript;
}

// The content types of the TLS records in a byte stream, as far as it holds whole headers.
std::vector<int> RecordTypes(const std::string& bytes) {
    std::vector<int> types;
    for (std::size_t at = 0; at + 5 <= bytes.size();
         at += 5 + (static_cast<unsigned char>(bytes[at + 3]) << 8 |
                    static_cast<unsigned char>(bytes[at + 4])))
        types.push_back(static_cast<unsigned char>(bytes[at]));
    return types;
}

}  // namespace

TEST(SecureSession, CountsOverBothModesWithTheLinesOfAPlainCheck) {
    auto tls = DovecotSession(smTLS);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*tls); }), "");
    EXPECT_EQ(tls->Port, kPop3s) << "from the pop3s service";
    EXPECT_EQ(tls->MessageCount, 3);
    EXPECT_EQ(WithoutSize(tls->Transcript),
              (Lines{kGreeting, "USER three", "+OK", "PASS ****", "+OK Logged in.", "STAT",
                     "+OK 3", "QUIT", "+OK Logging out."}));

    auto stls = DovecotSession(smSTLS);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*stls); }), "");
    EXPECT_EQ(stls->Port, kPop3);
    EXPECT_EQ(stls->MessageCount, 3);
    EXPECT_EQ(WithoutSize(stls->Transcript),
              (Lines{kGreeting, "STLS", "+OK Begin TLS negotiation now.", "USER three", "+OK",
                     "PASS ****", "+OK Logged in.", "STAT", "+OK 3", "QUIT", "+OK Logging out."}));
}

// The provider's answer when the server asks for a new handshake while data flows, or sends a
// message of the handshake layer then (a TLS 1.3 session ticket): the record's data comes out, and
// the provider must be called again with what was left over, which may be nothing. Wine's provider
// never gives that answer (it cannot renegotiate, and takes tickets in itself), so this stands in
// its place in the provider's own table: once, for the first record that carries data, and the
// new handshake then completes at once.
class TRenegotiatingProvider {
public:
    TRenegotiatingProvider() : Table(*SecurityLibrary().Sspi), Saved(Table) {
        Instance = this;
        VirtualProtect(&Table, sizeof Table, PAGE_READWRITE, &Protection);
        Table.DecryptMessage = &Decrypt;
        Table.InitializeSecurityContextA = &Initialize;
    }
    ~TRenegotiatingProvider() {
        Table = Saved;
        VirtualProtect(&Table, sizeof Table, Protection, &Protection);
        Instance = nullptr;
    }

    // The size of the input of each new handshake.
    std::vector<ULONG> LeftOver;

private:
    static SECURITY_STATUS SEC_ENTRY Decrypt(PCtxtHandle context, PSecBufferDesc message,
                                             ULONG sequence, PULONG quality) {
        const SECURITY_STATUS status =
            Instance->Saved.DecryptMessage(context, message, sequence, quality);
        bool data = false;
        for (ULONG i = 0; i < message->cBuffers; ++i)
            data |= message->pBuffers[i].BufferType == SECBUFFER_DATA &&
                    message->pBuffers[i].cbBuffer > 0;
        if (status != SEC_E_OK || !data || Instance->Asked) return status;
        Instance->Asked = Instance->Due = true;
        return SEC_I_RENEGOTIATE;
    }
    static SECURITY_STATUS SEC_ENTRY Initialize(PCredHandle credentials, PCtxtHandle context,
                                                SEC_CHAR* target, ULONG requirements,
                                                ULONG reserved, ULONG representation,
                                                PSecBufferDesc input, ULONG reserved2,
                                                PCtxtHandle newContext, PSecBufferDesc output,
                                                PULONG attributes, PTimeStamp expiry) {
        if (!Instance->Due)
            return Instance->Saved.InitializeSecurityContextA(
                credentials, context, target, requirements, reserved, representation, input,
                reserved2, newContext, output, attributes, expiry);
        Instance->Due = false;
        Instance->LeftOver.push_back(input ? input->pBuffers[0].cbBuffer : ~0UL);
        return SEC_E_OK;
    }

    static TRenegotiatingProvider* Instance;
    SecurityFunctionTableA& Table;
    const SecurityFunctionTableA Saved;
    DWORD Protection = 0;
    bool Asked = false, Due = false;
};

TRenegotiatingProvider* TRenegotiatingProvider::Instance = nullptr;

TEST(SecureSession, ANewHandshakeWhileDataFlowsWithNothingLeftOver) {
    TRenegotiatingProvider provider;
    auto session = DovecotSession(smTLS);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(provider.LeftOver, std::vector<ULONG>{0}) << "once, after the greeting's record";
    EXPECT_EQ(session->MessageCount, 3);
    EXPECT_EQ(WithoutSize(session->Transcript),
              (Lines{kGreeting, "USER three", "+OK", "PASS ****", "+OK Logged in.", "STAT",
                     "+OK 3", "QUIT", "+OK Logging out."}));
}

// Over TLS the server's bytes reach the client one at a time: handshake messages and records
// arrive in pieces and are assembled.
TEST(SecureSession, NothingOfTheLoginTravelsInTheClear) {
    struct Case {
        TSecurityMode mode;
        std::uint16_t port;
        std::string clearPrefix;  // what the client sends before its TLS hello
        LoopbackRelay::Pieces pieces;
    };
    for (const Case& c : {Case{smTLS, kPop3s, "", LoopbackRelay::OneByteAtATime},
                          Case{smSTLS, kPop3, "STLS\r\n", LoopbackRelay::AsTheyCome}}) {
        LoopbackRelay relay(c.port, c.pieces);
        auto session = DovecotSession(c.mode, relay.Port());
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
        EXPECT_EQ(session->MessageCount, 3);
        const std::string sent = relay.ClientBytes();
        ASSERT_GT(sent.size(), c.clearPrefix.size());
        EXPECT_EQ(sent.substr(0, c.clearPrefix.size()), c.clearPrefix);
        EXPECT_EQ(sent[c.clearPrefix.size()], '\x16') << "a TLS handshake record";
        for (const char* secret : {"USER", "PASS", "three-secret", "STAT", "QUIT"})
            EXPECT_EQ(sent.find(secret), std::string::npos) << secret;
    }
}

// Each ends the check before the greeting is read: nothing is sent inside the channel.
TEST(SecureSession, RefusesCertificatesItCannotTrust) {
    const std::pair<std::string, std::uint16_t> untrusted{"localhost", 9951},
        expired{"localhost", 9952}, otherName{"localhost", 9953},
        address{"127.0.0.1", kPop3s};  // the certificate names localhost, not the address
    const std::pair<std::pair<std::string, std::uint16_t>, std::string> cases[] = {
        {untrusted, "ESocketError: The mail server's certificate is not trusted."},
        {expired, "ESocketError: The mail server's certificate has expired or is not yet valid."},
        {otherName, "ESocketError: The mail server's certificate is for another name."},
        {address, "ESocketError: The mail server's certificate is for another name."},
    };
    for (const auto& [server, outcome] : cases) {
        auto session = DovecotSession(smTLS, server.second);
        session->Server = server.first;
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), outcome) << server.second;
        EXPECT_TRUE(session->Transcript.empty());
    }
}

TEST(SecureSession, AnOutdatedServerReceivesNothingAfterTheHandshake) {
    const int applicationData = 0x17;
    for (std::uint16_t port : {kTls10, kTls11}) {
        LoopbackRelay relay(port);
        auto session = DovecotSession(smTLS, relay.Port());
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
                  "EMailError: The mail server offers only an outdated secure connection.")
            << port;
        EXPECT_TRUE(session->Transcript.empty());
        const std::vector<int> types = RecordTypes(relay.ClientBytes());
        EXPECT_FALSE(types.empty());
        EXPECT_EQ(std::count(types.begin(), types.end(), applicationData), 0) << port;
    }
}

TEST(SecureSession, AServerThatAsksForAClientCertificateGetsTheLoginWithoutOne) {
    auto session = DovecotSession(smTLS, kAsksForACertificate);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(session->Transcript,
              (Lines{"+OK ready", "USER three", "+OK", "PASS ****", "+OK Logged in.", "STAT",
                     "+OK 2 320", "QUIT", "+OK bye"}));
}

// A server (or whoever is on the way) that sends more after its answer to STLS would have those
// bytes read as the first words inside the secure connection.
TEST(SecureSession, BytesAfterTheAnswerToStlsEndTheCheck) {
    ScriptedPop3Server server(
        {Send("+OK ready\r\n"), ReadLine(), Send("+OK Begin TLS\r\n+OK 0 0\r\n")});
    auto session = LoopbackSession(server.Port());
    session->SetSecurity(smSTLS);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              std::string("ESocketError: ") + UnsecuredDataText);
    server.WaitForClientClose(2000);
    EXPECT_EQ(server.Received(), Lines{"STLS"});
}

TEST(SecureSession, AServerWithoutStlsNeverGetsTheLogin) {
    ScriptedPop3Server server(Dialogue({"+OK ready", "-ERR Unknown command: STLS"}));
    auto session = LoopbackSession(server.Port());
    session->SetSecurity(smSTLS);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "EMailError: The mail server does not offer a secure connection (STLS).");
    server.WaitForClientClose(2000);
    EXPECT_EQ(server.Received(), Lines{"STLS"});
}

// One outcome each, within the time-out, and no fall-back to the plain dialogue.
TEST(SecureSession, TheOtherProtocolOnAPortEndsTheCheck) {
    auto tlsOnPlainPort = DovecotSession(smTLS, kPop3);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*tlsOnPlainPort); }),
              std::string("ESocketError: ") + NotSecureServerText);
    EXPECT_TRUE(tlsOnPlainPort->Transcript.empty());

    auto plainOnTlsPort = DovecotSession(smNone, kPop3s, 1);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*plainOnTlsPort); }),
              "ETimedOutError: Operation timed out");
}

TEST(SecureSession, HandshakesThatBreakOff) {
    const std::string partialRecord("\x16\x03\x03\x00\x40\x02\x00", 7);
    const std::string handshakeFailure("\x15\x03\x03\x00\x02\x02\x28", 7);  // fatal alert
    struct Case {
        std::vector<ServerStep> script;
        int timeOut;
        std::string outcome;
    };
    const Case cases[] = {
        {{}, 1, "ETimedOutError: Operation timed out"},  // takes the hello, answers nothing
        {{Pause(100), Send(partialRecord)}, 1, "ETimedOutError: Operation timed out"},
        // A close sends no notification: the next tick of the clock finds it.
        {{Pause(100), Close()}, 3, std::string("ESocketError: ") + HandshakeClosedText},
        {{Pause(100), Send(handshakeFailure)},
         1,
         "ESocketError: The secure connection to the mail server failed (error 0x"},
    };
    for (const Case& c : cases) {
        ScriptedPop3Server server(c.script);
        auto session = LoopbackSession(server.Port(), c.timeOut);
        session->SetSecurity(smTLS);
        const std::string outcome = Outcome([&] { PlayDialogue(*session); });
        // The provider's own code closes the last text.
        EXPECT_EQ(outcome.substr(0, c.outcome.size()), c.outcome);
    }
}

TEST(SecureSession, CancelDuringTheHandshake) {
    WaitHook hook;
    for (bool otherThread : {false, true}) {
        ScriptedPop3Server silent({});
        auto session = LoopbackSession(silent.Port(), 0);
        session->SetSecurity(smTLS);
        session->OnStatusChange = [&](TPOP3* s) {
            if (s->State() != psConnected) return;
            hook.RunInsideNextWait([&] {
                if (otherThread)
                    TTestThread([&] { session->Cancel(); }).join();
                else
                    session->Cancel();
            });
        };
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
                  "ECanceledError: Operation has been canceled");
        EXPECT_EQ(session->State(), psCanceled);
    }
}

// Only by full name from the system folder; a folder without the libraries binds nothing.
TEST(SecureSession, TheProviderIsBoundFromAFolderByFullName) {
    char system[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    EXPECT_NE(BindSecurityLibrary(system).Sspi, nullptr);
    EXPECT_EQ(BindSecurityLibrary(temp).Sspi, nullptr);
}
