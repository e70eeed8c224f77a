// The browser sign-in against the stand-in account provider: the test plays the browser, the
// flow listens on loopback, exchanges the code over HTTPS and the refresh token goes to the
// Credential Manager; the test Dovecot takes the access token, and a renewed one.

// The session support first: it brings in Winsock 2 ahead of <windows.h>.
#include "tests/win/SessionTestSupport.h"

#include "framework/Credentials.win.h"
#include "oauth/AccountTokens.win.h"
#include "oauth/OAuthText.h"
#include "oauth/SignInFlow.win.h"
#include "tests/support/TestBrowser.h"

#include <gtest/gtest.h>

namespace {

const char kSentence[] = "You can close this window and return to Larkspur.";
const char kTarget[] = "Larkspur:SignInFlowTest";

TOAuthClient StandInProvider() {
    const char* provider = std::getenv("LARKSPUR_OAUTH_PROVIDER");
    const char* client = std::getenv("LARKSPUR_OAUTH_CLIENT");
    TOAuthClient c;
    c.AuthorizationEndpoint = std::string(provider ? provider : "") + "/authorize";
    c.TokenEndpoint = std::string(provider ? provider : "") + "/token";
    c.Scope = "https://mail.google.com/";
    c.ClientId = client ? client : "";
    return c;
}

// One flow whose browser launch records the URL, and whose end sets an event.
struct Flow {
    explicit Flow(TOAuthClient client, bool browserOpens = true)
        : Done(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          SignIn(std::move(client), "oauth",
                 [this, browserOpens](const std::string& url) {
                     Url = url;
                     return browserOpens;
                 },
                 kSentence, [this] { SetEvent(Done); }) {}
    ~Flow() { CloseHandle(Done); }
    bool Ended() { return WaitForSingleObject(Done, 30000) == WAIT_OBJECT_0; }

    std::string Url;
    HANDLE Done;
    TSignInFlow SignIn;
};

std::string Parameter(const std::string& url, const std::string& name) {
    const std::size_t at = url.find(name + "=");
    return at == std::string::npos ? "" : url.substr(at + name.size() + 1,
                                                      url.find('&', at) - at - name.size() - 1);
}

// The mailbox of the account at the test Dovecot, counted by the test tool with a token.
std::string DovecotCount(const std::string& token, const char* mechanism) {
    return MailCount("localhost 110 oauth " + token + " 10 plain --auth=" + mechanism).first;
}

class SignInFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
    }
    void TearDown() override {
        DeleteCredential(kTarget);
        WSACleanup();
    }
};

}  // namespace

TEST_F(SignInFlowTest, SignsInKeepsTheRefreshTokenAndRenewsTheAccessTokenDovecotTakes) {
    Flow flow(StandInProvider());
    ASSERT_TRUE(flow.SignIn.Start());
    EXPECT_EQ(Parameter(flow.Url, "redirect_uri").rfind("http%3A%2F%2F127.0.0.1%3A", 0), 0u);

    // A browser's side request first: answered "not found", and the listener goes on.
    const std::string redirect = TestBrowser::Authorize(flow.Url);
    ASSERT_NE(redirect, "");
    const std::string root = redirect.substr(0, redirect.find('?'));
    EXPECT_NE(TestBrowser::FollowRedirect(root + "favicon.ico").find(" 404 "), std::string::npos);
    const std::string page = TestBrowser::FollowRedirect(redirect);
    EXPECT_NE(page.find(std::string("<p>") + kSentence + "</p>"), std::string::npos) << page;
    ASSERT_TRUE(flow.Ended());
    TSignInOutcome& outcome = flow.SignIn.Outcome();
    ASSERT_EQ(outcome.Failure, TSignInFailure::None) << outcome.Detail;
    const std::string firstAccess = outcome.Tokens.AccessToken;
    EXPECT_EQ(DovecotCount(firstAccess, "xoauth2"), "OK 2");
    EXPECT_EQ(DovecotCount(firstAccess, "oauthbearer"), "OK 2");

    TAccountTokens tokens(kTarget);
    tokens.Keep("oauth", outcome.Tokens);
    EXPECT_TRUE(outcome.Tokens.RefreshToken.empty()) << "wiped once kept";
    ASSERT_TRUE(tokens.SignedIn());
    TSecret access;
    std::string detail;
    ASSERT_EQ(tokens.AccessToken(StandInProvider(), false, access, detail), TSignInFailure::None);
    EXPECT_EQ(access.Value(), firstAccess) << "in memory while it lives";

    // The provider ends every access token: Dovecot refuses it, a renewed one signs in. The new
    // refresh token that came with it is kept for the same account.
    const std::optional<TSecret> firstRefresh = ReadCredential(kTarget);
    TestBrowser::Request(TestBrowser::ControlPort(), "POST /expire HTTP/1.1");
    EXPECT_EQ(DovecotCount(firstAccess, "xoauth2").rfind("ERROR 0 -ERR", 0), 0u);
    ASSERT_EQ(tokens.AccessToken(StandInProvider(), true, access, detail), TSignInFailure::None)
        << detail;
    EXPECT_NE(access.Value(), firstAccess);
    EXPECT_EQ(DovecotCount(access.Value(), "oauthbearer"), "OK 2");
    std::string account;
    const std::optional<TSecret> rotated = ReadCredentialAndUser(kTarget, account);
    ASSERT_TRUE(firstRefresh && rotated);
    EXPECT_NE(rotated->Value(), firstRefresh->Value());
    EXPECT_EQ(account, "oauth");

    // A renewal given up (the check was cancelled) while the provider holds its answer: the new
    // refresh token that comes afterwards is kept all the same, for a provider that ends the
    // old one. Then the hold ends at once and each renewal is answered.
    TestBrowser::Request(TestBrowser::ControlPort(), "POST /hold HTTP/1.1");
    HANDLE stopped = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(tokens.AccessToken(StandInProvider(), true, access, detail, stopped),
              TSignInFailure::Canceled);
    CloseHandle(stopped);
    TestBrowser::Request(TestBrowser::ControlPort(), "POST /release HTTP/1.1");
    std::optional<TSecret> kept;
    for (int i = 0; i < 300 && (!kept || kept->Value() == rotated->Value()); ++i) {
        Sleep(100);
        kept = ReadCredentialAndUser(kTarget, account);
    }
    ASSERT_TRUE(kept);
    EXPECT_NE(kept->Value(), rotated->Value()) << "the late answer's refresh token was dropped";
    EXPECT_EQ(account, "oauth");

    tokens.Forget();
    EXPECT_FALSE(tokens.SignedIn());
    EXPECT_EQ(tokens.AccessToken(StandInProvider(), false, access, detail),
              TSignInFailure::Denied);
}

TEST_F(SignInFlowTest, EndsWithWhatWentWrong) {
    struct Case {
        const char* name;
        const char* tokenEndpoint;  // empty: the stand-in provider's
        const char* redirectQuery;  // empty: the provider's redirect; else sent in its place
        TSignInFailure failure;
        const char* detail;  // part of the outcome's detail
    };
    const Case cases[] = {
        {"another sign-in's state", "", "code=x&state=forged", TSignInFailure::StateMismatch, ""},
        {"the user said no", "", "error=access_denied&state=", TSignInFailure::Denied,
         "access_denied"},
        {"a code the provider does not know", "", "code=unknown&state=", TSignInFailure::Denied,
         "The code is not good."},
        // The untrusted test POP3 server's certificate ends the handshake before anything is sent
        // (ERROR_WINHTTP_SECURE_CHANNEL_ERROR; the trusted one on 995 fails otherwise, later).
        {"an untrusted certificate", "https://localhost:9951/token", "",
         TSignInFailure::Unreachable, "(12157)"},
    };
    for (const Case& c : cases) {
        TOAuthClient client = StandInProvider();
        if (*c.tokenEndpoint) client.TokenEndpoint = c.tokenEndpoint;
        Flow flow(client);
        ASSERT_TRUE(flow.SignIn.Start()) << c.name;
        std::string redirect = TestBrowser::Authorize(flow.Url);
        if (*c.redirectQuery) {
            std::string query = c.redirectQuery;
            if (query.back() == '=') query += Parameter(flow.Url, "state");
            redirect = redirect.substr(0, redirect.find('?') + 1) + query;
        }
        TestBrowser::FollowRedirect(redirect);
        ASSERT_TRUE(flow.Ended()) << c.name;
        EXPECT_EQ(flow.SignIn.Outcome().Failure, c.failure) << c.name;
        EXPECT_NE(flow.SignIn.Outcome().Detail.find(c.detail), std::string::npos)
            << c.name << ": " << flow.SignIn.Outcome().Detail;
    }

    TOAuthClient noId = StandInProvider();
    noId.ClientId.clear();
    Flow withoutId(noId);
    EXPECT_FALSE(withoutId.SignIn.Start());
    EXPECT_EQ(withoutId.SignIn.Outcome().Failure, TSignInFailure::NoClientId);
    Flow noBrowser(StandInProvider(), false);
    EXPECT_FALSE(noBrowser.SignIn.Start());
    EXPECT_EQ(noBrowser.SignIn.Outcome().Failure, TSignInFailure::NoBrowser);
}
