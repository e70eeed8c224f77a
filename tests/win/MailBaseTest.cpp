// The socket session's own steps: lookups, connect, clean-up, time-outs, cancel and the
// transcript, against loopback servers.

#include "mailbase/MailErrors.h"
#include "tests/support/TestThread.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> AddressTexts(const TMailBase& session) {
    std::vector<std::string> texts;
    for (const TSocketAddress& address : session.RemoteAddresses)
        texts.push_back(AddressText(address));
    return texts;
}

}  // namespace

TEST(MailBase, AddressesAndLookedUpNamesAreTriedAndThePop3ServiceGivesPort110) {
    const std::pair<const char*, std::vector<std::string>> servers[] = {
        {"127.0.0.1", {"127.0.0.1"}},
        {"::1", {"::1"}},
        {"localhost", {"127.0.0.1"}},
        {"larkspur-v6only", {"::1"}},
    };
    for (const auto& [server, addresses] : servers) {
        auto session = LoopbackSession(0);
        session->Server = server;
        EXPECT_EQ(Outcome([&] { session->Open(); }), "") << server;
        EXPECT_EQ(AddressTexts(*session), addresses);
        EXPECT_EQ(session->Port, 110);
    }
    auto session = LoopbackSession(0);
    session->Server = "larkspur-test.invalid";
    EXPECT_EQ(Outcome([&] { session->Open(); }), "ESocketError: The mail server name is incorrect");
}

TEST(MailBase, ServiceLookupFallsBackToTheDefaultPortAndNeedsAName) {
    TMailBase session;
    session.Server = "127.0.0.1";
    EXPECT_EQ(Outcome([&] { session.Open(); }), "EMailError: Service name is not specified");
    session.ServiceName = "larkspur-no-such-service";
    session.DefaultPort = 4321;
    EXPECT_EQ(Outcome([&] { session.Open(); }), "");
    EXPECT_EQ(session.Port, 4321);
}

// The name's IPv6 address comes first, and the scripted server listens on its IPv4 address
// only.
TEST(MailBase, ConnectTriesEveryAddressInTurnAndReportsTheLastFailure) {
    ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK", "+OK 1 1", "+OK"}));
    auto session = LoopbackSession(server.Port());
    session->Server = "larkspur-dual";
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(AddressTexts(*session), (std::vector<std::string>{"::1", "127.0.0.1"}));
    EXPECT_EQ(session->RemoteAddressText, "127.0.0.1");

    session = LoopbackSession(ClosedLoopbackPort(), 0);
    session->Server = "larkspur-dual";
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "ESocketError: Connection to mail server refused");
}

TEST(MailBase, ARefusedConnectionIsReportedWhenThePlatformReportsIt) {
    // With no time-out at all, only the refusal itself can end the connect wait.
    auto session = LoopbackSession(ClosedLoopbackPort(), 0);
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "ESocketError: Connection to mail server refused");
}

// Winsock start-ups outstanding in the process, counted by undoing them and made again. Some
// system libraries hold one of their own from the moment they are loaded (Wine's secur32).
static int OutstandingStartups() {
    int count = 0;
    while (WSACleanup() == 0) ++count;
    WSADATA data;
    for (int i = 0; i < count; ++i) WSAStartup(MAKEWORD(1, 1), &data);
    return count;
}

TEST(MailBase, EveryOpenIsMatchedByOneCleanupAtDestruction) {
    const int before = OutstandingStartups();
    {
        auto session = LoopbackSession(0);
        session->Open();
        session->Open();
        EXPECT_EQ(session->StartupCount, 2);
    }
    EXPECT_EQ(OutstandingStartups(), before);
}

TEST(MailBase, TheTranscriptFileHoldsEveryLineButThePassword) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "larkspur-transcript-test.txt";
    DeleteFileA(file.c_str());
    {
        ScriptedPop3Server server(Dialogue({"+OK hi", "+OK", "-ERR no"}));
        auto session = LoopbackSession(server.Port());
        session->TranscriptFileName = file;
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "EMailError: -ERR no");
    }
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "+OK hi\r\nUSER ann\r\n+OK\r\nPASS ****\r\n-ERR no\r\n");
    in.close();
    DeleteFileA(file.c_str());
}

TEST(MailBase, TimeOutZeroNeverTimesOutAndAnotherThreadCanCancel) {
    ScriptedPop3Server silent({});
    auto session = LoopbackSession(silent.Port(), 0);
    TTestThread canceler([&] {
        Sleep(2500);  // long past a one-second time-out
        session->Cancel();
    });
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "ECanceledError: Operation has been canceled");
    canceler.join();
    EXPECT_EQ(session->State(), psCanceled);
}

// Each wait ends at the end of the pass in which a handler cancelled it.
TEST(MailBase, CancelFromInsideEachWait) {
    const std::string canceled = "ECanceledError: Operation has been canceled";
    WaitHook hook;

    auto lookup = LoopbackSession(0);
    lookup->Server = "localhost";
    hook.RunInsideNextWait([&] { lookup->Cancel(); });
    EXPECT_EQ(Outcome([&] { lookup->Open(); }), canceled) << "host lookup";
    EXPECT_EQ(lookup->State(), psCanceled);

    // From another thread while the session's thread waits in the host lookup.
    lookup = LoopbackSession(0);
    lookup->Server = "localhost";
    hook.RunInsideNextWait([&] { TTestThread([&] { lookup->Cancel(); }).join(); });
    EXPECT_EQ(Outcome([&] { lookup->Open(); }), canceled) << "host lookup, other thread";

    auto service = LoopbackSession(0);
    service->FixedPort = 0;
    hook.RunInsideNextWait([&] { service->Cancel(); });
    EXPECT_EQ(Outcome([&] { service->Open(); }), canceled) << "service lookup";

    ScriptedPop3Server silent({});
    auto session = LoopbackSession(silent.Port());
    session->Open();
    hook.RunInsideNextWait([&] { session->Cancel(); });
    EXPECT_EQ(Outcome([&] { session->Login(); }), canceled) << "connect";
    session->CloseSocket();

    // Waiting for the greeting's data: the hook runs once the connection stands.
    ScriptedPop3Server alsoSilent({});
    session = LoopbackSession(alsoSilent.Port());
    session->OnStatusChange = [&](TPOP3* s) {
        if (s->State() == psConnected) hook.RunInsideNextWait([&] { session->Cancel(); });
    };
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), canceled) << "reply, phase 1";
    EXPECT_TRUE(session->Transcript.empty());
}

TEST(MailBase, CancelWhileAReplyLineIsHalfRead) {
    ScriptedPop3Server server({Send("+OK partial")});
    auto session = LoopbackSession(server.Port(), 0);
    TTestThread canceler([&] {
        Sleep(700);
        session->Cancel();
    });
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "ECanceledError: Operation has been canceled");
    canceler.join();
    // The read had begun: it recorded the (still empty) reply.
    EXPECT_EQ(session->Transcript, std::vector<std::string>{""});
}
