#pragma once
// What the Properties dialog does with its values, apart from the windows: filling them from the
// settings, the tests of OK in their order, and writing them back through the setters.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "mailbase/SecurityMode.h"
#include "settings/SignIn.h"

class TAppProperties;

// The pages of the Properties dialog, in tab order.
enum TPropertyPage { ppGeneral = 0, ppMailbox = 1, ppNotification = 2 };

// The values of the dialog's controls that map to settings, named after the controls.
struct TPropertyValues {
    std::string POPServerEB, LoginNameEB, PasswordEB;
    bool ShowDialogCB = false;
    bool PlaySoundCB = false;
    bool WinSoundRB = false;  // else WavFileRB
    std::string WaveFileEB;
    bool LaunchMailAppCB = false;
    std::string MailAppEB, MailAppCommandLineEB;
    bool RepeatCheckCB = false;
    std::string RepeatEveryIntervalEB;
    bool UseDUNRB = false;                         // else DirectRB
    TSecurityMode SecureConnectionCombo = smNone;  // the item chosen, in the order of the modes
    TSignIn SignInCombo = siPassword;              // likewise, in the order of the sign-ins
    bool OnlyNewMailCB = false;
    bool WindowsNotificationCB = false;
    bool QuietHoursCB = false;
    std::string QuietFromEB, QuietToEB;
};

// A failed test of OK: the message, the page to show and the control to focus.
struct TPropertyProblem {
    std::string Message;
    TPropertyPage Page;
    int Control;  // a control identifier of resource.h
};

// The mailbox fields are those of the mailbox at this index.
TPropertyValues PropertyValuesFrom(const TAppProperties& settings, std::size_t mailbox = 0);

// The first failing test, or none. The server, user name and password are not tested; the
// quiet hours' times only while the box is ticked, after the mail program.
std::optional<TPropertyProblem> FindPropertyProblem(
    const TPropertyValues& values, const std::function<bool(const std::string&)>& fileExists);

// The interval edit's text as the test of OK reads it: -1 when it is not an integer.
std::int32_t IntervalToValidate(const std::string& text);
// The interval edit's text as it is stored: 10 when it is not an integer.
std::int32_t IntervalToStore(const std::string& text);

// Whether a character typed into the interval edit reaches it: digits and backspace only.
bool IsIntervalKey(char c);
constexpr int kIntervalMaxLength = 4;

// A quiet hours' time as it is stored: "HH:MM", or the fallback for text that is no time.
std::string QuietTimeToStore(const std::string& text, const std::string& fallback);
constexpr int kQuietTimeMaxLength = 5;

// Calls the fifteen setters of the first settings and the sign-in in their fixed order, then
// those of the notification balloon and the quiet hours, each writing its value, changed or not. A setter's
// error ends the sequence: the values before it are stored, those after it are not.
void StoreProperties(TAppProperties& settings, const TPropertyValues& values,
                     std::size_t mailbox = 0);
