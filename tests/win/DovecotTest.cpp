// Checks against the real Dovecot that the test scripts start on 127.0.0.1 and ::1
// (LARKSPUR_POP3_PORT, mail folders under LARKSPUR_POP3_MAILDIR), through the count job and
// through the mailcount tool.

#include "mailbase/MailMessageCount.win.h"
#include "tests/support/TestMaildir.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class Dovecot : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string port = Variable("LARKSPUR_POP3_PORT");
        ASSERT_FALSE(port.empty() || Variable("LARKSPUR_POP3_MAILDIR").empty())
            << "no Dovecot: scripts/test starts it (scripts/lib/dovecot.sh)";
        Port = static_cast<std::uint16_t>(std::atoi(port.c_str()));
    }

    std::string Check(const std::string& user, const std::string& password) {
        TMailMessageCount job;
        job.SetAccount("127.0.0.1", user, password);
        job.PortOverride = Port;
        std::string outcome;
        job.OnSuccess = [&](IMailCountJob*, std::int32_t count) {
            outcome = "count " + std::to_string(count);
        };
        job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind kind) {
            outcome = "error " + std::to_string(kind) + " " + message;
        };
        job.Run();
        return outcome;
    }

    std::uint16_t Port = 0;
};

// The message files of a mailbox as "<base name> <flags>", wherever Dovecot keeps them.
std::vector<std::string> MessageFiles(const std::string& user) {
    const std::string folder = MailboxFolder(user);
    std::vector<std::string> files;
    for (const char* sub : {"\\new\\*", "\\cur\\*"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + sub).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::size_t colon = name.find(':');
            const std::string flags =
                colon == std::string::npos ? "" : name.substr(name.find(',', colon) + 1);
            files.push_back(name.substr(0, colon) + " " + flags);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST_F(Dovecot, CountsTheMessagesAndLeavesTheMailboxAsItWas) {
    const std::vector<std::string> before = MessageFiles("three");
    ASSERT_EQ(before.size(), 3u);

    EXPECT_EQ(Check("three", "three-secret"), "count 3");
    EXPECT_EQ(Check("empty", "empty-secret"), "count 0");
    EXPECT_EQ(Check("three", "three-secret"), "count 3");

    // Opening the mailbox may move the files from new/ to cur/, but no message is deleted,
    // renamed or given a flag (read, trashed).
    EXPECT_EQ(MessageFiles("three"), before);
}

TEST_F(Dovecot, AWrongPasswordGetsTheServersOwnRefusal) {
    const std::string outcome = Check("three", "wrong");
    EXPECT_EQ(outcome.rfind("error 0 -ERR ", 0), 0u) << outcome;
}

// HOST goes to the count job as the server address setting; larkspur-v6only resolves to ::1
// alone. PORT 0 takes the port from HOST, or else from the service entry (the test Dovecot is
// on the service's port too).
TEST_F(Dovecot, TheMailCountToolPrintsOneLinePerOutcome) {
    const std::string port = std::to_string(Port);
    const struct {
        std::string arguments;
        std::string line;  // a count's whole line, the start of any other
        DWORD exitCode;
    } runs[] = {
        {"127.0.0.1 " + port + " three three-secret", "OK 3", 0},
        {"127.0.0.1 " + port + " three wrong", "ERROR 0 -ERR ", 1},
        {"127.0.0.1 " + std::to_string(ClosedLoopbackPort()) + " three x 0",
         "ERROR 1 Connection to mail server refused", 1},
        {"::1 " + port + " three three-secret", "OK 3", 0},
        {"[::1]:" + port + " 0 three three-secret", "OK 3", 0},
        {"larkspur-v6only " + port + " three three-secret", "OK 3", 0},
        {"[::1] 0 three three-secret", "OK 3", 0},
        // The secure mode after the time-out.
        {"localhost 995 three three-secret 10 tls", "OK 3", 0},
        {"localhost 110 three three-secret 10 stls", "OK 3", 0},
        {"localhost 110 three three-secret 10 plain", "OK 3", 0},
        {"localhost 9953 three three-secret 10 tls",
         "ERROR 1 The mail server's certificate is for another name.", 1},
        {"localhost:0 995 three three-secret 10 tls",
         "ERROR 0 The mail server address must be a name, optionally followed by a colon and a "
         "port number from 1 to 65535.",
         1},
        {"localhost 995 three three-secret 10 ssl", "usage: mailcount ", 2},
        // The sign-in mechanism.
        {"localhost 110 three three-secret 10 plain --auth=plain", "OK 3", 0},
        {"localhost 110 three three-secret 10 stls --auth=plain", "OK 3", 0},
        {"localhost 995 three three-secret 10 tls --auth=plain", "OK 3", 0},
        {"localhost 110 three three-secret --auth=user", "OK 3", 0},
        {"localhost 110 three wrong 10 plain --auth=plain", "ERROR 0 -ERR ", 1},
        {"localhost 110 three three-secret 10 plain --auth=login", "usage: mailcount ", 2},
    };
    for (const auto& run : runs) {
        const auto [line, exitCode] = MailCount(run.arguments);
        EXPECT_EQ(exitCode == 0 ? line : line.substr(0, run.line.size()), run.line)
            << run.arguments;
        EXPECT_EQ(exitCode, run.exitCode) << run.arguments;
    }
}

// The first check tells every message as new; after a delivery only the delivered message is
// new, told with its sender and subject, and then none. The commands sent are the scripted
// servers' to pin (NewMailTest); here the real server's mailbox stays as it was.
TEST_F(Dovecot, OnlyNewMailIsToldAndTheMailboxStaysAsItWas) {
    const std::vector<std::string> before = MessageFiles("fresh");
    ASSERT_EQ(before.size(), 2u);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string seen = std::string(temp) + "larkspur-dovecot-seen.txt";
    DeleteFileA(seen.c_str());
    const auto check = [&] {
        std::string output = MailCount("127.0.0.1 " + std::to_string(Port) +
                                       " fresh fresh-secret 10 plain --seen=" + seen +
                                       " --preview=5")
                                 .first;
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        return output;
    };

    EXPECT_EQ(check(), "MSG\tTest Sender\tTest message 2\nMSG\tTest Sender\tTest message 1\n"
                       "NEW 2\nOK 2");
    const std::string name = "1800000000.M9.larkspur";
    ASSERT_TRUE(Deliver("fresh", name,
            "From: =?UTF-8?Q?J=C3=BCrgen?= <j@example.de>\r\n"
            "Subject: =?UTF-8?B?0J/RgNC40LLQtdGC?=\r\n\r\nBody.\r\n"));
    EXPECT_EQ(check(), "MSG\tJ\xC3\xBCrgen\t\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"
                       "NEW 1\nOK 3");
    EXPECT_EQ(check(), "NEW 0\nOK 3");

    std::vector<std::string> after = MessageFiles("fresh");
    after.erase(std::remove_if(after.begin(), after.end(),
                               [&](const std::string& f) { return f.rfind(name, 0) == 0; }),
                after.end());
    EXPECT_EQ(after, before);
    RemoveDelivered("fresh", name);
    DeleteFileA(seen.c_str());
}
