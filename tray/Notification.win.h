#pragma once
// What the user is told after a successful check, in a fixed order: the sound, the "Mail" window
// (or, when chosen, a Windows notification in its stead), then the mail program.

#include <cstdint>
#include <vector>

#include "mailbase/Header/MessageHeader.h"
#include "tray/ResultText.h"

class TAppProperties;

// Reads the notification settings at the moment of the call. Returns after a "Mail" window that
// it showed has been closed; a window that was already open only takes the new count. The mail
// program is opened only for a count above 0, and only after a newly shown window was closed (or
// at once when the window is switched off). The window words the count as wording says and lists
// newest under it.
void NotifyAfterCheck(const TAppProperties& settings, std::int32_t count,
                      TCountWording wording = cwAll,
                      const std::vector<TMessageSummary>& newest = {});
