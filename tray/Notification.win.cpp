#include "tray/Notification.win.h"

#include "mailprogram/MailProgram.win.h"
#include "settings/AppProperties.h"
#include "tray/MailSound.win.h"
#include "tray/NumMessagesForm.win.h"
#include "tray/TrayStatus.win.h"

void NotifyAfterCheck(const TAppProperties& settings, std::int32_t count, TCountWording wording,
                      const std::vector<TMessageSummary>& newest) {
    if (settings.PlaySoundEnabled()) PlayMailSound(settings);
    bool shown = true;
    if (settings.ShowMessageWindow() && settings.WindowsNotification())
        ShowCountBalloon(count, wording == cwNew);  // it waits for nobody, like no window at all
    else if (settings.ShowMessageWindow())
        shown = ShowCountWindow(count, wording == cwNew, newest);
    if (count <= 0) return;
    // A result that only refreshed an open window leaves the mail program to the call that
    // opened it.
    if (settings.StartMailApp() && shown)
        OpenMailProgram(settings.MailAppPath(), settings.MailAppCommandLineParameter());
}
