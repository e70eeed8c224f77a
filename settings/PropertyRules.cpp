#include "settings/PropertyRules.h"

#include "framework/Convert.h"
#include "framework/Exception.h"
#include "resources/resource.h"
#include "settings/AppProperties.h"
#include "settings/QuietHours.h"

namespace {

std::int32_t IntervalOr(const std::string& text, std::int32_t fallback) {
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

bool InIntervalRange(std::int32_t minutes) {
    return minutes >= 1 && minutes <= 9999;
}

// Server, login name and password: the first of the mailbox's setters.
void StoreLogin(TMailboxSettings& stored, const TMailboxValues& m) {
    stored.SetPop3ServerAddress(m.POPServerEB);
    stored.SetLoginUsername(m.LoginNameEB);
    stored.SetPassword(m.PasswordEB);
}

void StoreConnection(TMailboxSettings& stored, const TMailboxValues& m) {
    stored.SetSecurity(m.SecureConnectionCombo);
    stored.SetSignIn(m.SignInCombo);
    stored.SetName(m.NameEB);
    stored.SetOwnInterval(OwnIntervalToStore(m.IntervalEB));
}

// Added first, then removed from the last to the first: removing first could not remove the
// only stored mailbox where the user put a new one in its place.
void StoreMailboxList(TAppProperties& settings, std::vector<TMailboxValues>& mailboxes) {
    for (TMailboxValues& m : mailboxes) {
        if (m.Stored >= 0) continue;
        settings.AddMailbox();
        m.Stored = static_cast<int>(settings.MailboxCount()) - 1;
    }
    for (int gone = static_cast<int>(settings.MailboxCount()) - 1; gone >= 0; --gone) {
        bool kept = false;
        for (const TMailboxValues& m : mailboxes) kept = kept || m.Stored == gone;
        if (kept) continue;
        settings.RemoveMailbox(gone);
        for (TMailboxValues& m : mailboxes)
            if (m.Stored > gone) --m.Stored;
    }
}

}  // namespace

TPropertyValues PropertyValuesFrom(const TAppProperties& settings) {
    TPropertyValues v;
    v.Mailboxes.resize(settings.MailboxCount());
    for (std::size_t i = 0; i < v.Mailboxes.size(); ++i) {
        const TMailboxSettings& stored = settings.Mailbox(i);
        TMailboxValues& m = v.Mailboxes[i];
        m.Stored = static_cast<int>(i);
        m.NameEB = stored.Name();
        m.POPServerEB = stored.Pop3ServerAddress();
        m.LoginNameEB = stored.LoginUsername();
        m.PasswordEB = stored.Password();
        if (const std::optional<std::int32_t> own = stored.OwnInterval())
            m.IntervalEB = std::to_string(*own);
        m.SecureConnectionCombo = stored.Security();
        m.SignInCombo = stored.SignIn();
    }
    v.ShowDialogCB = settings.ShowMessageWindow();
    v.OnlyNewMailCB = settings.OnlyNewMail();
    v.WinSoundRB = settings.UseDefaultSound();
    v.WaveFileEB = settings.WaveFilePath();
    v.PlaySoundCB = settings.PlaySoundEnabled();
    v.LaunchMailAppCB = settings.StartMailApp();
    v.MailAppEB = settings.MailAppPath();
    v.MailAppCommandLineEB = settings.MailAppCommandLineParameter();
    v.RepeatCheckCB = settings.RepeatMailCheck();
    v.RepeatEveryIntervalEB = std::to_string(settings.RepeatMailInterval());
    v.UseDUNRB = settings.UseDialUpNetworking();
    v.WindowsNotificationCB = settings.WindowsNotification();
    v.QuietHoursCB = settings.QuietHours();
    v.QuietFromEB = settings.QuietFrom();
    v.QuietToEB = settings.QuietTo();
    return v;
}

std::string MailboxTitle(const TMailboxValues& m) {
    if (!m.NameEB.empty() || (m.LoginNameEB.empty() && m.POPServerEB.empty())) return m.NameEB;
    return m.LoginNameEB + '@' + m.POPServerEB;
}

std::optional<TPropertyProblem> FindPropertyProblem(
    const TPropertyValues& v, const std::function<bool(const std::string&)>& fileExists) {
    if (v.RepeatCheckCB) {
        const char* const message = "Please specify an interval\r\nin the range 1 - 9999";
        if (!InIntervalRange(IntervalToValidate(v.RepeatEveryIntervalEB)))
            return TPropertyProblem{message, ppGeneral, IDC_REPEATEVERYINTERVALEB};
        for (std::size_t i = 0; i < v.Mailboxes.size(); ++i) {
            const std::string& own = v.Mailboxes[i].IntervalEB;
            if (!own.empty() && !InIntervalRange(IntervalToValidate(own)))
                return TPropertyProblem{message, ppMailbox, IDC_MAILBOXINTERVALEB,
                                        static_cast<int>(i)};
        }
    }
    if (v.PlaySoundCB && !v.WinSoundRB && !fileExists(v.WaveFileEB)) {
        return TPropertyProblem{v.WaveFileEB.empty()
                                    ? "Please specify a wave file."
                                    : "Cannot locate wave file.\r\nPlease check path.",
                                ppNotification, IDC_WAVEFILEEB};
    }
    if (v.LaunchMailAppCB && !fileExists(v.MailAppEB)) {
        return TPropertyProblem{v.MailAppEB.empty()
                                    ? "Please specify a mail application."
                                    : "Cannot locate mail application.\r\nPlease check path.",
                                ppNotification, IDC_MAILAPPEB};
    }
    if (v.QuietHoursCB) {
        for (const auto& [text, control] :
             {std::pair{&v.QuietFromEB, IDC_QUIETFROMEB}, std::pair{&v.QuietToEB, IDC_QUIETTOEB}}) {
            if (ParseClockTime(*text) < 0)
                return TPropertyProblem{"Please specify the quiet hours\r\nas times from 00:00 to 23:59",
                                        ppNotification, control};
        }
    }
    return std::nullopt;
}

std::int32_t IntervalToValidate(const std::string& text) {
    return IntervalOr(text, -1);
}

std::int32_t IntervalToStore(const std::string& text) {
    return IntervalOr(text, 10);
}

std::optional<std::int32_t> OwnIntervalToStore(const std::string& text) {
    const std::int32_t interval = IntervalToValidate(text);
    return InIntervalRange(interval) ? std::optional<std::int32_t>(interval) : std::nullopt;
}

bool IsIntervalKey(char c) {
    return (c >= '0' && c <= '9') || c == '\b';
}

std::string QuietTimeToStore(const std::string& text, const std::string& fallback) {
    const int minutes = ParseClockTime(text);
    return minutes < 0 ? fallback : FormatClockTime(minutes);
}

void StoreProperties(TAppProperties& settings, TPropertyValues& v) {
    StoreMailboxList(settings, v.Mailboxes);
    TMailboxSettings& first = settings.Mailbox(v.Mailboxes[0].Stored);
    StoreLogin(first, v.Mailboxes[0]);
    settings.SetShowMessageWindow(v.ShowDialogCB);
    settings.SetPlaySoundEnabled(v.PlaySoundCB);
    settings.SetUseDefaultSound(v.WinSoundRB);
    settings.SetWaveFilePath(v.WaveFileEB);
    settings.SetStartMailApp(v.LaunchMailAppCB);
    settings.SetMailAppPath(v.MailAppEB);
    settings.SetMailAppCommandLineParameter(v.MailAppCommandLineEB);
    settings.SetRepeatMailCheck(v.RepeatCheckCB);
    settings.SetRepeatMailInterval(IntervalToStore(v.RepeatEveryIntervalEB));
    settings.SetUseDialUpNetworking(v.UseDUNRB);
    StoreConnection(first, v.Mailboxes[0]);
    settings.SetOnlyNewMail(v.OnlyNewMailCB);
    settings.SetWindowsNotification(v.WindowsNotificationCB);
    settings.SetQuietHours(v.QuietHoursCB);
    settings.SetQuietFrom(QuietTimeToStore(v.QuietFromEB, settings.QuietFrom()));
    settings.SetQuietTo(QuietTimeToStore(v.QuietToEB, settings.QuietTo()));
    for (std::size_t i = 1; i < v.Mailboxes.size(); ++i) {
        TMailboxSettings& further = settings.Mailbox(v.Mailboxes[i].Stored);
        StoreLogin(further, v.Mailboxes[i]);
        StoreConnection(further, v.Mailboxes[i]);
    }
}
