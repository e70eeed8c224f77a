#pragma once
// The tray status: the program's one icon in the notification area, made on first use with the
// main form as its owner, showing the result of the last check as its picture and hint.
// Everything here runs on the user-interface thread.

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/DateTime.h"
#include "tray/NotifyIcon.win.h"
#include "tray/ResultText.h"

class TPopupMenu;

// The two pictures, "NOMAIL" and "MAILWAITING", loaded once at start-up and kept for the run.
void LoadTrayPictures();
HICON NoMailPicture();
HICON MailWaitingPicture();

// Makes the icon, owned by the main form, shows it and gives it the hint "Your mail has not yet
// been checked", unless it exists. Raises ENotifyIconError while there is no main form.
void EnsureTrayIcon();
// The hint shows text, marked " (paused)" while notifications are paused. It is cut to the 63
// characters of the described record, or with mayBeLong (several mailboxes) to the 127 of the
// newer one.
void SetTrayHint(const std::string& text, bool mayBeLong = false);
// Paused notifications: checks nobody asked for tell their outcome in the tray only, as the
// hint says, until they are resumed.
void SetNotificationsPaused(bool paused);
bool NotificationsPaused();
// The count sentence as a Windows notification from the icon, titled as the "Mail" window.
void ShowCountBalloon(std::int32_t count, bool onlyNew = false);
// The hint for the result ("At 9:05 you had 3 mail messages"), then the picture: mail waiting
// for a count above 0.
void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording = cwAll);
// The icon keeps its own copy of the picture; the handle stays the caller's.
void SetTrayPicture(HICON picture);
void SetMailWaiting(bool waiting);
void SetTrayMenu(TPopupMenu* menu);
void SetTrayClick(TNotifyIcon::TNotifyEvent handler);
void SetTrayDoubleClick(TNotifyIcon::TNotifyEvent handler);

// The icon, or null before the first use and after DestroyTrayIcon.
TNotifyIcon* TrayIcon();
// Takes the icon out of the tray and destroys it; the main form does this as it goes.
void DestroyTrayIcon();
