#pragma once
// Helpers for the tests of the mail session: outcomes as text, sessions aimed at a loopback
// server, and code run from inside a session's wait the way the program's handlers run.

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "framework/NotifyWindow.win.h"
#include "mailbase/Pop3/Pop3.win.h"

// "" when action returns; otherwise "<exception class>: <message>".
std::string Outcome(const std::function<void()>& action);

// A session for user "ann" with password "secret" on 127.0.0.1:port, TimeOut in seconds.
std::unique_ptr<TPOP3> LoopbackSession(std::uint16_t port, int timeOut = 5);

// Open, Login, Stat and Quit, as the count job plays them.
void PlayDialogue(TPOP3& session);

// Runs a program to its end; what it wrote to its standard output and error, and its exit code.
// A program still running after the time is ended, with the exit code WAIT_TIMEOUT.
std::pair<std::string, DWORD> RunProcess(std::string commandLine, DWORD milliseconds = INFINITE);

// Runs the mailcount tool with these arguments; its one line of output (without the line end)
// and its exit code.
std::pair<std::string, DWORD> MailCount(const std::string& arguments);

// Runs a function from the first message processing of the calling thread: inside the next
// wait of a session, when one follows.
class WaitHook {
public:
    WaitHook();
    void RunInsideNextWait(std::function<void()> action);

private:
    std::function<void()> FAction;
    TNotifyWindow FWindow;
};
