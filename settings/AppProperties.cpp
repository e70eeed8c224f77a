#include "settings/AppProperties.h"

#include <utility>

namespace {

const char kMailbox[] = "Mailbox";
const char kNotification[] = "Notification";
const char kGeneral[] = "General";

const char kPop3ServerAddress[] = "Pop3 Server Address";
const char kLoginUsername[] = "Login Username";
const char kPassword[] = "Password";
const char kShowMessageWindow[] = "Show Window";
const char kPlaySoundEnabled[] = "Play Sound";
const char kUseDefaultSound[] = "Default Sound";
const char kWaveFilePath[] = "Wave File Path";
const char kStartMailApp[] = "Start Mail App";
const char kMailAppPath[] = "Mail App Path";
const char kMailAppCommandLineParameter[] = "Mail App Command Line Parameter";
const char kRepeatMailCheck[] = "Repeat Mail Check";
const char kRepeatMailInterval[] = "Repeat Mail Interval";
const char kUseDialUpNetworking[] = "Use Dial-up Networking";
const char kSecurity[] = "Security";
const char kSignIn[] = "Sign-in";
const char kOnlyNewMail[] = "Only New Mail";
const char kWindowsNotification[] = "Windows Notification";
const char kQuietHours[] = "Quiet Hours";
const char kQuietFrom[] = "Quiet From";
const char kQuietTo[] = "Quiet To";

}  // namespace

TAppProperties::TAppProperties(std::unique_ptr<TKeyStore> store, const std::string& keyPath,
                               TSettingsEnvironment environment)
    : Registry(std::move(store), keyPath), Environment(std::move(environment)) {
    Put(FPop3ServerAddress, LoadString(kMailbox, kPop3ServerAddress, ""));
    Put(FLoginUsername, LoadString(kMailbox, kLoginUsername, ""));
    LoadPassword();
    FSecurity = SecurityModeOf(Registry.ReadInteger(kMailbox, kSecurity, smNone));
    FSignIn = SignInOf(Registry.ReadInteger(kMailbox, kSignIn, siPassword));

    FShowMessageWindow = Registry.ReadBool(kNotification, kShowMessageWindow, true);
    FPlaySoundEnabled = Registry.ReadBool(kNotification, kPlaySoundEnabled, true);
    FUseDefaultSound = Registry.ReadBool(kNotification, kUseDefaultSound, true);
    Put(FWaveFilePath, LoadString(kNotification, kWaveFilePath, ""));
    FStartMailApp = Registry.ReadBool(kNotification, kStartMailApp, false);
    Put(FMailAppPath, LoadString(kNotification, kMailAppPath, NotSetMarker));
    Put(FMailAppCommandLineParameter, LoadString(kNotification, kMailAppCommandLineParameter, ""));
    LoadMailAppPath();
    FOnlyNewMail = Registry.ReadBool(kNotification, kOnlyNewMail, false);
    FWindowsNotification = Registry.ReadBool(kNotification, kWindowsNotification, false);
    FQuietHours = Registry.ReadBool(kNotification, kQuietHours, false);
    Put(FQuietFrom, LoadString(kNotification, kQuietFrom, kDefaultQuietFrom));
    Put(FQuietTo, LoadString(kNotification, kQuietTo, kDefaultQuietTo));

    FRepeatMailCheck = Registry.ReadBool(kGeneral, kRepeatMailCheck, true);
    FRepeatMailInterval = Registry.ReadInteger(kGeneral, kRepeatMailInterval, 10);
    const bool dialUpDefault = Environment.DialUpAvailable();
    FUseDialUpNetworking = Registry.ReadBool(kGeneral, kUseDialUpNetworking, dialUpDefault);
}

// A string stored with another type must not stop the program at start-up: it reads as its
// default, and the next setter call for it stores a proper value.
std::string TAppProperties::LoadString(const char* section, const char* name,
                                       const char* defaultValue) {
    try {
        return Registry.ReadString(section, name, defaultValue);
    } catch (const ERegistryException&) {
        return defaultValue;
    }
}

// The default mail program is looked for only while "Mail App Path" was never stored; storing
// what was found, even an empty text, ends the search for good.
void TAppProperties::LoadMailAppPath() {
    if (Get(FMailAppPath) != NotSetMarker) return;
    Put(FMailAppPath, Environment.FindDefaultMailProgram());
    try {
        Registry.WriteString(kNotification, kMailAppPath, Get(FMailAppPath));
    } catch (const ERegistryException&) {
        // A settings key that cannot be written must not stop start-up; the search runs again
        // at the next start.
    }
}

std::string TAppProperties::PasswordTarget() const {
    const std::string& path = Registry.BaseKeyPath;
    return path.substr(path.find_last_of('\\') + 1) + ":" + kMailbox;
}

// A plain "Password" from before is read while no credential exists, and goes at the next OK.
void TAppProperties::LoadPassword() {
    if (Environment.ReadSecret) {
        try {
            if (const std::optional<TSecret> stored = Environment.ReadSecret(PasswordTarget())) {
                Put(FPassword, stored->Value());
                return;
            }
        } catch (const Exception&) {
            // A credential store that cannot be read must not stop start-up.
        }
    }
    Put(FPassword, LoadString(kMailbox, kPassword, ""));
}

std::string TAppProperties::Get(const std::string& field) const {
    std::lock_guard<TLock> lock(StringsLock);
    return field;
}

void TAppProperties::Put(std::string& field, std::string value) {
    std::lock_guard<TLock> lock(StringsLock);
    field = std::move(value);
}

void TAppProperties::SetPop3ServerAddress(const std::string& value) {
    Put(FPop3ServerAddress, value);
    Registry.WriteString(kMailbox, kPop3ServerAddress, value);
}

void TAppProperties::SetLoginUsername(const std::string& value) {
    Put(FLoginUsername, value);
    Registry.WriteString(kMailbox, kLoginUsername, value);
}

void TAppProperties::SetPassword(const std::string& value) {
    Put(FPassword, value);
    if (Environment.WriteSecret) {
        try {
            Environment.WriteSecret(PasswordTarget(), LoginUsername(), TSecret(value));
            Registry.DeleteValue(kMailbox, kPassword);
            return;
        } catch (const ERegistryException&) {
            throw;
        } catch (const Exception&) {
            // No credential store to be had: the registry, as the settings always were.
        }
    }
    Registry.WriteString(kMailbox, kPassword, value);
}

void TAppProperties::SetOnlyNewMail(bool value) {
    FOnlyNewMail = value;
    Registry.WriteBool(kNotification, kOnlyNewMail, value);
}

void TAppProperties::SetShowMessageWindow(bool value) {
    FShowMessageWindow = value;
    Registry.WriteBool(kNotification, kShowMessageWindow, value);
}

void TAppProperties::SetPlaySoundEnabled(bool value) {
    FPlaySoundEnabled = value;
    Registry.WriteBool(kNotification, kPlaySoundEnabled, value);
}

void TAppProperties::SetUseDefaultSound(bool value) {
    FUseDefaultSound = value;
    Registry.WriteBool(kNotification, kUseDefaultSound, value);
}

void TAppProperties::SetWaveFilePath(const std::string& value) {
    Put(FWaveFilePath, value);
    Registry.WriteString(kNotification, kWaveFilePath, value);
}

void TAppProperties::SetStartMailApp(bool value) {
    FStartMailApp = value;
    Registry.WriteBool(kNotification, kStartMailApp, value);
}

void TAppProperties::SetMailAppPath(const std::string& value) {
    Put(FMailAppPath, value);
    Registry.WriteString(kNotification, kMailAppPath, value);
}

void TAppProperties::SetMailAppCommandLineParameter(const std::string& value) {
    Put(FMailAppCommandLineParameter, value);
    Registry.WriteString(kNotification, kMailAppCommandLineParameter, value);
}

void TAppProperties::SetRepeatMailCheck(bool value) {
    FRepeatMailCheck = value;
    Registry.WriteBool(kGeneral, kRepeatMailCheck, value);
}

void TAppProperties::SetRepeatMailInterval(std::int32_t value) {
    FRepeatMailInterval = value;
    Registry.WriteInteger(kGeneral, kRepeatMailInterval, value);
}

void TAppProperties::SetUseDialUpNetworking(bool value) {
    FUseDialUpNetworking = value;
    Registry.WriteBool(kGeneral, kUseDialUpNetworking, value);
}

void TAppProperties::SetSecurity(TSecurityMode value) {
    FSecurity = value;
    Registry.WriteInteger(kMailbox, kSecurity, value);
}

void TAppProperties::SetSignIn(TSignIn value) {
    FSignIn = value;
    Registry.WriteInteger(kMailbox, kSignIn, value);
}

void TAppProperties::SetWindowsNotification(bool value) {
    FWindowsNotification = value;
    Registry.WriteBool(kNotification, kWindowsNotification, value);
}

void TAppProperties::SetQuietHours(bool value) {
    FQuietHours = value;
    Registry.WriteBool(kNotification, kQuietHours, value);
}

void TAppProperties::SetQuietFrom(const std::string& value) {
    Put(FQuietFrom, value);
    Registry.WriteString(kNotification, kQuietFrom, value);
}

void TAppProperties::SetQuietTo(const std::string& value) {
    Put(FQuietTo, value);
    Registry.WriteString(kNotification, kQuietTo, value);
}

bool TAppProperties::SettingsComplete() const {
    if (IsAccountSignIn(FSignIn)) {
        {
            std::lock_guard<TLock> lock(StringsLock);
            if (FPop3ServerAddress.empty() || FLoginUsername.empty()) return false;
        }
        return Environment.ReadSecret && Environment.ReadSecret(AccountTarget()).has_value();
    }
    std::lock_guard<TLock> lock(StringsLock);
    return !FPop3ServerAddress.empty() && !FLoginUsername.empty() && !FPassword.empty();
}

std::string TAppProperties::MailboxString(const std::string& name) {
    try {
        return Registry.ReadString(kMailbox, name.c_str(), "");
    } catch (const ERegistryException&) {
        return {};
    }
}

bool TAppProperties::MailAppExists() const {
    const std::string path = MailAppPath();
    return !path.empty() && Environment.FileExists(path);
}
