#pragma once
// The program's global objects, created at start-up in a fixed order and released at the end
// in the reverse order.

#include <memory>

#include "app/MailCheck.h"
#include "settings/AppProperties.h"

extern std::unique_ptr<TAppProperties> AppProperties;
extern std::unique_ptr<TMailStatus> MailStatus;

void CreateGlobalObjects();
// Safe to call twice: the end of the user's logon may run it before the normal end does.
void ReleaseGlobalObjects();
