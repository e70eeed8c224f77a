// Telling new mail on the wire and on the disk: what the count job sends and takes when it
// looks for new mail, and the seen-ID file that a crash mid-write must not spoil.

#include "app/SeenIdsFile.h"
#include "app/SeenStore.win.h"
#include "mailbase/MailMessageCount.win.h"
#include "resources/resource.h"
#include "tests/win/ScriptedPop3Server.h"
#include "tests/win/WindowDriver.h"
#include "tray/NotifyForm.win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Lines = std::vector<std::string>;

struct NewMailRun {
    NewMailRun(std::uint16_t port, TSeenIds seen, std::size_t previews = kMaxPreviews) {
        Job.SetAccount("127.0.0.1", "ann", "secret");
        Job.Previews = previews;
        Job.PortOverride = port;
        Job.TimeOut = 5;
        Job.OnlyNew = true;
        Job.Seen = std::move(seen);
        Job.OnSuccess = [this](IMailCountJob*, std::int32_t count) {
            Outcome = "success " + std::to_string(count);
        };
        Job.OnError = [this](IMailCountJob*, const std::string& message, TMailErrorKind kind) {
            Outcome = "error " + std::to_string(kind) + " " + message;
        };
        Job.Run();
    }
    Lines Newest() const {
        Lines lines;
        for (const TMessageSummary& m : Job.News.Newest) lines.push_back(m.From + "|" + m.Subject);
        return lines;
    }
    TMailMessageCount Job;
    std::string Outcome;
};

std::string Header(const std::string& lines) { return "+OK\r\n" + lines + "\r\n."; }

std::string TempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "larkspur-seen-" + std::to_string(GetCurrentProcessId());
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

}  // namespace

// Which messages are new, and what a header says, are the portable core's (unit NewMail and
// MessageHeader); here the job asks for them on the wire and keeps what comes back.
TEST(NewMail, AsksUidlAndTheNewestHeadersAndNothingThatChangesTheMailbox) {
    ScriptedPop3Server server(Dialogue({
        "+OK ready", "+OK", "+OK", "+OK 4 4000",
        "+OK\r\n1 id-a\r\n2 id-b\r\n3 id-c\r\n4 id-d\r\n.",
        Header("Received: from x\r\nFrom: Anna <anna@example.ru>\r\nSubject: Hello\r\n"),
        "-ERR no such message",
        Header("From: Bob <bob@example.org>\r\n..hidden: dot\r\nSubject: Lunch\r\n"),
        "+OK bye"}));
    NewMailRun run(server.Port(), {"id-b"});
    EXPECT_EQ(run.Outcome, "success 4");
    EXPECT_TRUE(run.Job.News.Supported);
    EXPECT_EQ(run.Job.News.Count, 3);
    EXPECT_EQ(run.Job.News.CurrentIds, (Lines{"id-a", "id-b", "id-c", "id-d"}));
    // The refused TOP leaves a message without a line; the count stands.
    EXPECT_EQ(run.Newest(), (Lines{"Anna|Hello", "Bob|Lunch"}));
    server.WaitForClientClose(2000);
    EXPECT_EQ(server.Received(),
              (Lines{"USER ann", "PASS secret", "STAT", "UIDL", "TOP 4 0", "TOP 3 0", "TOP 1 0",
                     "QUIT"}));
}

TEST(NewMail, HeadersAreAskedForTheNewestUpToTheLimitAndNotAtAllWithoutUidlOrNews) {
    ScriptedPop3Server many(Dialogue({"+OK", "+OK", "+OK", "+OK 3 300",
                                      "+OK\r\n1 a\r\n2 b\r\n3 c\r\n.",
                                      Header("Subject: c"), Header("Subject: b"), "+OK"}));
    NewMailRun limited(many.Port(), {}, 2);
    EXPECT_EQ(limited.Job.News.Count, 3);
    many.WaitForClientClose(2000);
    EXPECT_EQ(many.Received(),
              (Lines{"USER ann", "PASS secret", "STAT", "UIDL", "TOP 3 0", "TOP 2 0", "QUIT"}));

    ScriptedPop3Server noUidl(
        Dialogue({"+OK", "+OK", "+OK", "+OK 3 300", "-ERR unknown command", "+OK"}));
    NewMailRun plain(noUidl.Port(), {});
    EXPECT_EQ(plain.Outcome, "success 3");
    EXPECT_TRUE(plain.Job.News.Asked);
    EXPECT_FALSE(plain.Job.News.Supported);
    noUidl.WaitForClientClose(2000);
    EXPECT_EQ(noUidl.Received(), (Lines{"USER ann", "PASS secret", "STAT", "UIDL", "QUIT"}));

    ScriptedPop3Server seenAll(
        Dialogue({"+OK", "+OK", "+OK", "+OK 2 200", "+OK\r\n1 a\r\n2 b\r\n.", "+OK"}));
    NewMailRun none(seenAll.Port(), {"a", "b"});
    EXPECT_EQ(none.Outcome, "success 2");
    EXPECT_EQ(none.Job.News.Count, 0);
    seenAll.WaitForClientClose(2000);
    EXPECT_EQ(seenAll.Received(), (Lines{"USER ann", "PASS secret", "STAT", "UIDL", "QUIT"}));
}

TEST(NewMail, TheSeenFileSurvivesAWriterThatDiedAndIsReplacedWhenBroken) {
    const std::string folder = TempFolder();
    const std::string path = folder + "\\seen.txt";
    ASSERT_TRUE(SaveSeenIds(path, {"a", "b"}));
    EXPECT_EQ(LoadSeenIds(path), (TSeenIds{"a", "b"}));

    // A writer killed after it began: its temporary file is left half written. The file
    // itself is as the last whole save left it, and the next save goes over the leftover.
    WriteAll(path + ".new", FormatSeenIds({"a", "b", "c"}).substr(0, 20));
    EXPECT_EQ(LoadSeenIds(path), (TSeenIds{"a", "b"}));
    ASSERT_TRUE(SaveSeenIds(path, {"b", "c"}));
    EXPECT_EQ(LoadSeenIds(path), (TSeenIds{"b", "c"}));
    EXPECT_EQ(GetFileAttributesA((path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file broken some other way counts as nothing seen and is replaced whole.
    WriteAll(path, "Larkspur seen message IDs 1\nb\nc\nend 9\n");
    EXPECT_TRUE(LoadSeenIds(path).empty());
    ASSERT_TRUE(SaveSeenIds(path, {"d"}));
    EXPECT_EQ(ReadAll(path), "Larkspur seen message IDs 1\nd\nend 1\n");

    // A save that cannot take the file's place fails and leaves nothing behind.
    const std::string blocked = folder + "\\taken";
    CreateDirectoryA(blocked.c_str(), nullptr);
    EXPECT_FALSE(SaveSeenIds(blocked, {"e"}));
    EXPECT_EQ(GetFileAttributesA((blocked + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryA(blocked.c_str());
    EXPECT_FALSE(SaveSeenIds("", {"e"}));

    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(NewMail, EachMailboxHasItsFileInTheApplicationDataFolder) {
    wchar_t saved[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH);
    SetEnvironmentVariableW(L"APPDATA", L"C:\\Users\\J\u00FCrgen\\AppData\\Roaming");
    EXPECT_EQ(SeenFilePath("pop.example.com", "ann"),
              "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming\\Larkspur\\" +
                  SeenFileName("pop.example.com", "ann"));
    SetEnvironmentVariableW(L"APPDATA", nullptr);
    EXPECT_EQ(SeenFilePath("pop.example.com", "ann"), "");
    SetEnvironmentVariableW(L"APPDATA", saved);
}

// The texts come from strangers and arrive whole in any script; how a line is made of them is
// CountText's.
TEST(NewMail, ThePopupListsTheNewestThreeUnderTheNewCount) {
    const std::vector<TMessageSummary> newest = {
        {"J\xC3\xBCrgen", "Gr\xC3\xBC\xC3\x9F" "e"}, {"Bob", "Lunch"}, {"", "no sender"},
        {"Dora", ""}};
    std::string countLine;
    std::vector<std::wstring> lines;
    WindowDriver driver;
    driver.WhenWindowAppears([](HWND w) { return GetDlgItem(w, IDC_TIMELABEL) != nullptr; },
                             [&](HWND popup) {
                                 countLine = WindowText(GetDlgItem(popup, IDC_NUMMESSAGESLABEL));
                                 for (const TWide& line : ResultPopup->ListLines())
                                     lines.emplace_back(line.data(), WideLength(line));
                                 PostMessageA(popup, WM_CLOSE, 0, 0);
                             });
    ShowLastResult(4, 45000.5, cwNew, newest);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(countLine, "4 new mail messages");
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"J\u00FCrgen \u2014 Gr\u00FC\u00DFe",
                                                L"Bob \u2014 Lunch", L"no sender"}));
}

namespace {

const char kKilledWriterPath[] = "LARKSPUR_KILLED_WRITER_PATH";

std::vector<std::string> ManyIds(char tag) {
    std::vector<std::string> ids;
    for (int i = 0; i < 20000; ++i) ids.push_back(std::string(1, tag) + std::to_string(i));
    return ids;
}

}  // namespace

// Disabled in the ordinary run; the parent starts it and kills it while it writes.
TEST(NewMailChild, DISABLED_SavesWithoutEnd) {
    char path[MAX_PATH] = "";
    ASSERT_NE(GetEnvironmentVariableA(kKilledWriterPath, path, MAX_PATH), 0u);
    const std::vector<std::string> sets[] = {ManyIds('a'), ManyIds('b')};
    for (unsigned round = 0;; ++round) SaveSeenIds(path, sets[round % 2]);
}

TEST(NewMail, AWriterKilledMidWriteLeavesOneWholeSaveBehind) {
    const std::string folder = TempFolder();
    const std::string path = folder + "\\seen.txt";
    const TSeenIds a = [] { auto ids = ManyIds('a'); return TSeenIds(ids.begin(), ids.end()); }();
    const TSeenIds b = [] { auto ids = ManyIds('b'); return TSeenIds(ids.begin(), ids.end()); }();
    ASSERT_TRUE(SaveSeenIds(path, ManyIds('a')));
    SetEnvironmentVariableA(kKilledWriterPath, path.c_str());
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe +
                          "\" --gtest_also_run_disabled_tests "
                          "--gtest_filter=NewMailChild.DISABLED_SavesWithoutEnd";
    // Kills at different points of the writer's rounds.
    for (DWORD lifetime : {150u, 230u, 370u, 510u, 690u}) {
        SCOPED_TRACE(lifetime);
        STARTUPINFOA startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        Sleep(lifetime);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        const TSeenIds left = LoadSeenIds(path);
        EXPECT_TRUE(left == a || left == b) << left.size() << " IDs";
    }
    SetEnvironmentVariableA(kKilledWriterPath, nullptr);
    DeleteFileA(path.c_str());
    DeleteFileA((path + ".new").c_str());
    RemoveDirectoryA(folder.c_str());
}
