// The POP3 dialogue against a scripted server on a loopback port: the exact lines each way,
// reply assembly, and every way a reply can fail.

#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

TEST(Pop3Dialogue, SendsExactlyUserPassStatQuitTakesTheCountAndHidesThePassword) {
    ScriptedPop3Server server(
        Dialogue({"+OK ready", "+OK", "+OK Logged in.", "+OK 3 1200", "+OK Logging out."}));
    auto session = LoopbackSession(server.Port());
    session->Password = "se cret ";
    std::vector<TPOP3State> states;
    session->OnStatusChange = [&](TPOP3* sender) { states.push_back(sender->State()); };

    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(session->MessageCount, 3);
    EXPECT_EQ(session->MailboxSize, 1200);
    EXPECT_EQ(states, (std::vector<TPOP3State>{psOpening, psConnected, psQuitting, psIdle}));
    EXPECT_EQ(session->Transcript,
              (Lines{"+OK ready", "USER ann", "+OK", "PASS ****", "+OK Logged in.", "STAT",
                     "+OK 3 1200", "QUIT", "+OK Logging out."}));
    server.WaitForClientClose(2000);
    EXPECT_EQ(server.Received(), (Lines{"USER ann", "PASS se cret ", "STAT", "QUIT"}));
}

TEST(Pop3Dialogue, RefusesEveryReplyThatDoesNotBeginWithPlusAndSendsNoQuit) {
    struct Case {
        std::vector<ServerStep> script;
        std::string outcome;
        Lines sent;
    };
    const Case cases[] = {
        {Dialogue({"-ERR busy, come back later"}), "EMailError: -ERR busy, come back later", {}},
        {Dialogue({"OK ready"}), "EMailError: OK ready", {}},
        {Dialogue({"+OK", "+OK", "-ERR [AUTH] Authentication failed.\r\r"}),
         "EMailError: -ERR [AUTH] Authentication failed.",
         {"USER ann", "PASS secret"}},
        {Dialogue({"+OK", "+OK", "+OK", " +OK 1 1"}),
         "EMailError:  +OK 1 1",
         {"USER ann", "PASS secret", "STAT"}},
    };
    for (const Case& c : cases) {
        ScriptedPop3Server server(c.script);
        auto session = LoopbackSession(server.Port());
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), c.outcome);
        EXPECT_EQ(session->State(), psConnected) << "a failure leaves the state alone";
        server.WaitForClientClose(2000);
        EXPECT_EQ(server.Received(), c.sent);
    }
}

TEST(Pop3Dialogue, AssemblesARepliesByteByByteAndLeavesBytesAfterTheLineEnd) {
    ScriptedPop3Server server({SendByteByByte("+OK slow greeting\r\n"), ReadLine(),
                               Send("+OK user\r\n+OK pass\r\n"), ReadLine(), ReadLine(),
                               Send("+OK 0 0\r\n"), ReadLine(), Send("+OK bye\r\n")});
    auto session = LoopbackSession(server.Port());
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(session->Transcript,
              (Lines{"+OK slow greeting", "USER ann", "+OK user", "PASS ****", "+OK pass", "STAT",
                     "+OK 0 0", "QUIT", "+OK bye"}));
}

TEST(Pop3Dialogue, AcceptsFiveHundredTwelveOctetLinesAndRefusesLongerOnes) {
    const std::string longest = "+OK " + std::string(506, 'x');
    ScriptedPop3Server fits(Dialogue({longest, "+OK", "+OK", "+OK 1 1", "+OK"}));
    auto session = LoopbackSession(fits.Port());
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(session->Transcript.front(), longest);

    ScriptedPop3Server tooLong(Dialogue({longest + "x"}));
    session = LoopbackSession(tooLong.Port());
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
              "EMailError: The mail server sent a reply line that is too long.");
}

TEST(Pop3Dialogue, ReplyLinesThatNeverCompleteTimeOut) {
    const std::vector<ServerStep> scripts[] = {
        {Send(std::string("+OK\0ready\r\n", 11))},  // a zero byte before the line end
        {Send("\r\n")},                             // shorter than four bytes
        {Send("+OK ready")},                        // no line end at all
        {Close()},                                  // closes instead of greeting
        {},                                         // accepts and stays silent
    };
    for (const auto& script : scripts) {
        ScriptedPop3Server server(script);
        auto session = LoopbackSession(server.Port(), 1);
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "ETimedOutError: Operation timed out");
    }
}

TEST(Pop3Dialogue, StatTakesASixtyFourBitSizeAndIgnoresTextAfterIt) {
    ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK", "+OK 3 5000000000 octets", "+OK"}));
    auto session = LoopbackSession(server.Port());
    EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }), "");
    EXPECT_EQ(session->MessageCount, 3);
    EXPECT_EQ(session->MailboxSize, 5000000000);
}

TEST(Pop3Dialogue, NeverSendsCredentialsWithLineBreaksOrZeroCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"ann\r\nDELE 1", "secret"}, {"ann", "secret\nDELE 1"}, {"ann", std::string("se\0t", 4)}};
    for (const auto& [user, password] : cases) {
        ScriptedPop3Server server(Dialogue({"+OK", "+OK", "+OK"}));
        auto session = LoopbackSession(server.Port());
        session->UserName = user;
        session->Password = password;
        EXPECT_EQ(Outcome([&] { PlayDialogue(*session); }),
                  "EMailError: The user name or password contains a line break or a zero "
                  "character.");
        server.WaitForClientClose(2000);
        const Lines sent = server.Received();
        EXPECT_EQ(sent, user == "ann" ? Lines{"USER ann"} : Lines{});
    }
}
