#include "app/ShellErrors.h"
#include "app/StartupNames.h"

#include <gtest/gtest.h>

TEST(StartupNames, MutexNameIsTheFileNamePartAndTheFixedSuffix) {
    const std::string suffix = "-- Mutex identifier Brightmoor function CheckForSingleInstance()";
    EXPECT_EQ(SingleInstanceMutexName("C:\\Apps\\check.exe"), "check.exe" + suffix);
    // No case folding, extension kept; a drive-relative path splits at the colon.
    EXPECT_EQ(SingleInstanceMutexName("D:Larkspur.EXE"), "Larkspur.EXE" + suffix);
    EXPECT_EQ(SingleInstanceMutexName("plain.exe"), "plain.exe" + suffix);
}

TEST(StartupNames, HelpDocumentLiesInHelpBesideTheExecutable) {
    EXPECT_EQ(HelpDocumentPath("C:\\Program Files\\Larkspur\\Larkspur.exe"),
              "C:\\Program Files\\Larkspur\\Help\\Larkspur.htm");
    EXPECT_EQ(ExecutableFolder("C:Larkspur.exe"), "C:");
}

TEST(StartupNames, OnlyTheExactHelpSwitchCountsAndEveryOccurrenceCounts) {
    EXPECT_EQ(HelpSwitchCount({}), 0);
    EXPECT_EQ(HelpSwitchCount({"/?", "/?"}), 2);
    EXPECT_EQ(HelpSwitchCount({"-?", "/h", "/??", " /?", "/?x", "/H"}), 0);
    EXPECT_EQ(HelpSwitchCount({"/x", "/?"}), 1);
}

TEST(ShellErrors, EachResultHasItsTextAndUnknownOnesTheGeneralOne) {
    EXPECT_EQ(ShellErrorText(0), "The operating system is out \r\nof memory or resources.");
    EXPECT_EQ(ShellErrorText(2), "The specified file was not found.");
    EXPECT_EQ(ShellErrorText(3), "The specified path was not found.");
    EXPECT_EQ(ShellErrorText(5), "The operating system denied \r\naccess to the specified file.");
    EXPECT_EQ(ShellErrorText(8), "There was not enough memory \r\nto complete the operation.");
    EXPECT_EQ(ShellErrorText(11),
              "The .EXE file is invalid (non-Win32 \r\n.EXE or error in .EXE image).");
    EXPECT_EQ(ShellErrorText(26), "A sharing violation occurred.");
    EXPECT_EQ(ShellErrorText(27), "The filename association \r\nis incomplete or invalid.");
    EXPECT_EQ(ShellErrorText(28),
              "The DDE transaction could not \r\nbe completed because the request \r\ntimed out.");
    EXPECT_EQ(ShellErrorText(29), "The DDE transaction failed.");
    EXPECT_EQ(ShellErrorText(30),
              "The DDE transaction could not\r\nbe completed because other DDE \r\n"
              "transactions were being processed.");
    EXPECT_EQ(ShellErrorText(31), "There is no application \r\nassociated with these files.");
    EXPECT_EQ(ShellErrorText(32), "The specified dynamic-link \r\nlibrary was not found.");
    for (long other : {1L, 4L, 6L, 12L, 25L})
        EXPECT_EQ(ShellErrorText(other), "The requested file could not be opened.") << other;
}

TEST(ShellErrors, FailureMessageNamesTheTargetAndTheWayAround) {
    EXPECT_EQ(OpenDocumentFailureMessage(31, "http://example.invalid/"),
              "There is no application \r\nassociated with these files.\r\n\r\n"
              "To open the page:\r\n\r\nhttp://example.invalid/\r\n\r\n"
              "use the Open command from\r\nthe browser's File menu.");
}
