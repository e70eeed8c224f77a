#include "settings/MailboxSettings.h"

#include <limits>
#include <utility>

namespace {

const char kName[] = "Name";
const char kPop3ServerAddress[] = "Pop3 Server Address";
const char kLoginUsername[] = "Login Username";
const char kPassword[] = "Password";
const char kSecurity[] = "Security";
const char kSignIn[] = "Sign-in";
const char kRepeatMailInterval[] = "Repeat Mail Interval";

// No interval of its own: what a read of an absent value gives, and no setter writes.
constexpr std::int32_t kNoInterval = std::numeric_limits<std::int32_t>::min();

}  // namespace

TMailboxSettings::TMailboxSettings(TBMRegistry& registry, const TSettingsEnvironment& environment,
                                   std::string section)
    : Registry(registry), Environment(environment), FSection(std::move(section)) {}

void TMailboxSettings::Load() {
    Put(FName, MailboxString(kName));
    Put(FPop3ServerAddress, MailboxString(kPop3ServerAddress));
    Put(FLoginUsername, MailboxString(kLoginUsername));
    LoadPassword();
    FSecurity = SecurityModeOf(Registry.ReadInteger(FSection.c_str(), kSecurity, smNone));
    FSignIn = SignInOf(Registry.ReadInteger(FSection.c_str(), kSignIn, siPassword));
    const std::int32_t interval =
        Registry.ReadInteger(FSection.c_str(), kRepeatMailInterval, kNoInterval);
    std::lock_guard<TLock> lock(StringsLock);
    FOwnInterval.reset();
    if (interval != kNoInterval) FOwnInterval = interval;
}

// A plain "Password" from before is read while no credential exists, and goes at the next OK.
void TMailboxSettings::LoadPassword() {
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
    Put(FPassword, MailboxString(kPassword));
}

std::string TMailboxSettings::TargetOf(const TBMRegistry& registry, const std::string& section) {
    const std::string& path = registry.BaseKeyPath;
    return path.substr(path.find_last_of('\\') + 1) + ":" + section;
}

std::string TMailboxSettings::Get(const std::string& field) const {
    std::lock_guard<TLock> lock(StringsLock);
    return field;
}

void TMailboxSettings::Put(std::string& field, std::string value) {
    std::lock_guard<TLock> lock(StringsLock);
    field = std::move(value);
}

std::string TMailboxSettings::Title() const {
    std::lock_guard<TLock> lock(StringsLock);
    return FName.empty() ? FLoginUsername + "@" + FPop3ServerAddress : FName;
}

std::optional<std::int32_t> TMailboxSettings::OwnInterval() const {
    std::lock_guard<TLock> lock(StringsLock);
    return FOwnInterval;
}

void TMailboxSettings::SetName(const std::string& value) {
    Put(FName, value);
    if (value.empty())
        Registry.DeleteValue(FSection.c_str(), kName);
    else
        Registry.WriteString(FSection.c_str(), kName, value);
}

void TMailboxSettings::SetPop3ServerAddress(const std::string& value) {
    Put(FPop3ServerAddress, value);
    Registry.WriteString(FSection.c_str(), kPop3ServerAddress, value);
}

void TMailboxSettings::SetLoginUsername(const std::string& value) {
    Put(FLoginUsername, value);
    Registry.WriteString(FSection.c_str(), kLoginUsername, value);
}

void TMailboxSettings::SetPassword(const std::string& value) {
    Put(FPassword, value);
    if (Environment.WriteSecret) {
        try {
            Environment.WriteSecret(PasswordTarget(), LoginUsername(), TSecret(value));
            Registry.DeleteValue(FSection.c_str(), kPassword);
            return;
        } catch (const ERegistryException&) {
            throw;
        } catch (const Exception&) {
            // No credential store to be had: the registry, as the settings always were.
        }
    }
    Registry.WriteString(FSection.c_str(), kPassword, value);
}

void TMailboxSettings::SetSecurity(TSecurityMode value) {
    FSecurity = value;
    Registry.WriteInteger(FSection.c_str(), kSecurity, value);
}

void TMailboxSettings::SetSignIn(TSignIn value) {
    FSignIn = value;
    Registry.WriteInteger(FSection.c_str(), kSignIn, value);
}

void TMailboxSettings::SetOwnInterval(std::optional<std::int32_t> minutes) {
    {
        std::lock_guard<TLock> lock(StringsLock);
        FOwnInterval = minutes;
    }
    if (minutes)
        Registry.WriteInteger(FSection.c_str(), kRepeatMailInterval, *minutes);
    else
        Registry.DeleteValue(FSection.c_str(), kRepeatMailInterval);
}

bool TMailboxSettings::SettingsComplete() const {
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

std::string TMailboxSettings::MailboxString(const char* name) {
    return Registry.ReadStringOrDefault(FSection.c_str(), name, "");
}
