// Secure connections against the test Dovecot: TLS from the first byte on 995 and STLS on 110,
// the certificates a check must refuse, and servers that speak the other way.

#include "mailbase/MailMessageCount.win.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/SessionTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Check(const std::string& server, TSecurityMode mode, int timeOut = 10) {
    TMailMessageCount job;
    job.SetAccount(server, "three", "three-secret");
    job.Security = mode;
    job.TimeOut = timeOut;
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

}  // namespace

TEST(SecureSession, CountsOverBothSecureModes) {
    EXPECT_EQ(Check("localhost", smTLS), "count 3");
    EXPECT_EQ(Check("localhost", smSTLS), "count 3");
    EXPECT_EQ(Check("localhost:9951", smTLS), "");
    EXPECT_EQ(Check("localhost:9952", smTLS), "");
    EXPECT_EQ(Check("localhost:9953", smTLS), "");
    EXPECT_EQ(Check("localhost:110", smTLS), "");
    EXPECT_EQ(Check("localhost:995", smNone, 2), "");
}
