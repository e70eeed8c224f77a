#include "app/Program.win.h"

std::unique_ptr<TMailStatus> MailStatus;

namespace {

TCheckHost CheckHost;

}  // namespace

void CreateGlobalObjects() {
    MailStatus = std::make_unique<TMailStatus>(CheckHost);
}

void ReleaseGlobalObjects() {
    MailStatus.reset();
}
