#include "app/Program.win.h"

#include "app/CheckHost.win.h"
#include "app/MainForm.win.h"
#include "dialup/ConnectionStatus.win.h"
#include "dialup/RasBinding.win.h"
#include "mailbase/MailBase.win.h"
#include "settings/AppProperties.win.h"
#include "tray/TrayStatus.win.h"

std::unique_ptr<TAppProperties> AppProperties;
std::unique_ptr<ICheckHost> CheckHost;
std::unique_ptr<TMailStatus> MailStatus;
std::unique_ptr<TConnectionEvent> ConnectionEvent;
std::unique_ptr<TMainForm> MainForm;

void CreateGlobalObjects() {
    BindRasLibrary();
    StartConnectionStatus();
    AppProperties = CreateAppProperties(DialUpAvailable);
    RegisterMailBaseMessages();
    LoadTrayPictures();
    CheckHost = std::make_unique<TCheckHost>(*AppProperties);
    MailStatus = std::make_unique<TMailStatus>(*CheckHost);
    ConnectionEvent = std::make_unique<TConnectionEvent>();
}

void CreateMainForm() { MainForm = std::make_unique<TMainForm>(); }

void EndProgram() {
    // The threads first: their requests reach everything released below, and the poller calls
    // into the dial-up library until its thread has ended.
    StopCheckTriggers();
    StopConnectionStatus();
    MainForm.reset();
    ConnectionEvent.reset();
    MailStatus.reset();
    CheckHost.reset();
    AppProperties.reset();
    UnbindRasLibrary();
}
