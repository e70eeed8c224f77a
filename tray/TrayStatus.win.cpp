#include "tray/TrayStatus.win.h"

#include <memory>

#include "framework/Application.win.h"
#include "framework/Form.win.h"
#include "framework/Locale.win.h"
#include "framework/ResourceString.win.h"
#include "resources/resource.h"
#include "tray/CountText.h"
#include "tray/ResultText.h"

namespace {

std::unique_ptr<TNotifyIcon> Icon;
// Shared icon resources: the platform frees them with the program.
HICON NoMail = nullptr;
HICON MailWaiting = nullptr;
std::string Hint = kNotCheckedHint;  // the hint without the pause's mark
bool Paused = false;
std::size_t HintLength = kTipLength;

void ShowHint() {
    Icon->SetHint(Paused ? PausedTrayHint(Hint, HintLength) : Hint.substr(0, HintLength));
}

}  // namespace

void LoadTrayPictures() {
    NoMail = LoadIconA(Application.Instance(), "NOMAIL");
    MailWaiting = LoadIconA(Application.Instance(), "MAILWAITING");
}

HICON NoMailPicture() { return NoMail; }
HICON MailWaitingPicture() { return MailWaiting; }

void EnsureTrayIcon() {
    if (Icon) return;
    Icon = std::make_unique<TNotifyIcon>(Application.MainForm());
    Icon->SetIconVisible(true);
    Hint = kNotCheckedHint;
    HintLength = kTipLength;
    ShowHint();
}

void SetTrayHint(const std::string& text, bool mayBeLong) {
    EnsureTrayIcon();
    Hint = text;
    HintLength = mayBeLong ? kLongTipLength : kTipLength;
    ShowHint();
}

void SetNotificationsPaused(bool paused) {
    Paused = paused;
    EnsureTrayIcon();
    ShowHint();
}

bool NotificationsPaused() { return Paused; }

void ShowCountBalloon(std::int32_t count, bool onlyNew) {
    EnsureTrayIcon();
    Icon->ShowBalloon(ResourceString(IDS_BALLOONTITLE), CountWindowText(count, onlyNew));
}

void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) {
    SetTrayHint(TrayHintText(count, time, LocaleTimeSeparator(), wording));
    SetMailWaiting(count > 0);
}

void SetTrayPicture(HICON picture) {
    EnsureTrayIcon();
    Icon->SetIcon(picture);
}

void SetMailWaiting(bool waiting) { SetTrayPicture(waiting ? MailWaiting : NoMail); }

void SetTrayMenu(TPopupMenu* menu) {
    EnsureTrayIcon();
    Icon->SetPopupMenu(menu);
}

void SetTrayClick(TNotifyIcon::TNotifyEvent handler) {
    EnsureTrayIcon();
    Icon->OnClick = std::move(handler);
}

void SetTrayDoubleClick(TNotifyIcon::TNotifyEvent handler) {
    EnsureTrayIcon();
    Icon->OnDblClick = std::move(handler);
}

TNotifyIcon* TrayIcon() { return Icon.get(); }

void DestroyTrayIcon() {
    Icon.reset();
    Paused = false;
}
