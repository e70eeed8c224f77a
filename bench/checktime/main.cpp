// The cost of one check: many count jobs in one process against one server, after one that is
// not counted. Prints one line the peers benchmark reads:
//   checks=N failures=F wall_ms=W cpu_ms=C      (wall and processor time per check)
//
//   bench_checktime.exe HOST PORT USER PASSWORD CHECKS

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Application.win.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/support/ProcessorTime.h"

namespace {

bool Check(const char* host, std::uint16_t port, const char* user, const char* password) {
    TMailMessageCount job;
    job.SetAccount(host, user, password);
    job.PortOverride = port;
    bool counted = false;
    job.OnSuccess = [&](IMailCountJob*, std::int32_t) { counted = true; };
    job.Run();
    return counted;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: bench_checktime HOST PORT USER PASSWORD CHECKS\n");
        return 2;
    }
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[2]));
    const int checks = std::atoi(argv[5]);

    int failures = Check(argv[1], port, argv[3], argv[4]) ? 0 : 1;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpuStart = ProcessorSeconds() * 1000;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < checks; ++i)
        if (!Check(argv[1], port, argv[3], argv[4])) ++failures;
    QueryPerformanceCounter(&end);
    const double cpu = ProcessorSeconds() * 1000 - cpuStart;
    const double wall = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("checks=%d failures=%d wall_ms=%.3f cpu_ms=%.3f\n", checks, failures,
                wall / checks, cpu / checks);
    Application.Destroy();
    return failures == 0 ? 0 : 1;
}
