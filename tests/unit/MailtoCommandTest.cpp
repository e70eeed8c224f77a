// The program path taken from the system's "mailto" command.

#include "mailprogram/MailtoCommand.h"

#include <gtest/gtest.h>

TEST(MailtoCommand, QuotedPathRunsToTheClosingQuote) {
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\Mail\\mail.exe\" /m %1"), "C:\\Mail\\mail.exe");
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\Program Files\\Mail\\mail.exe\" /m \"%1\""),
              "C:\\Program Files\\Mail\\mail.exe");
}

TEST(MailtoCommand, UnquotedPathRunsToTheFirstBlank) {
    EXPECT_EQ(MailProgramFromMailtoCommand("C:\\Progra~1\\Mail\\mail.exe /m %1"),
              "C:\\Progra~1\\Mail\\mail.exe");
    EXPECT_EQ(MailProgramFromMailtoCommand("C:\\Program Files\\Mail\\mail.exe /m %1"),
              "C:\\Program");
    EXPECT_EQ(MailProgramFromMailtoCommand("%ProgramFiles%\\Mail\\mail.exe %1"),
              "%ProgramFiles%\\Mail\\mail.exe");
}

TEST(MailtoCommand, WithoutTerminatorThePathRunsToTheEnd) {
    EXPECT_EQ(MailProgramFromMailtoCommand("C:\\Mail\\mail.exe"), "C:\\Mail\\mail.exe");
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\Mail Box\\mail.exe"), "C:\\Mail Box\\mail.exe");
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\Windows\\RUNDLL32.EXE"), "");
    EXPECT_EQ(MailProgramFromMailtoCommand("rundll32.exe"), "");
}

TEST(MailtoCommand, LibraryRunnerInAnyCaseIsNoMailProgram) {
    EXPECT_EQ(MailProgramFromMailtoCommand("rundll32.exe url.dll,MailToProtocolHandler %l"), "");
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\WINDOWS\\System32\\RunDll32.exe\" url.dll %1"),
              "");
    // Only the path counts: a parameter that names the runner does not.
    EXPECT_EQ(MailProgramFromMailtoCommand("\"C:\\Mail\\mail.exe\" rundll32"),
              "C:\\Mail\\mail.exe");
}

TEST(MailtoCommand, EmptyOrLeadingBlankGivesNoPath) {
    EXPECT_EQ(MailProgramFromMailtoCommand(""), "");
    EXPECT_EQ(MailProgramFromMailtoCommand(" C:\\Mail\\mail.exe /m %1"), "");
    EXPECT_EQ(MailProgramFromMailtoCommand("\"\" /m %1"), "");
}
