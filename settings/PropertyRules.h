#pragma once
// What the Properties dialog does with its values, apart from the windows: filling them from the
// settings, the tests of OK in their order, and writing them back through the setters.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mailbase/SecurityMode.h"
#include "settings/SignIn.h"

class TAppProperties;

// The pages of the Properties dialog, in tab order.
enum TPropertyPage { ppGeneral = 0, ppMailbox = 1, ppNotification = 2 };

// One mailbox as the Mailbox page holds it until OK, named after the page's controls.
struct TMailboxValues {
    int Stored = -1;  // its index among the stored mailboxes; -1 until OK adds it
    std::string NameEB, POPServerEB, LoginNameEB, PasswordEB;
    std::string IntervalEB;                        // empty: the General interval
    TSecurityMode SecureConnectionCombo = smNone;  // the item chosen, in the order of the modes
    TSignIn SignInCombo = siPassword;              // likewise, in the order of the sign-ins
};

// The values of the dialog's controls that map to settings, named after the controls.
struct TPropertyValues {
    std::vector<TMailboxValues> Mailboxes;  // in the order of the list, at least one
    bool ShowDialogCB = false;
    bool PlaySoundCB = false;
    bool WinSoundRB = false;  // else WavFileRB
    std::string WaveFileEB;
    bool LaunchMailAppCB = false;
    std::string MailAppEB, MailAppCommandLineEB;
    bool RepeatCheckCB = false;
    std::string RepeatEveryIntervalEB;
    bool UseDUNRB = false;  // else DirectRB
    bool OnlyNewMailCB = false;
    bool WindowsNotificationCB = false;
    bool QuietHoursCB = false;
    std::string QuietFromEB, QuietToEB;
};

// A failed test of OK: the message, the page to show and the control to focus.
struct TPropertyProblem {
    std::string Message;
    TPropertyPage Page;
    int Control;       // a control identifier of resource.h
    int Mailbox = -1;  // the mailbox of the list to select first, for a control of the Mailbox page
};

TPropertyValues PropertyValuesFrom(const TAppProperties& settings);

// What the list calls a mailbox: its name, else "<login name>@<server>"; empty while it has
// neither.
std::string MailboxTitle(const TMailboxValues& mailbox);

// The first failing test, or none. The server, user name and password are not tested; a
// mailbox's own interval, when given, as the General one and right after it; the quiet hours'
// times only while the box is ticked, after the mail program.
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

// A mailbox's own interval as it is stored: none when empty or out of the range 1 - 9999 (the
// test of OK lets that through only while the mail check does not repeat).
std::optional<std::int32_t> OwnIntervalToStore(const std::string& text);

// Adds the mailboxes added in the dialog and removes those removed from it (each one's Stored
// follows, so that a second OK after a failure does not do it again); then calls the fifteen
// setters of the first settings and the first mailbox's sign-in, name and interval in their fixed
// order, those of the notification balloon and the quiet hours, and then each further mailbox's
// setters in the same order. Each writes its value, changed or not. A setter's error ends the
// sequence: the values before it are stored, those after it are not.
void StoreProperties(TAppProperties& settings, TPropertyValues& values);
