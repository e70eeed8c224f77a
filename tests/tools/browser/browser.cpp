// Stands in for the user's web browser in the end-to-end sign-in: Wine's browser launcher starts
// it with the authorization URL (the test names it in the prefix's WineBrowser settings). It
// follows the URL to the stand-in account provider, which signs the login hint's account in at
// once, and takes the redirect to the program's loopback listener, as a browser would. Ends
// with 0 once the program has answered.

#include <winsock2.h>

#include "tests/support/TestBrowser.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) return 3;
    const std::string page = TestBrowser::FollowRedirect(TestBrowser::Authorize(argv[1]));
    WSACleanup();
    return page.empty() ? 1 : 0;
}
