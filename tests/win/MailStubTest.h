#pragma once
// Tests that start the mail stub tool as the user's mail program: each test has copies of the
// stub under paths of its own and a record of the command lines they were started with.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The stub's top-level windows, of any process.
std::vector<HWND> StubWindows();
// Closes every stub window and waits for its process to end.
void CloseStubs();

class MailStubTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of the mail stub under its own path, so that no test meets a window remembered by
    // another.
    std::string Stub(const std::string& name);
    // The command lines of the starts so far, in brackets, one per start.
    std::vector<std::string> Starts() const;

    std::string Prefix, Record;
    std::vector<std::string> Copies;
};
