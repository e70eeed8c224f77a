// The headers declare the system's notification state for Windows 7 and later targets only; it
// is bound at run time here, so this file may see its declaration.
#define NTDDI_VERSION 0x06010000
#include "app/Quiet.win.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/SystemLibrary.win.h"
#include "settings/AppProperties.h"
#include "settings/QuietHours.h"
#include "tray/TrayStatus.win.h"

namespace {

// Bound from the system folder on first use; missing before Vista.
decltype(&SHQueryUserNotificationState) NotificationStateEntryPoint() {
    static const auto entryPoint = [] {
        HMODULE shell = LoadSystemLibrary("shell32.dll");
        return shell ? reinterpret_cast<decltype(&SHQueryUserNotificationState)>(
                           reinterpret_cast<void (*)()>(
                               GetProcAddress(shell, "SHQueryUserNotificationState")))
                     : nullptr;
    }();
    return entryPoint;
}

}  // namespace

bool SystemSaysDoNotDisturb() {
    const auto query = NotificationStateEntryPoint();
    QUERY_USER_NOTIFICATION_STATE state{};
    if (!query || FAILED(query(&state))) return false;
    switch (state) {
        case QUNS_BUSY:
        case QUNS_RUNNING_D3D_FULL_SCREEN:
        case QUNS_PRESENTATION_MODE:
        case QUNS_QUIET_TIME:
            return true;
        default:
            return false;
    }
}

bool KeepQuiet(const TAppProperties& settings) {
    if (NotificationsPaused()) return true;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (QuietHoursNow(settings.QuietHours(), settings.QuietFrom(), settings.QuietTo(), now.wHour,
                      now.wMinute))
        return true;
    return SystemSaysDoNotDisturb();
}
