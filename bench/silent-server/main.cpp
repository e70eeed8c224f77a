// How much processor time one check spends waiting on a server that accepts the connection and
// never says a word: a count job with a 10-second time-out against a silent loopback listener.
// Prints the wall time, the process's CPU time over the wait and its share of the wall time.

#include <cstdio>

#include "framework/Application.win.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ProcessorTime.h"
#include "tests/support/TestThread.h"

constexpr int kTimeOutSeconds = 10;

int main() {
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();

    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    std::uint16_t port = 0;
    SOCKET listener = LoopbackListener(port);
    // Accepts and then holds the connection without a word until the check has given up.
    SOCKET client = INVALID_SOCKET;
    TTestThread server([&] { client = accept(listener, nullptr, nullptr); });

    TMailMessageCount job;
    job.SetAccount("127.0.0.1", "bench", "bench");
    job.PortOverride = port;
    job.TimeOut = kTimeOutSeconds;
    std::string outcome = "no callback";
    job.OnSuccess = [&](IMailCountJob*, std::int32_t) { outcome = "success"; };
    job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind) {
        outcome = message;
    };

    const double cpuBefore = ProcessorSeconds();
    const DWORD wallBefore = GetTickCount();
    job.Run();
    const double wall = (GetTickCount() - wallBefore) / 1000.0;
    const double cpu = ProcessorSeconds() - cpuBefore;

    server.join();
    closesocket(client);
    closesocket(listener);
    WSACleanup();

    std::printf("silent server, TimeOut %d s: outcome \"%s\"\n", kTimeOutSeconds, outcome.c_str());
    std::printf("wall time      %.2f s\n", wall);
    std::printf("process CPU    %.3f s (%.2f%% of the wall time)\n", cpu, 100.0 * cpu / wall);
    Application.Destroy();
    return 0;
}
