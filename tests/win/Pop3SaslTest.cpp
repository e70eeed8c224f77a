// Signing in through AUTH against a scripted server: CAPA first, one response per prompt, the
// dummy response to an error challenge, and nothing of the credentials where it is not asked.

#include "mailbase/MailMessageCount.win.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

const char kNotAccepted[] = "EMailError: The mail server does not accept this sign-in method.";
// Google's error challenge for a token it does not take.
const char kErrorChallenge[] =
    "+ eyJzdGF0dXMiOiI0MDEiLCJzY2hlbWVzIjoiYmVhcmVyIG1hYyIsInNjb3BlIjoiaHR0cHM6Ly9tYWlsLmdvb2dsZS5jb20vIn0K";
// user=ann ^A auth=Bearer secret ^A^A
const char kAnnXOAuth2[] = "dXNlcj1hbm4BYXV0aD1CZWFyZXIgc2VjcmV0AQE=";
// Stands for the OAUTHBEARER response, which holds the server's port.
const char kBearerResponse[] = "(bearer response)";

}  // namespace

TEST(Pop3Sasl, AsksCapaAndAnswersEachPromptAsTheServerAsks) {
    struct Case {
        TPop3Auth auth;
        std::vector<ServerStep> script;
        std::string outcome;
        Lines sent;
        bool tokenRefused;
    };
    const std::string annPlain = "AGFubgBzZWNyZXQ=";  // ^@ann^@secret
    const Case cases[] = {
        // PLAIN with its response on the AUTH line, as in the POP3 AUTH examples.
        {paPlain,
         Dialogue({"+OK pop server ready", "+OK\r\nSASL PLAIN\r\nSTLS\r\n.",
                   "+OK Maildrop locked and ready", "+OK 2 20", "+OK"}),
         "",
         {"CAPA", "AUTH PLAIN " + annPlain, "STAT", "QUIT"},
         false},
        // Microsoft's way: the response only after the "+ " prompt.
        {paXOAuth2,
         Dialogue({"+OK", "+OK Capability list follows\r\nUSER\r\nSASL XOAUTH2\r\n.", "+ ",
                   "+OK", "+OK 0 0", "+OK"}),
         "",
         {"CAPA", "AUTH XOAUTH2", kAnnXOAuth2, "STAT", "QUIT"},
         false},
        // A refused token: the error challenge gets the empty dummy response, then the -ERR.
        {paXOAuth2,
         Dialogue({"+OK", "+OK\r\nSASL PLAIN XOAUTH2\r\n.", "+ ", kErrorChallenge,
                   "-ERR Invalid credentials"}),
         "EMailError: -ERR Invalid credentials",
         {"CAPA", "AUTH XOAUTH2", kAnnXOAuth2, ""},
         true},
        // PLAIN refused with a second prompt is cancelled; it is no refused token.
        {paPlain,
         Dialogue({"+OK", "+OK\r\nSASL PLAIN\r\n.", "+ ", "-ERR [AUTH] Authentication failed."}),
         "EMailError: -ERR [AUTH] Authentication failed.",
         {"CAPA", "AUTH PLAIN " + annPlain, "*"},
         false},
        // OAUTHBEARER refused: its dummy response is "AQ==".
        {paOAuthBearer,
         Dialogue({"+OK", "+OK\r\nSASL OAUTHBEARER\r\n.", "+ ",
                   "+ eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIn0=", "-ERR [AUTH] Authentication failed."}),
         "EMailError: -ERR [AUTH] Authentication failed.",
         {"CAPA", "AUTH OAUTHBEARER", kBearerResponse, "AQ=="},
         true},
        // Not listed, no SASL line, no CAPA at all: no AUTH is sent.
        {paOAuthBearer, Dialogue({"+OK", "+OK\r\nSASL PLAIN XOAUTH2\r\n."}), kNotAccepted, {"CAPA"},
         false},
        {paPlain, Dialogue({"+OK", "+OK\r\nTOP\r\n..PLAIN\r\n."}), kNotAccepted, {"CAPA"}, false},
        {paPlain, Dialogue({"+OK", "-ERR unknown command"}), kNotAccepted, {"CAPA"}, false},
    };
    int index = 0;
    for (const Case& c : cases) {
        ScriptedPop3Server server(c.script);
        auto session = LoopbackSession(server.Port());
        session->Auth = c.auth;
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), c.outcome) << "case " << index;
        EXPECT_EQ(session->TokenRefused, c.tokenRefused) << "case " << index;
        // The bearer response names the port the session connected to.
        const std::string bearer = Base64Encode(
            SaslResponse(paOAuthBearer, "ann", "secret", "127.0.0.1", server.Port()));
        Lines expected = c.sent;
        for (std::string& line : expected)
            if (line == kBearerResponse) line = bearer;
        server.WaitForClientClose(2000);
        EXPECT_EQ(server.Received(), expected) << "case " << index;
        for (const std::string& line : session->Transcript)
            for (const std::string& secret : {annPlain, std::string(kAnnXOAuth2), bearer})
                EXPECT_EQ(line.find(secret), std::string::npos) << line;
        ++index;
    }
}

TEST(Pop3Sasl, ARefusedTokenIsRefreshedAndTheCheckRunOnceMore) {
    const auto refusing = [] {
        return Dialogue({"+OK", "+OK\r\nSASL XOAUTH2\r\n.", "+ ", kErrorChallenge, "-ERR expired"});
    };
    ScriptedPop3Server first(refusing()), second(refusing()), third(refusing()),
        accepting(Dialogue({"+OK", "+OK\r\nSASL XOAUTH2\r\n.", "+ ", "+OK", "+OK 4 80", "+OK"}));
    TMailMessageCount job;
    job.SetAccount("127.0.0.1", "ann", "old");
    job.Auth = paXOAuth2;
    job.PortOverride = first.Port();
    job.TimeOut = 5;
    std::string result;
    job.OnSuccess = [&](IMailCountJob*, std::int32_t count) { result = std::to_string(count); };
    job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind kind) {
        result = std::to_string(kind) + " " + message;
    };
    std::vector<std::string> refreshed;
    job.AccessToken = [&](std::string& token, bool renew, HANDLE) {
        if (!renew) return true;  // the token in hand will do
        refreshed.push_back(token);
        token = "fresh";
        job.PortOverride = accepting.Port();
        return true;
    };
    job.Run();
    EXPECT_EQ(result, "4");
    EXPECT_EQ(refreshed, Lines{"old"});
    accepting.WaitForClientClose(2000);
    EXPECT_EQ(accepting.Received()[2], Base64Encode("user=ann\x01" "auth=Bearer fresh\x01\x01"));

    // Refused again with the fresh token: the server's refusal, and no third attempt.
    job.PortOverride = second.Port();
    job.AccessToken = [&](std::string& token, bool renew, HANDLE) {
        if (!renew) return true;
        refreshed.push_back(token);
        job.PortOverride = third.Port();
        return true;
    };
    job.Run();
    EXPECT_EQ(result, "0 -ERR expired");
    EXPECT_EQ(refreshed, (Lines{"old", "fresh"}));
    EXPECT_TRUE(job.TokenRefused);
}
