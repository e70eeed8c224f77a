// The count job under every way a server can misbehave, played twice: by the job in this process
// and by the mailcount tool in a process of its own. Each behaviour ends in exactly one outcome,
// within the time-out and a second; the client closes its end; nothing is left behind; and only
// USER, PASS, STAT and QUIT ever reach the server, so the mailbox cannot be changed.

#include "framework/Exception.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/support/ProcessResources.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kTimeOut = 1;  // seconds, for every wait
constexpr DWORD kBound = (kTimeOut + 1) * 1000;

const char* const kReplies[] = {"+OK ready", "+OK", "+OK Logged in.", "+OK 3 1200",
                                "+OK Logging out."};

// The server's turns: the greeting when the client connects (0), then one after each of the
// client's lines USER, PASS, STAT and QUIT (1 to 4).
enum Turn { Greeting, User, Pass, Stat, Quit, None };

// A dialogue in which every turn answers well, each reply ended by lineEnd, except the given
// turn, which plays its own steps instead.
std::vector<ServerStep> With(Turn turn, const std::vector<ServerStep>& steps,
                             const std::string& lineEnd = "\r\n") {
    std::vector<ServerStep> script;
    for (int i = Greeting; i <= Quit; ++i) {
        if (i > Greeting) script.push_back(ReadLine());
        if (i == turn)
            script.insert(script.end(), steps.begin(), steps.end());
        else
            script.push_back(Send(kReplies[i] + lineEnd));
    }
    return script;
}

std::vector<ServerStep> Answering(Turn turn, const std::string& reply) {
    return With(turn, {Send(reply + "\r\n")});
}

std::vector<ServerStep> Normal(const std::string& lineEnd = "\r\n") {
    return With(None, {}, lineEnd);
}

enum class Host { Scripted, Refusing, Unknown };

struct Behaviour {
    const char* Name;
    std::vector<ServerStep> Script;
    // As the mailcount tool prints it: "OK <count>", "ERROR <kind> <message>" or
    // "EXCEPTION <class> <message>".
    std::string Outcome;
    // The client's commands, in order.
    std::string Sent;
    Host Where = Host::Scripted;
};

// A close or a reset by the server sends no notification the session waits for: the wait for
// the reply runs out.
const std::string kTimedOut = "ERROR 2 Operation timed out";
const std::string kAll = "USER PASS STAT QUIT";

std::vector<Behaviour> Behaviours() {
    const std::string longest = "+OK " + std::string(506, 'x');  // 512 octets with CR LF
    std::vector<ServerStep> byteByByte;
    for (const ServerStep& step : Normal())
        byteByByte.push_back(step.Kind == ServerStep::Send ? SendByteByByte(step.Text) : step);
    std::string allAtOnce;
    for (const char* reply : kReplies) allAtOnce += std::string(reply) + "\r\n";

    return {
        {"a well-behaved server", Normal(), "OK 3", kAll},
        {"refuses at the greeting", Answering(Greeting, "-ERR busy"), "ERROR 0 -ERR busy", ""},
        {"refuses USER", Answering(User, "-ERR who?"), "ERROR 0 -ERR who?", "USER"},
        {"refuses PASS", Answering(Pass, "-ERR [AUTH] Authentication failed."),
         "ERROR 0 -ERR [AUTH] Authentication failed.", "USER PASS"},
        {"refuses STAT", Answering(Stat, "-ERR locked"), "ERROR 0 -ERR locked", "USER PASS STAT"},
        {"refuses QUIT", Answering(Quit, "-ERR not now"), "ERROR 0 -ERR not now", kAll},
        {"closes before the greeting", With(Greeting, {Close()}), kTimedOut, ""},
        {"closes after USER", With(User, {Close()}), kTimedOut, "USER"},
        {"closes after PASS", With(Pass, {Close()}), kTimedOut, "USER PASS"},
        {"closes after STAT", With(Stat, {Close()}), kTimedOut, "USER PASS STAT"},
        {"closes after QUIT", With(Quit, {Close()}), kTimedOut, kAll},
        {"resets before the greeting", With(Greeting, {Reset()}), kTimedOut, ""},
        {"resets after USER", With(User, {Reset()}), kTimedOut, "USER"},
        {"resets after PASS", With(Pass, {Reset()}), kTimedOut, "USER PASS"},
        {"resets after STAT", With(Stat, {Reset()}), kTimedOut, "USER PASS STAT"},
        {"resets after QUIT", With(Quit, {Reset()}), kTimedOut, kAll},
        {"never answers", {}, kTimedOut, ""},
        {"answers a byte at a time", byteByByte, "OK 3", kAll},
        {"stalls mid-line, shorter than the time-out",
         With(Pass, {Send("+OK Lo"), Pause(kTimeOut * 500), Send("gged in.\r\n")}), "OK 3", kAll},
        {"stalls mid-line for good", With(Pass, {Send("+OK Lo")}), kTimedOut, "USER PASS"},
        {"greets with garbage", Answering(Greeting, "*** garbage ***"), "ERROR 0 *** garbage ***",
         ""},
        {"greets with binary bytes", Answering(Greeting, "\x80\xff\xfe\x01\x7f"),
         "ERROR 0 \x80\xff\xfe\x01\x7f", ""},
        {"puts a zero byte inside a line",
         With(Greeting, {Send(std::string("+OK\0ready\r\n", 11))}), kTimedOut, ""},
        {"greets with a line of 512 octets", Answering(Greeting, longest), "OK 3", kAll},
        {"greets with a line of 513 octets", Answering(Greeting, longest + "x"),
         "ERROR 0 The mail server sent a reply line that is too long.", ""},
        {"ends its lines with a bare LF", Normal("\n"), "OK 3", kAll},
        {"ends its lines with a bare CR", Normal("\r"), kTimedOut, ""},
        {"sends every reply in one packet",
         {Send(allAtOnce), ReadLine(), ReadLine(), ReadLine(), ReadLine()},
         "OK 3",
         kAll},
        {"is no POP3 server", Answering(Greeting, "220 mail.example ESMTP"),
         "ERROR 0 220 mail.example ESMTP", ""},
        {"answers STAT without a size", Answering(Stat, "+OK 3"),
         "EXCEPTION EConvertError '' is not a valid integer value", "USER PASS STAT"},
        {"answers STAT with text after the size", Answering(Stat, "+OK 3 1200 octets"), "OK 3",
         kAll},
        {"answers STAT with a negative count", Answering(Stat, "+OK -3 1200"),
         "EXCEPTION EConvertError '-3' is not a valid integer value", "USER PASS STAT"},
        {"answers STAT with a count beyond 32 bits", Answering(Stat, "+OK 4294967299 1200"),
         "EXCEPTION EConvertError '4294967299' is not a valid integer value", "USER PASS STAT"},
        {"answers STAT with a size beyond 32 bits", Answering(Stat, "+OK 3 5000000000"), "OK 3",
         kAll},
        {"delays the login answer within the time-out",
         With(Pass, {Pause(kTimeOut * 500), Send("+OK Logged in.\r\n")}), "OK 3", kAll},
        {"delays the login answer past the time-out",
         With(Pass, {Pause(kTimeOut * 1000 + 1500), Send("+OK Logged in.\r\n")}), kTimedOut,
         "USER PASS"},
        {"refuses the connection",
         {},
         "ERROR 1 Connection to mail server refused",
         "",
         Host::Refusing},
        {"has a name that does not resolve",
         {},
         "ERROR 1 The mail server name is incorrect",
         "",
         Host::Unknown},
    };
}

}  // namespace

namespace {

const char kUnknownHost[] = "larkspur-test.invalid";

// The client's lines as the server received them, only the command words, space-separated;
// every line must be one of the four the dialogue sends.
std::string SentCommands(const ScriptedPop3Server& server) {
    std::string commands;
    for (const std::string& line : server.Received()) {
        EXPECT_TRUE(line == "USER ann" || line == "PASS secret" || line == "STAT" || line == "QUIT")
            << "the client sent \"" << line << "\"";
        commands += (commands.empty() ? "" : " ") + line.substr(0, line.find(' '));
    }
    return commands;
}

bool ServerEndsTheConnection(const Behaviour& b) {
    for (const ServerStep& step : b.Script)
        if (step.Kind == ServerStep::Close || step.Kind == ServerStep::Reset) return true;
    return false;
}

// Plays one behaviour against a client; the client returns its one outcome line.
void Play(const Behaviour& b,
          const std::function<std::string(const std::string& host, std::uint16_t port)>& client) {
    SCOPED_TRACE(b.Name);
    ScriptedPop3Server server(b.Script);
    const std::string host = b.Where == Host::Unknown ? kUnknownHost : "127.0.0.1";
    const std::uint16_t port = b.Where == Host::Refusing ? ClosedLoopbackPort() : server.Port();
    const DWORD start = GetTickCount();
    EXPECT_EQ(client(host, port), b.Outcome);
    const DWORD end = GetTickCount();
    // From the connection on, where there was one: a process takes its time to start.
    const DWORD from = server.AcceptedAt() ? server.AcceptedAt() : start;
    EXPECT_LE(end - from, kBound) << "longer than the time-out and a second";
    if (b.Where == Host::Scripted && !ServerEndsTheConnection(b)) {
        EXPECT_TRUE(server.WaitForClientClose(5000)) << "the client left its end open";
    }
    EXPECT_EQ(SentCommands(server), b.Sent);
}

std::string RunJob(const std::string& host, std::uint16_t port) {
    TMailMessageCount job;
    job.SetAccount(host, "ann", "secret");
    job.PortOverride = port;
    job.TimeOut = kTimeOut;
    std::vector<std::string> outcomes;
    job.OnSuccess = [&](IMailCountJob*, std::int32_t count) {
        outcomes.push_back("OK " + std::to_string(count));
    };
    job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind kind) {
        outcomes.push_back("ERROR " + std::to_string(kind) + " " + message);
    };
    try {
        job.Run();
    } catch (const EConvertError& e) {
        outcomes.push_back("EXCEPTION EConvertError " + e.Message);
    }
    EXPECT_EQ(outcomes.size(), 1u) << "one outcome per run";
    std::string joined;
    for (const std::string& outcome : outcomes) joined += (joined.empty() ? "" : " | ") + outcome;
    return joined;
}

}  // namespace

TEST(FaultMatrix, EveryBehaviourEndsInOneOutcomeAtTheJobLevelAndLeavesNothingBehind) {
    const std::vector<Behaviour> behaviours = Behaviours();
    ASSERT_GE(behaviours.size(), 25u);
    // The first runs bring up what lives on in the process: the socket library's own threads
    // and handles and the name service's, which the first name lookup starts.
    for (const Behaviour& b : behaviours)
        if (b.Where == Host::Unknown) Play(b, RunJob);
    for (const Behaviour& b : {behaviours.front(), behaviours[1], behaviours.back()})
        Play(b, RunJob);

    const ProcessResources before = CurrentProcessResources();
    for (const Behaviour& b : behaviours) Play(b, RunJob);
    // Other threads of the process, Wine's own among them, may hold a handle for a moment: what
    // leaked is what is still there once they have let go.
    ProcessResources after = CurrentProcessResources();
    for (int i = 0; i < 300 && after.Handles > before.Handles; ++i) {
        Sleep(10);
        after = CurrentProcessResources();
    }
    EXPECT_LE(after.Handles, before.Handles);
    EXPECT_LE(after.Windows, before.Windows);
    EXPECT_LE(after.GdiObjects, before.GdiObjects);
    EXPECT_LE(after.UserObjects, before.UserObjects);
}

TEST(FaultMatrix, EveryBehaviourEndsInOneOutcomeThroughTheMailCountTool) {
    for (const Behaviour& b : Behaviours())
        Play(b, [](const std::string& host, std::uint16_t port) {
            const auto [line, exitCode] = MailCount(host + " " + std::to_string(port) +
                                                    " ann secret " + std::to_string(kTimeOut));
            EXPECT_EQ(exitCode, line.rfind("OK ", 0) == 0 ? 0u : 1u);
            return line;
        });
}
