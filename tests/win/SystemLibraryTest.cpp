// Libraries of the system come from the system folder; once start-up has narrowed the search,
// a library of the current folder is no longer found by its bare name. Their functions are bound
// by name to the SDK's prototypes.

#include "framework/SystemLibrary.win.h"
#include "tests/win/RasFake.h"

#include <gtest/gtest.h>

#include <string>

TEST(SystemLibrary, ALibraryOfTheCurrentFolderIsNeverTaken) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "larkspur-planted";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"\\LARKSPURPLANT1.DLL", "\\LARKSPURPLANT2.DLL"})
        CopyFileA(StandInLibrary("RASPARTIAL.DLL").c_str(), (folder + name).c_str(), FALSE);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.c_str());

    HMODULE planted = LoadLibraryA("LARKSPURPLANT1.DLL");
    EXPECT_NE(planted, nullptr) << "the platform's own search finds it";
    EXPECT_EQ(LoadSystemLibrary("LARKSPURPLANT2.DLL"), nullptr);
    // For the rest of this process, bare names are looked for in the system folder alone; the
    // tests load their stand-ins by full path.
    RemoveCurrentFolderFromLibrarySearch();
    EXPECT_EQ(LoadLibraryA("LARKSPURPLANT2.DLL"), nullptr);

    SetCurrentDirectoryA(previous);
    FreeLibrary(planted);
}

TEST(SystemLibrary, AnEntryPointIsTheFunctionTheLinkerWouldBindOrNull) {
    const struct {
        const char *library, *name;
        bool found;
    } cases[] = {
        {"user32.dll", "GetSystemMetrics", true},
        {"user32.dll", "NoSuchFunctionAnywhere", false},
        {"larkspur-no-such-library.dll", "GetSystemMetrics", false},
    };
    for (const auto& c : cases) {
        const auto entryPoint = SystemEntryPoint<decltype(&GetSystemMetrics)>(c.library, c.name);
        EXPECT_EQ(entryPoint, c.found ? &GetSystemMetrics : nullptr) << c.library << " " << c.name;
    }
}
