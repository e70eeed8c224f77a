// The dial-up component and the poll logic over a scripted table of the service's entry points.

#include "dialup/ConnectionMonitor.h"
#include "dialup/Rascomp32.h"
#include "tests/support/TestThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ScriptedConnection {
    std::string EntryName;
    std::uint32_t State = RasConnectedState;
};

// Plays the service: fills what fits and answers 603 when more is there, like the platform.
struct ScriptedService {
    std::vector<ScriptedConnection> Connections;
    std::vector<std::string> Entries;
    std::uint32_t EnumResult = 0;             // forced result of the enumeration, when not 0
    std::vector<std::uint32_t> FailStatusOf;  // connection numbers whose status query fails
    int EnumCalls = 0, StatusCalls = 0, EntryCalls = 0, HangUpCalls = 0;
    std::vector<std::uint32_t> SizesSeen;
    const char* PhoneBookSeen = "unset";

    static RasConnHandle HandleOf(std::size_t i) {
        return reinterpret_cast<RasConnHandle>(static_cast<std::uintptr_t>(i + 1) * 16);
    }

    TRasApi Api() {
        TRasApi api;
        api.EnumConnections = [this](RasConnRecord* r, std::uint32_t* bytes, std::uint32_t* n) {
            ++EnumCalls;
            SizesSeen.push_back(r->dwSize);
            if (EnumResult) return EnumResult;
            const std::size_t room = *bytes / sizeof(RasConnRecord);
            for (std::size_t i = 0; i < Connections.size() && i < room; ++i) {
                r[i].hrasconn = HandleOf(i);
                std::strncpy(r[i].szEntryName, Connections[i].EntryName.c_str(),
                             sizeof r[i].szEntryName);
            }
            *n = static_cast<std::uint32_t>(Connections.size());
            return Connections.size() > room ? RasErrorBufferTooSmall : 0u;
        };
        api.GetConnectStatus = [this](RasConnHandle h, RasConnStatusRecord* status) {
            ++StatusCalls;
            SizesSeen.push_back(status->dwSize);
            for (std::size_t i = 0; i < Connections.size(); ++i) {
                if (HandleOf(i) != h) continue;
                for (auto failing : FailStatusOf)
                    if (failing == i) return 6u;
                status->rasconnstate = Connections[i].State;
                return 0u;
            }
            return 6u;
        };
        api.EnumEntries = [this](const char* book, RasEntryNameRecord* r, std::uint32_t* bytes,
                                 std::uint32_t* n) {
            ++EntryCalls;
            SizesSeen.push_back(r->dwSize);
            PhoneBookSeen = book;
            const std::size_t room = *bytes / sizeof(RasEntryNameRecord);
            for (std::size_t i = 0; i < Entries.size() && i < room; ++i)
                std::strncpy(r[i].szEntryName, Entries[i].c_str(), sizeof r[i].szEntryName);
            *n = static_cast<std::uint32_t>(Entries.size());
            return Entries.size() > room ? RasErrorBufferTooSmall : 0u;
        };
        api.HangUp = [this](RasConnHandle) {
            ++HangUpCalls;
            return 0u;
        };
        return api;
    }
};

constexpr std::uint32_t Dialing = 5;  // authenticating

TEST(RasComponent, NoConnectionAndConstruction) {
    ScriptedService service;
    TRAS ras(service.Api(), 0);
    EXPECT_EQ(ras.DialEventMessage(), 52429);
    EXPECT_EQ(service.EnumCalls, 0) << "construction calls no service";
    EXPECT_EQ(ras.RefreshConnections(), 0u);
    EXPECT_EQ(ras.Connections().Count(), 0u);
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(TRAS(service.Api(), 0xC123).DialEventMessage(), 0xC123);
}

TEST(RasComponent, SixConnectionsListsAndExaminesTheFirstFour) {
    ScriptedService service;
    for (int i = 0; i < 6; ++i) service.Connections.push_back({"isp" + std::to_string(i), Dialing});
    service.Connections[4].State = RasConnectedState;
    TRAS ras(service.Api(), 1);
    EXPECT_EQ(ras.RefreshConnections(), RasErrorBufferTooSmall);
    ASSERT_EQ(ras.Connections().Count(), 4u);
    EXPECT_EQ(ras.Connections().EntryName(3), "isp3");
    EXPECT_EQ(ras.Connections().RASConn(3), ScriptedService::HandleOf(3));
    EXPECT_FALSE(ras.IsConnected()) << "the fifth one is never examined";
    EXPECT_EQ(service.StatusCalls, 4);
    for (auto size : service.SizesSeen)
        EXPECT_TRUE(size == sizeof(RasConnRecord) || size == 160u) << size;
}

TEST(RasComponent, OnlyAConnectionInTheConnectedStateCounts) {
    ScriptedService service;
    service.Connections = {{"dialing", Dialing}, {"broken", RasConnectedState}};
    service.FailStatusOf = {1};
    TRAS ras(service.Api(), 1);
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(ras.LastError(), 6u) << "the last status query's result";

    service.Connections.push_back({"up", RasConnectedState});
    service.Connections.push_back({"later", RasConnectedState});
    EXPECT_TRUE(ras.IsConnected());
    EXPECT_EQ(ras.LastError(), 0u);
    EXPECT_EQ(service.StatusCalls, 2 + 3) << "the first connected one ends the search";
}

TEST(RasComponent, FailedEnumerationEmptiesTheList) {
    ScriptedService service;
    service.Connections = {{"up", RasConnectedState}};
    TRAS ras(service.Api(), 1);
    ASSERT_TRUE(ras.IsConnected());
    service.EnumResult = 632;
    EXPECT_EQ(ras.RefreshConnections(), 632u);
    EXPECT_EQ(ras.Connections().Count(), 0u);
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(ras.LastError(), 632u);
}

TEST(RasComponent, EntryNames) {
    ScriptedService service;
    service.Connections = {{"", RasConnectedState}, {std::string(300, 'x'), RasConnectedState}};
    TRAS ras(service.Api(), 1);
    ras.RefreshConnections();
    EXPECT_EQ(ras.Connections().EntryName(0), "");
    EXPECT_EQ(ras.Connections().EntryName(1), std::string(257, 'x'))
        << "an unterminated name stops at the end of its field";
}

TEST(RasComponent, PhoneBookListsTheNamedOfTheFirstTwenty) {
    ScriptedService service;
    for (int i = 0; i < 25; ++i) service.Entries.push_back("entry" + std::to_string(i));
    service.Entries[2].clear();
    TRAS ras(service.Api(), 1);
    ras.SetPhoneBookPath("C:\\book.pbk");
    EXPECT_STREQ(service.PhoneBookSeen, "C:\\book.pbk");
    ASSERT_EQ(ras.PhoneBookEntries().size(), 19u);
    EXPECT_EQ(ras.PhoneBookEntries()[2], "entry3");
    EXPECT_EQ(ras.PhoneBookEntries().back(), "entry19");
    EXPECT_EQ(ras.LastError(), RasErrorBufferTooSmall);

    ras.SetPhoneBookPath("");
    EXPECT_EQ(service.PhoneBookSeen, nullptr) << "the default phone book";
}

TEST(RasComponent, MissingEntryPointsActAsAnAbsentLibrary) {
    ScriptedService service;
    service.Connections = {{"up", RasConnectedState}};
    service.Entries = {"entry"};
    TRasApi withoutStatus = service.Api();
    withoutStatus.GetConnectStatus = nullptr;
    TRAS partial(withoutStatus, 1);
    EXPECT_EQ(partial.RefreshConnections(), 0u);
    EXPECT_EQ(partial.Connections().Count(), 1u);
    EXPECT_FALSE(partial.IsConnected());
    EXPECT_EQ(service.EnumCalls, 1) << "IsConnected asks nothing without its status query";

    TRAS absent(TRasApi{}, 1);
    EXPECT_EQ(absent.RefreshConnections(), 0u);
    EXPECT_FALSE(absent.IsConnected());
    absent.SetPhoneBookPath("book");
    EXPECT_TRUE(absent.PhoneBookEntries().empty());
    EXPECT_EQ(absent.HangUp(), 0u);
}

TEST(RasComponent, DestructionHangsNothingUp) {
    ScriptedService service;
    {
        TRAS ras(service.Api(), 1);
        ras.AutoDisconnect = true;
        EXPECT_EQ(ras.HangUp(), 0u);
    }
    EXPECT_EQ(service.HangUpCalls, 0) << "the component never holds a connection";
}

TEST(ConnectionList, DeleteAndClear) {
    TConnectionList list;
    RasConnRecord record = {};
    for (const char* name : {"a", "b", "c"}) {
        std::strcpy(record.szEntryName, name);
        list.AddConnection(record);
    }
    list.Delete(1);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.EntryName(1), "c");
    EXPECT_THROW(list.Delete(2), std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

// The poll logic with its callbacks recorded.
class ConnectionPolls : public ::testing::Test {
protected:
    ConnectionPolls() : Monitor(std::make_unique<TRAS>(Service.Api(), 1), nullptr) {}

    void InstallCallbacks() {
        Monitor.SetOnConnected([this](TConnectionStatus*) { Calls.push_back("connected"); });
        Monitor.SetOnDisconnected([this](TConnectionStatus*) { Calls.push_back("disconnected"); });
    }

    ScriptedService Service;
    TConnectionMonitor Monitor;
    std::vector<std::string> Calls;
};

TEST_F(ConnectionPolls, EachChangeIsReportedOnce) {
    InstallCallbacks();
    Monitor.Poll();
    Service.Connections = {{"isp", RasConnectedState}};
    Monitor.Poll();
    Monitor.Poll();
    Service.Connections.push_back({"second", RasConnectedState});
    Monitor.Poll();
    Service.Connections.erase(Service.Connections.begin());
    Monitor.Poll();
    EXPECT_EQ(Calls, std::vector<std::string>{"connected"}) << "one of two going down is no change";
    Service.Connections.clear();
    Monitor.Poll();
    Monitor.Poll();
    EXPECT_EQ(Calls, (std::vector<std::string>{"connected", "disconnected"}));
}

TEST_F(ConnectionPolls, AConnectionSeenWithoutCallbacksIsNotReportedLater) {
    Service.Connections = {{"isp", RasConnectedState}};
    Monitor.Poll();
    InstallCallbacks();
    Monitor.Poll();
    EXPECT_TRUE(Calls.empty());
    Service.Connections.clear();
    Monitor.Poll();
    EXPECT_EQ(Calls, std::vector<std::string>{"disconnected"});
}

TEST_F(ConnectionPolls, ACallbackMayAskAndReplaceTheCallbacks) {
    Service.Connections = {{"isp", RasConnectedState}};
    int calls = 0;
    bool answered = false;
    Monitor.SetOnConnected([&](TConnectionStatus*) {
        ++calls;
        answered = Monitor.Connected();
        Monitor.SetOnConnected(nullptr);
    });
    Monitor.Poll();
    Service.Connections.clear();
    Monitor.Poll();
    Service.Connections = {{"isp", RasConnectedState}};
    Monitor.Poll();
    EXPECT_EQ(calls, 1) << "the callback cleared itself";
    EXPECT_TRUE(answered);
}

TEST_F(ConnectionPolls, AbsentServiceNeverReports) {
    TConnectionMonitor absent(std::make_unique<TRAS>(TRasApi{}, 1), nullptr);
    int calls = 0;
    absent.SetOnConnected([&](TConnectionStatus*) { ++calls; });
    absent.SetOnDisconnected([&](TConnectionStatus*) { ++calls; });
    absent.Poll();
    absent.Poll();
    EXPECT_FALSE(absent.Connected());
    EXPECT_EQ(calls, 0);
}

// Asking from another thread while a poll is inside the service waits for the poll to finish:
// both would clear and refill the same connection list.
TEST(ConnectionMonitorLocking, AskingWaitsForAPollInProgress) {
    TTestSignal firstInside, released;
    std::atomic<int> inside{0}, entered{0};
    std::atomic<bool> overlapped{false};
    TRasApi api;
    api.EnumConnections = [&](RasConnRecord*, std::uint32_t*, std::uint32_t* count) {
        if (inside++ > 0) overlapped = true;
        if (++entered == 1) firstInside.Set();
        released.Wait();
        --inside;
        *count = 0;
        return 0u;
    };
    api.GetConnectStatus = [](RasConnHandle, RasConnStatusRecord*) { return 6u; };
    TConnectionMonitor monitor(std::make_unique<TRAS>(api, 1), nullptr);

    TTestThread poll([&] { monitor.Poll(); });
    firstInside.Wait();
    TTestThread ask([&] { monitor.Connected(); });
    // Time for a call that is not held back to walk in; a slow machine only weakens the test.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    released.Set();
    poll.join();
    ask.join();
    EXPECT_EQ(entered, 2);
    EXPECT_FALSE(overlapped);
}

}  // namespace
