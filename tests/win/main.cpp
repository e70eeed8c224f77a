// The Win32 integration tests run with the program's application object and the session's
// registered messages in place, as start-up provides them to the program's own code, and with
// the test POP3 server's authority trusted in the Wine prefix. An exception that the program
// reports fails the test that caused it, instead of waiting in an error box.

#include <gtest/gtest.h>

#include "framework/Application.win.h"
#include "mailbase/MailBase.win.h"
#include "tests/support/TestAuthority.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();
    TrustedTestAuthority authority;
    Application.OnException = [](const std::string& message) {
        ADD_FAILURE() << "the program reported: " << message;
    };
    const int result = RUN_ALL_TESTS();
    Application.Destroy();
    return result;
}
