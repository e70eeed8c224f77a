#include "app/Program.win.h"

#include "app/CheckHost.win.h"
#include "dialup/ConnectionStatus.win.h"
#include "dialup/RasBinding.win.h"
#include "mailbase/MailBase.win.h"
#include "settings/AppProperties.win.h"

std::unique_ptr<TAppProperties> AppProperties;
std::unique_ptr<TMailStatus> MailStatus;

namespace {

std::unique_ptr<TCheckHost> CheckHost;

}  // namespace

void CreateGlobalObjects() {
    BindRasLibrary();
    StartConnectionStatus();
    AppProperties = CreateAppProperties(DialUpAvailable);
    RegisterMailBaseMessages();
    CheckHost = std::make_unique<TCheckHost>(*AppProperties);
    MailStatus = std::make_unique<TMailStatus>(*CheckHost);
}

void ReleaseGlobalObjects() {
    // The poller is stopped and joined first: its callbacks reach the objects released below,
    // and it calls into the dial-up library until its thread has ended.
    SetConnectedCallback(nullptr);
    SetDisconnectedCallback(nullptr);
    StopConnectionStatus();
    MailStatus.reset();
    CheckHost.reset();
    AppProperties.reset();
    UnbindRasLibrary();
}
