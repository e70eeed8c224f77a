// The run-time binding and the dial-up component against the stand-in libraries that lie beside
// the test executable, handed to the binding by their full paths.

#include <gtest/gtest.h>

#include <string>

#include "dialup/RasBinding.win.h"
#include "dialup/Rascomp32.h"
#include "tests/win/RasFake.h"

namespace {

UINT CurrentErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

TEST(RasBinding, AbsentLibraryBindsNothingQuietlyAndForGood) {
    const UINT before = SetErrorMode(SEM_FAILCRITICALERRORS);
    TRasBinding binding;
    binding.Bind("LARKSPUR-NO-SUCH-RAS.DLL");
    EXPECT_EQ(CurrentErrorMode(), UINT(SEM_FAILCRITICALERRORS)) << "the error mode is restored";
    SetErrorMode(before);
    EXPECT_FALSE(binding.Available());
    binding.Bind("RASAPI32.DLL");
    EXPECT_FALSE(binding.Available()) << "a failed binding is never retried";
    EXPECT_EQ(binding.EntryPoints().RasEnumConnections, nullptr);

    TRAS ras(binding.Api(), 1);
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(ras.RefreshConnections(), 0u);
}

TEST(RasBinding, ResolvesTheSevenEntryPoints) {
    ASSERT_TRUE(BoundRasLibrary().Available()) << StandInLibrary("RASAPI32.DLL");
    ASSERT_TRUE(RasFake("RASAPI32.DLL").Loaded()) << "Wine's own library (run with rasapi32=n)";
    const TRasEntryPoints& e = RasBinding.EntryPoints();
    EXPECT_TRUE(e.RasDial && e.RasEnumConnections && e.RasEnumEntries && e.RasGetConnectStatus &&
                e.RasGetErrorString && e.RasHangUp && e.RasGetEntryDialParams);
}

TEST(RasBinding, UnbindReleasesTheEntryPoints) {
    TRasBinding binding;
    binding.BindFile(StandInLibrary("RASPARTIAL.DLL"));
    ASSERT_TRUE(binding.Available());
    binding.Unbind();
    EXPECT_FALSE(binding.Available());
    EXPECT_FALSE(binding.Api().EnumConnections);
    EXPECT_EQ(GetModuleHandleA("RASPARTIAL.DLL"), nullptr);
}

TEST(RasBinding, AMissingEntryPointDisablesOnlyItsOperation) {
    TRasBinding binding;
    binding.BindFile(StandInLibrary("RASPARTIAL.DLL"));
    ASSERT_TRUE(binding.Available());
    EXPECT_EQ(binding.EntryPoints().RasGetConnectStatus, nullptr);
    EXPECT_EQ(binding.EntryPoints().RasHangUp, nullptr);
    RasFake fake("RASPARTIAL.DLL");
    fake.SetConnections({{"isp", RasStateConnected}});

    TRAS ras(binding.Api(), 1);
    EXPECT_EQ(ras.RefreshConnections(), 0u);
    EXPECT_EQ(ras.Connections().EntryName(0), "isp");
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(ras.HangUp(), 0u);
}

class RasComponentOverTheLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Fake.Loaded()); }

    TRAS Ras{BoundRasLibrary().Api(), 1};
    RasFake Fake{"RASAPI32.DLL"};
};

TEST_F(RasComponentOverTheLibrary, ConnectionsAndTheirStates) {
    EXPECT_EQ(Ras.RefreshConnections(), 0u);
    EXPECT_EQ(Ras.Connections().Count(), 0u);
    EXPECT_FALSE(Ras.IsConnected());

    Fake.SetConnections({{"dialing", RasStateAuthenticate}, {"", RasStateConnected}});
    EXPECT_TRUE(Ras.IsConnected()) << "the library accepted the record versions";
    EXPECT_EQ(Ras.Connections().EntryName(0), "dialing");
    EXPECT_EQ(Ras.Connections().EntryName(1), "");
    EXPECT_EQ(Fake.Calls("RasGetConnectStatusA"), 2);

    Fake.SetConnections({{"dialing", RasStateAuthenticate}});
    EXPECT_FALSE(Ras.IsConnected());
}

TEST_F(RasComponentOverTheLibrary, SixConnectionsGiveFourAndTheAnswer603) {
    std::vector<RasFakeConnection> six(6, {"off", RasStateAuthenticate});
    six[4] = {"fifth", RasStateConnected};
    Fake.SetConnections(six);
    EXPECT_EQ(Ras.RefreshConnections(), 603u);
    EXPECT_EQ(Ras.Connections().Count(), 4u);
    EXPECT_FALSE(Ras.IsConnected());
    EXPECT_EQ(Fake.Calls("RasGetConnectStatusA"), 4);
}

TEST_F(RasComponentOverTheLibrary, TwentyOfTwentyFivePhoneBookEntries) {
    std::vector<std::string> names;
    for (int i = 0; i < 25; ++i) names.push_back("entry " + std::to_string(i));
    names[0].clear();
    std::vector<const char*> texts;
    for (const auto& name : names) texts.push_back(name.c_str());
    Fake.SetEntries(texts);

    Ras.SetPhoneBookPath("C:\\users\\book.pbk");
    EXPECT_EQ(Ras.LastError(), 603u);
    ASSERT_EQ(Ras.PhoneBookEntries().size(), 19u);
    EXPECT_EQ(Ras.PhoneBookEntries().front(), "entry 1");
    EXPECT_EQ(Ras.PhoneBookEntries().back(), "entry 19");
}

TEST_F(RasComponentOverTheLibrary, OnlyObservesNeverDials) {
    Fake.SetConnections({{"isp", RasStateConnected}});
    {
        TRAS ras(RasBinding.Api(), 1);
        ras.AutoDisconnect = true;
        EXPECT_TRUE(ras.IsConnected());
    }
    for (const char* name :
         {"RasHangUpA", "RasDialA", "RasGetErrorStringA", "RasGetEntryDialParamsA"})
        EXPECT_EQ(Fake.Calls(name), 0) << name;
}

}  // namespace
