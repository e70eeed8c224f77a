#pragma once
// The running program: its parts as members, made in start-up order and ended in the reverse
// order by their destructors. The main form, which puts up the tray icon and starts checking,
// comes last and goes first; the triggers go next, which stops and joins the background threads
// before anything their requests reach is gone.

#include <functional>
#include <memory>

#include "app/CheckTriggers.win.h"
#include "app/MailboxChecks.h"
#include "settings/AppProperties.h"

class TMainForm;

class TProgram {
public:
    using THostFactory = std::function<std::unique_ptr<ICheckHost>(TProgram&)>;

    // Takes the settings and makes the check host (the real one unless the tests give theirs),
    // the mailboxes' controllers and the triggers. There is one program at a time.
    explicit TProgram(std::unique_ptr<TAppProperties> settings, THostFactory makeHost = nullptr);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // The hidden main form, which puts up the tray icon and starts checking.
    void CreateMainForm();

    const std::unique_ptr<TAppProperties> Settings;
    const std::unique_ptr<ICheckHost> Host;
    TMailboxChecks Checks;
    TCheckTriggers Triggers;
    std::unique_ptr<TMainForm> MainForm;
};

// The program that exists now; for the code of the user-interface thread.
TProgram& Program();
