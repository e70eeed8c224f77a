// What securing a check costs, against the test Dovecot on localhost (scripts/in-private-network
// starts it and makes its authority, which is trusted here for the run): the TLS handshake
// alone (connected socket to checked certificate), then whole checks in each mode. Prints the
// wall time and the process's CPU time of each, as median and mean over the runs.

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "framework/Application.win.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/support/ProcessorTime.h"
#include "tests/support/TestAuthority.h"

namespace {

constexpr int kHandshakes = 100;
constexpr int kChecks = 50;

double WallSeconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Sample {
    std::vector<double> Wall, Cpu;
};

// Runs measured() once per run; before() and after() stay outside the clocks.
template <class Before, class Measured, class After>
Sample Measure(int runs, Before before, Measured measured, After after) {
    Sample sample;
    for (int i = 0; i < runs; ++i) {
        before();
        const double cpu = ProcessorSeconds(), wall = WallSeconds();
        measured();
        sample.Wall.push_back(WallSeconds() - wall);
        sample.Cpu.push_back(ProcessorSeconds() - cpu);
        after();
    }
    return sample;
}

// The processor clock ticks coarsely (10 ms under Wine): only its mean over many runs tells.
void Report(const char* title, Sample sample) {
    const auto mean = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    std::sort(sample.Wall.begin(), sample.Wall.end());
    std::printf("%s (%zu runs)\n", title, sample.Wall.size());
    std::printf("  wall  median %6.2f ms, mean %6.2f ms\n",
                1000 * sample.Wall[sample.Wall.size() / 2], 1000 * mean(sample.Wall));
    std::printf("  CPU   mean %6.2f ms (this process; the server's own work not counted)\n",
                1000 * mean(sample.Cpu));
}

// A session that stops once the channel stands: the handshake can be timed on its own.
class HandshakeSession : public TMailBase {
public:
    HandshakeSession() {
        Server = "localhost";
        ServiceName = "pop3s";
        DefaultPort = 995;
    }
    void Prepare() {
        Reset();
        Open();
        Reset();
        Connect();
    }
    using TMailBase::StartSecureChannel;
};

}  // namespace

int main() {
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();
    const TrustedTestAuthority authority;
    if (!authority.Trusted()) {
        std::fprintf(stderr, "the test authority is missing: run this inside the test network\n");
        return 1;
    }

    std::printf("Secure connections against the test Dovecot on localhost\n\n");
    // The first handshake loads the provider and its libraries; it is not what a check costs.
    {
        HandshakeSession warmUp;
        warmUp.Prepare();
        warmUp.StartSecureChannel();
        warmUp.CloseSocket();
    }
    HandshakeSession* session = nullptr;
    const Sample handshake = Measure(
        kHandshakes,
        [&] {
            session = new HandshakeSession;
            session->Prepare();
        },
        [&] { session->StartSecureChannel(); },
        [&] {
            session->CloseSocket();
            delete session;
        });
    Report("TLS handshake, connected socket to checked certificate, localhost:995", handshake);

    // The modes take turns, so that a change in the machine's load falls on all three alike.
    const struct {
        const char* Title;
        TSecurityMode Mode;
    } modes[] = {{"Whole check, plain POP3 on 110", smNone},
                 {"Whole check, STLS on 110", smSTLS},
                 {"Whole check, TLS on 995", smTLS}};
    Sample checks[3];
    std::string outcomes[3];
    for (int run = 0; run < kChecks; ++run) {
        for (int m = 0; m < 3; ++m) {
            const Sample one = Measure(
                1, [] {},
                [&] {
                    TMailMessageCount job;
                    job.SetAccount("localhost", "three", "three-secret");
                    job.Security = modes[m].Mode;
                    job.OnSuccess = [&](IMailCountJob*, std::int32_t count) {
                        outcomes[m] = "count " + std::to_string(count);
                    };
                    job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind) {
                        outcomes[m] = message;
                    };
                    job.Run();
                },
                [] {});
            checks[m].Wall.push_back(one.Wall.front());
            checks[m].Cpu.push_back(one.Cpu.front());
        }
    }
    for (int m = 0; m < 3; ++m) {
        std::printf("\n");
        Report(modes[m].Title, checks[m]);
        std::printf("  last outcome: %s\n", outcomes[m].c_str());
    }
    Application.Destroy();
    return 0;
}
