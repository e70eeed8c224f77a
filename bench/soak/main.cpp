// Endurance of the count job: 10,000 checks in one process against the test Dovecot (by host
// name, port from the service lookup) and 10,000 against a scripted server in this process.
// Prints the failures and what the process holds (handles, GDI and USER objects, windows,
// private bytes) at the start, at every 1,000 checks and at the end, then the growth of each
// from the first 1,000 checks to the end. A benchmark: it prints figures and fails nothing.
//
//   bench_soak.exe [CHECKS_PER_SERVER]      (default 10000)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Application.win.h"
#include "mailbase/MailBase.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/TestThread.h"

namespace {

// Answers any number of clients, one after another, with a well-formed dialogue for a
// mailbox of three messages; closes each connection after its QUIT.
class RepeatingServer {
public:
    RepeatingServer() {
        FListener = LoopbackListener(FPort);
        FThread.Start([this] { Serve(); });
    }
    ~RepeatingServer() {
        FStop = true;
        closesocket(FListener);  // ends the waiting accept
        FThread.join();
    }
    std::uint16_t Port() const { return FPort; }

private:
    void Serve() {
        while (!FStop) {
            SOCKET client = accept(FListener, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            Reply(client, "+OK ready");
            std::string pending;
            for (;;) {
                const std::size_t end = pending.find("\r\n");
                if (end == std::string::npos) {
                    char buffer[256];
                    const int n = recv(client, buffer, sizeof buffer, 0);
                    if (n <= 0) break;
                    pending.append(buffer, static_cast<std::size_t>(n));
                    continue;
                }
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 2);
                if (line == "STAT") {
                    Reply(client, "+OK 3 1200");
                } else if (line == "QUIT") {
                    Reply(client, "+OK bye");
                    break;
                } else {
                    Reply(client, "+OK");
                }
            }
            closesocket(client);
        }
    }
    static void Reply(SOCKET client, const std::string& text) {
        const std::string line = text + "\r\n";
        send(client, line.data(), static_cast<int>(line.size()), 0);
    }

    SOCKET FListener = INVALID_SOCKET;
    std::uint16_t FPort = 0;
    volatile bool FStop = false;
    TTestThread FThread;
};

void PrintHeader() {
    std::printf("%-10s %8s %8s %8s %6s %6s %8s %12s\n", "server", "checks", "failures", "handles",
                "GDI", "USER", "windows", "private KiB");
}

void PrintRow(const char* server, int checks, int failures, const ProcessResources& r) {
    std::printf("%-10s %8d %8d %8lu %6lu %6lu %8lu %12lu\n", server, checks, failures,
                static_cast<unsigned long>(r.Handles), static_cast<unsigned long>(r.GdiObjects),
                static_cast<unsigned long>(r.UserObjects), static_cast<unsigned long>(r.Windows),
                static_cast<unsigned long>(r.PrivateBytes / 1024));
    std::fflush(stdout);
}

// Runs the checks; a check fails unless it reports a count of 3. Returns the failures.
int Soak(const char* label, const std::string& host, std::uint16_t port, const std::string& user,
         const std::string& password, int checks) {
    int failures = 0;
    ProcessResources atFirstThousand;
    for (int i = 1; i <= checks; ++i) {
        TMailMessageCount job;
        job.SetAccount(host, user, password);
        job.PortOverride = port;
        bool counted = false;
        job.OnSuccess = [&](IMailCountJob*, std::int32_t count) { counted = count == 3; };
        job.OnError = [&](IMailCountJob*, const std::string& message, TMailErrorKind) {
            if (failures < 5) std::printf("check %d failed: %s\n", i, message.c_str());
        };
        try {
            job.Run();
        } catch (const std::exception& e) {
            std::printf("check %d failed: %s\n", i, e.what());
        }
        if (!counted) ++failures;
        if (i % 1000 == 0 || i == checks) {
            const ProcessResources now = CurrentProcessResources();
            PrintRow(label, i, failures, now);
            if (i == 1000 || (i == checks && checks < 1000)) atFirstThousand = now;
            if (i == checks) {
                std::printf("%-10s growth from the first 1,000 checks to the end: handles %+ld, "
                            "GDI %+ld, USER %+ld, windows %+ld, private %+ld KiB\n",
                            label, long(now.Handles) - long(atFirstThousand.Handles),
                            long(now.GdiObjects) - long(atFirstThousand.GdiObjects),
                            long(now.UserObjects) - long(atFirstThousand.UserObjects),
                            long(now.Windows) - long(atFirstThousand.Windows),
                            (long(now.PrivateBytes) - long(atFirstThousand.PrivateBytes)) / 1024);
            }
        }
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    const int checks = argc > 1 ? std::atoi(argv[1]) : 10000;
    Application.Initialize(GetModuleHandleA(nullptr));
    RegisterMailBaseMessages();
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);

    PrintHeader();
    PrintRow("start", 0, 0, CurrentProcessResources());
    const DWORD dovecotStart = GetTickCount();
    const int dovecotFailures = Soak("dovecot", "localhost", 0, "three", "three-secret", checks);
    const DWORD dovecotTime = GetTickCount() - dovecotStart;

    int scriptedFailures = 0;
    DWORD scriptedTime = 0;
    {
        RepeatingServer server;
        const DWORD start = GetTickCount();
        scriptedFailures = Soak("scripted", "127.0.0.1", server.Port(), "ann", "secret", checks);
        scriptedTime = GetTickCount() - start;
    }
    PrintRow("end", 2 * checks, dovecotFailures + scriptedFailures, CurrentProcessResources());
    std::printf("dovecot:  %d checks, %d failures, %.1f s (%.2f ms a check)\n", checks,
                dovecotFailures, dovecotTime / 1000.0, double(dovecotTime) / checks);
    std::printf("scripted: %d checks, %d failures, %.1f s (%.2f ms a check)\n", checks,
                scriptedFailures, scriptedTime / 1000.0, double(scriptedTime) / checks);

    WSACleanup();
    Application.Destroy();
    return 0;
}
