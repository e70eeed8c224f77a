#pragma once
// One mailbox's settings: the "Mailbox" section for the first mailbox, "Mailbox 2", "Mailbox 3",
// ... for the others, all with the same value names. Read once, then served from memory; each
// setter assigns its field and writes that one value at once.
//
// The setters run on the user-interface thread only; the getters may run on any thread.

#include <atomic>
#include <cstdint>
#include <functional>
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
    // Gives target what source holds (removing it where source holds nothing) and removes a
    // credential, for the renumbering of mailboxes; both raise Exception when the store refuses.
    std::function<void(const std::string& source, const std::string& target)> CopySecret;
    std::function<void(const std::string& target)> DeleteSecret;
};

class TMailboxSettings {
public:
    TMailboxSettings(TBMRegistry& registry, const TSettingsEnvironment& environment,
                     std::string section);
    TMailboxSettings(const TMailboxSettings&) = delete;
    TMailboxSettings& operator=(const TMailboxSettings&) = delete;

    // Changes only when a mailbox before it is removed, on the user-interface thread.
    const std::string& Section() const { return FSection; }
    // "Name": what the user calls the mailbox; may be empty.
    std::string Name() const { return Get(FName); }
    // The name, or "<login name>@<server>" when none is stored.
    std::string Title() const;
    std::string Pop3ServerAddress() const { return Get(FPop3ServerAddress); }
    std::string LoginUsername() const { return Get(FLoginUsername); }
    std::string Password() const { return Get(FPassword); }
    // "Security"; absent, of another type or out of range: none.
    TSecurityMode Security() const { return FSecurity; }
    // "Sign-in"; absent, of another type or out of range: the password.
    TSignIn SignIn() const { return FSignIn; }
    // Where the password is kept in the credential store: the settings key's own name and the
    // section's, "Larkspur:Mailbox", "Larkspur:Mailbox 2", ...
    std::string PasswordTarget() const { return TargetOf(Registry, FSection); }
    // Where a signed-in account's refresh token is kept: "Larkspur:Mailbox:Account".
    std::string AccountTarget() const { return PasswordTarget() + ":Account"; }
    static std::string TargetOf(const TBMRegistry& registry, const std::string& section);
    // A string of the section as the registry holds it now (the account sign-in's "OAuth ..."
    // values, which no setter writes); empty when absent or of another type.
    std::string MailboxString(const char* name);
    // "Repeat Mail Interval" in the mailbox's own section (minutes), or none.
    std::optional<std::int32_t> OwnInterval() const;
    // Server, user name and password are all non-empty (a blank counts); for an account
    // sign-in, an account is signed in (its refresh token is stored) in place of the password.
    bool SettingsComplete() const;

    // As the general setters: a string write that fails raises ERegistryException, as does a
    // section that cannot be created; the field keeps the new value either way.
    void SetName(const std::string& value);  // empty removes the value
    void SetPop3ServerAddress(const std::string& value);
    void SetLoginUsername(const std::string& value);
    // Into the credential store, under PasswordTarget with the login name as its user; once it
    // is there the plain "Password" value goes. Where the store refuses, the password is kept
    // in the registry as before rather than lost.
    void SetPassword(const std::string& value);
    void SetSecurity(TSecurityMode value);
    void SetSignIn(TSignIn value);
    void SetOwnInterval(std::optional<std::int32_t> minutes);  // none removes the value

private:
    friend class TAppProperties;
    void Load();
    void LoadPassword();
    std::string Get(const std::string& field) const;
    void Put(std::string& field, std::string value);

    TBMRegistry& Registry;
    const TSettingsEnvironment& Environment;
    std::string FSection;

    mutable TLock StringsLock;  // guards the string fields and the own interval
    std::string FName;
    std::string FPop3ServerAddress;
    std::string FLoginUsername;
    std::string FPassword;
    std::optional<std::int32_t> FOwnInterval;
    std::atomic<TSecurityMode> FSecurity{smNone};
    std::atomic<TSignIn> FSignIn{siPassword};
};
