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

}  // namespace

TPropertyValues PropertyValuesFrom(const TAppProperties& settings, std::size_t mailbox) {
    TPropertyValues v;
    v.POPServerEB = settings.Mailbox(mailbox).Pop3ServerAddress();
    v.LoginNameEB = settings.Mailbox(mailbox).LoginUsername();
    v.PasswordEB = settings.Mailbox(mailbox).Password();
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
    v.SecureConnectionCombo = settings.Mailbox(mailbox).Security();
    v.SignInCombo = settings.Mailbox(mailbox).SignIn();
    v.WindowsNotificationCB = settings.WindowsNotification();
    v.QuietHoursCB = settings.QuietHours();
    v.QuietFromEB = settings.QuietFrom();
    v.QuietToEB = settings.QuietTo();
    return v;
}

std::optional<TPropertyProblem> FindPropertyProblem(
    const TPropertyValues& v, const std::function<bool(const std::string&)>& fileExists) {
    if (v.RepeatCheckCB) {
        const std::int32_t interval = IntervalToValidate(v.RepeatEveryIntervalEB);
        if (interval < 1 || interval > 9999)
            return TPropertyProblem{"Please specify an interval\r\nin the range 1 - 9999",
                                    ppGeneral, IDC_REPEATEVERYINTERVALEB};
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

bool IsIntervalKey(char c) {
    return (c >= '0' && c <= '9') || c == '\b';
}

std::string QuietTimeToStore(const std::string& text, const std::string& fallback) {
    const int minutes = ParseClockTime(text);
    return minutes < 0 ? fallback : FormatClockTime(minutes);
}

void StoreProperties(TAppProperties& settings, const TPropertyValues& v, std::size_t mailbox) {
    settings.Mailbox(mailbox).SetPop3ServerAddress(v.POPServerEB);
    settings.Mailbox(mailbox).SetLoginUsername(v.LoginNameEB);
    settings.Mailbox(mailbox).SetPassword(v.PasswordEB);
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
    settings.Mailbox(mailbox).SetSecurity(v.SecureConnectionCombo);
    settings.Mailbox(mailbox).SetSignIn(v.SignInCombo);
    settings.SetOnlyNewMail(v.OnlyNewMailCB);
    settings.SetWindowsNotification(v.WindowsNotificationCB);
    settings.SetQuietHours(v.QuietHoursCB);
    settings.SetQuietFrom(QuietTimeToStore(v.QuietFromEB, settings.QuietFrom()));
    settings.SetQuietTo(QuietTimeToStore(v.QuietToEB, settings.QuietTo()));
}
