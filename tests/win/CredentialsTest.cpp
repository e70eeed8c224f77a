// Secrets in the Wine prefix's real Credential Manager, under a target of the test's own that
// each test removes again.

#include "framework/Credentials.win.h"

#include <windows.h>
#include <wincred.h>

#include <gtest/gtest.h>

namespace {

const char kTarget[] = "Larkspur:CredentialsTest";

class Credentials : public ::testing::Test {
protected:
    void SetUp() override { DeleteCredential(kTarget); }
    void TearDown() override { DeleteCredential(kTarget); }
};

TEST_F(Credentials, WrittenSecretReadsBackByteForByteAndGoesWhenDeleted) {
    EXPECT_FALSE(ReadCredential(kTarget).has_value());

    // A zero byte and a byte above 127 survive: the secret is stored as bytes, not as text.
    const std::string secret("p\xe4ss\0word", 9);
    WriteCredential(kTarget, "anna@example.org", TSecret(secret));
    std::optional<TSecret> read = ReadCredential(kTarget);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Value(), secret);

    // As the uninstaller and the user's control panel find it: generic, on this machine only.
    PCREDENTIALW raw = nullptr;
    ASSERT_TRUE(CredReadW(L"Larkspur:CredentialsTest", CRED_TYPE_GENERIC, 0, &raw));
    EXPECT_EQ(raw->Persist, DWORD(CRED_PERSIST_LOCAL_MACHINE));
    EXPECT_STREQ(raw->UserName, L"anna@example.org");
    CredFree(raw);

    WriteCredential(kTarget, "anna@example.org", TSecret("second"));
    EXPECT_EQ(ReadCredential(kTarget)->Value(), "second");

    DeleteCredential(kTarget);
    EXPECT_FALSE(ReadCredential(kTarget).has_value());
    EXPECT_NO_THROW(DeleteCredential(kTarget));
}

}  // namespace
