#pragma once
// The program's global objects, created at start-up in a fixed order and released at the end
// in the reverse order.

#include <memory>

#include "app/CheckTriggers.win.h"
#include "app/MailCheck.h"
#include "settings/AppProperties.h"

class TMainForm;

extern std::unique_ptr<TAppProperties> AppProperties;
extern std::unique_ptr<ICheckHost> CheckHost;
extern std::unique_ptr<TMailStatus> MailStatus;
extern std::unique_ptr<TConnectionEvent> ConnectionEvent;
extern std::unique_ptr<TMainForm> MainForm;

// The dial-up binding and poller, the settings, the session's messages, the tray pictures, the
// check state and the connection event receiver.
void CreateGlobalObjects();
// The hidden main form, which puts up the tray icon and starts checking.
void CreateMainForm();
// Stops and joins the background threads (answering their hand-overs with nothing to do), takes
// the icon out of the tray with the main form, and releases the global objects. Safe to call
// twice: the end of the user's logon runs it before the normal end would.
void EndProgram();
