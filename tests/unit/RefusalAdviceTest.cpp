// The refusals of the large providers that get a sentence on what to do, by their reply lines.

#include "app/RefusalAdvice.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

TEST(RefusalAdvice, KnownRefusalsFindTheirAdviceAndOthersNone) {
    struct Row {
        const char* reply;
        const char* server;
        int textId;  // 0: none
        const char* section;
    };
    const Row rows[] = {
        {"-ERR [AUTH] Application-specific password required: "
         "https://support.google.com/accounts/answer/185833",
         "pop.gmail.com", IDS_ADVICE_APPPASSWORD, "app-password"},
        {"-ERR [AUTH] Web login required: https://support.google.com/mail/answer/78754",
         "pop.gmail.com", IDS_ADVICE_WEBLOGIN, "web-login"},
        {"-ERR Logon failure: unknown user name or bad password.", "outlook.office365.com:995",
         IDS_ADVICE_MICROSOFT, "microsoft-account"},
        {"-ERR Logon failure: unknown user name or bad password.", "pop-mail.outlook.com",
         IDS_ADVICE_MICROSOFT, "microsoft-account"},
        {"-ERR BasicAuthBlocked", "mail.example.com", IDS_ADVICE_MICROSOFT, "microsoft-account"},
        {"-ERR POP3 not enabled", "pop.gmx.net", IDS_ADVICE_POPNOTENABLED, "pop-not-enabled"},
        // The same words from a server of another maker are a wrong password, nothing more.
        {"-ERR Logon failure: unknown user name or bad password.", "mail.example.com", 0, ""},
        {"-ERR Logon failure: unknown user name or bad password.", "notoutlook.com", 0, ""},
        {"-ERR [AUTH] Authentication failed.", "pop.gmail.com", 0, ""},
    };
    for (const Row& row : rows) {
        const TRefusalAdvice* advice = AdviceForRefusal(row.reply, row.server);
        EXPECT_EQ(advice ? advice->TextId : 0, row.textId) << row.reply << " " << row.server;
        EXPECT_STREQ(advice ? advice->HelpSection : "", row.section) << row.reply;
    }
    EXPECT_EQ(HelpSectionAddress("C:\\Program Files\\Larkspur\\Help\\Larkspur.htm", "web-login"),
              "file:///C:/Program%20Files/Larkspur/Help/Larkspur.htm#web-login");
}
