#pragma once
// The user's settings: read from the settings key once, at construction, then served from memory;
// each setter assigns its field and writes that one value at once.
//
// The setters run on the user-interface thread only; the getters may run on any thread. A string
// read while the user-interface thread replaces it is the old or the new text, whole.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "framework/Lock.h"
#include "framework/Secret.h"
#include "mailbase/SecurityMode.h"
#include "settings/BMRegistry.h"
#include "settings/SignIn.h"

// What the settings take from the rest of the system.
struct TSettingsEnvironment {
    // Whether the dial-up library is loaded; the default of UseDialUpNetworking.
    std::function<bool()> DialUpAvailable;
    // The user's default mail program, or empty; asked once, while "Mail App Path" was never
    // stored.
    std::function<std::string()> FindDefaultMailProgram;
    // Whether a file exists at the path; behind MailAppExists.
    std::function<bool(const std::string&)> FileExists;
    // The user's credential store, by target name; without it the password stays in the
    // registry. Reading finds nothing where nothing is stored; writing raises Exception when
    // the store refuses.
    std::function<std::optional<TSecret>(const std::string& target)> ReadSecret;
    std::function<void(const std::string& target, const std::string& user, const TSecret& secret)>
        WriteSecret;
};

class TAppProperties {
public:
    // The default of "Mail App Path" while the load reads it: three characters no path can hold,
    // so a value never stored is told apart from one stored empty.
    static constexpr const char* NotSetMarker = "\x01\x02\x03";
    // The quiet hours offered until the user sets others: the night.
    static constexpr const char* kDefaultQuietFrom = "22:00";
    static constexpr const char* kDefaultQuietTo = "07:00";

    // Loads every setting from the key at keyPath (created when missing). A value of the wrong
    // type takes its default and the load goes on; nothing else is checked.
    TAppProperties(std::unique_ptr<TKeyStore> store, const std::string& keyPath,
                   TSettingsEnvironment environment);
    TAppProperties(const TAppProperties&) = delete;
    TAppProperties& operator=(const TAppProperties&) = delete;

    std::string Pop3ServerAddress() const { return Get(FPop3ServerAddress); }
    std::string LoginUsername() const { return Get(FLoginUsername); }
    std::string Password() const { return Get(FPassword); }
    bool ShowMessageWindow() const { return FShowMessageWindow; }
    bool PlaySoundEnabled() const { return FPlaySoundEnabled; }
    bool UseDefaultSound() const { return FUseDefaultSound; }
    std::string WaveFilePath() const { return Get(FWaveFilePath); }
    bool StartMailApp() const { return FStartMailApp; }
    std::string MailAppPath() const { return Get(FMailAppPath); }
    std::string MailAppCommandLineParameter() const { return Get(FMailAppCommandLineParameter); }
    bool RepeatMailCheck() const { return FRepeatMailCheck; }
    std::int32_t RepeatMailInterval() const { return FRepeatMailInterval; }  // minutes
    bool UseDialUpNetworking() const { return FUseDialUpNetworking; }
    // Stored in the Mailbox section as "Security"; absent, of another type or out of range: none.
    TSecurityMode Security() const { return FSecurity; }
    // Stored in the Mailbox section as "Sign-in"; absent, of another type or out of range: the
    // password.
    TSignIn SignIn() const { return FSignIn; }
    // Where the password is kept in the credential store: the settings key's own name and the
    // section's, "Larkspur:Mailbox".
    std::string PasswordTarget() const;
    // Where a signed-in account's refresh token is kept: "Larkspur:Mailbox:Account".
    std::string AccountTarget() const { return PasswordTarget() + ":Account"; }
    // A string of the Mailbox section that no setter writes (the account sign-in's "OAuth ..."
    // values), read from the registry as it is now; empty when absent or of another type.
    std::string MailboxString(const std::string& name);
    // "Only New Mail" in the Notification section: tell only of mail not told about before.
    bool OnlyNewMail() const { return FOnlyNewMail; }
    // In the Notification section: "Windows Notification" (off by default) shows a balloon
    // instead of the message window; "Quiet Hours" with "Quiet From" and "Quiet To" as "HH:MM".
    bool WindowsNotification() const { return FWindowsNotification; }
    bool QuietHours() const { return FQuietHours; }
    std::string QuietFrom() const { return Get(FQuietFrom); }
    std::string QuietTo() const { return Get(FQuietTo); }

    // Each setter writes even an unchanged value. A failed write raises ERegistryException for
    // strings and for a section that cannot be created, and is ignored otherwise; the field
    // keeps the new value either way.
    void SetPop3ServerAddress(const std::string& value);
    void SetLoginUsername(const std::string& value);
    void SetShowMessageWindow(bool value);
    void SetPlaySoundEnabled(bool value);
    void SetUseDefaultSound(bool value);
    void SetWaveFilePath(const std::string& value);
    void SetStartMailApp(bool value);
    void SetMailAppPath(const std::string& value);
    void SetMailAppCommandLineParameter(const std::string& value);
    void SetRepeatMailCheck(bool value);
    void SetRepeatMailInterval(std::int32_t value);
    void SetUseDialUpNetworking(bool value);
    void SetSecurity(TSecurityMode value);
    // Into the credential store, under PasswordTarget with the login name as its user; once it
    // is there the plain "Password" value goes. Where the store refuses, the password is kept
    // in the registry as before rather than lost.
    void SetPassword(const std::string& value);
    void SetSignIn(TSignIn value);
    void SetOnlyNewMail(bool value);
    void SetWindowsNotification(bool value);
    void SetQuietHours(bool value);
    void SetQuietFrom(const std::string& value);
    void SetQuietTo(const std::string& value);

    // Server, user name and password are all non-empty (a blank counts); for an account
    // sign-in, an account is signed in (its refresh token is stored) in place of the password.
    bool SettingsComplete() const;
    // A file exists at MailAppPath.
    bool MailAppExists() const;

private:
    std::string Get(const std::string& field) const;
    void Put(std::string& field, std::string value);
    void LoadMailAppPath();
    void LoadPassword();
    std::string LoadString(const char* section, const char* name, const char* defaultValue);

    TBMRegistry Registry;
    TSettingsEnvironment Environment;

    mutable TLock StringsLock;  // guards the string fields
    std::string FPop3ServerAddress;
    std::string FLoginUsername;
    std::string FPassword;
    std::atomic<bool> FShowMessageWindow{true};
    std::atomic<bool> FPlaySoundEnabled{true};
    std::atomic<bool> FUseDefaultSound{true};
    std::string FWaveFilePath;
    std::atomic<bool> FStartMailApp{false};
    std::string FMailAppPath;
    std::string FMailAppCommandLineParameter;
    std::atomic<bool> FRepeatMailCheck{true};
    std::atomic<std::int32_t> FRepeatMailInterval{10};
    std::atomic<bool> FUseDialUpNetworking{false};
    std::atomic<TSecurityMode> FSecurity{smNone};
    std::atomic<TSignIn> FSignIn{siPassword};
    std::atomic<bool> FOnlyNewMail{false};
    std::atomic<bool> FWindowsNotification{false};
    std::atomic<bool> FQuietHours{false};
    std::string FQuietFrom;
    std::string FQuietTo;
};
