#include "settings/AppProperties.h"

#include <utility>

namespace {

const char kMailbox[] = "Mailbox";
const char kNotification[] = "Notification";
const char kGeneral[] = "General";

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
const char kOnlyNewMail[] = "Only New Mail";
const char kWindowsNotification[] = "Windows Notification";
const char kQuietHours[] = "Quiet Hours";
const char kQuietFrom[] = "Quiet From";
const char kQuietTo[] = "Quiet To";
// In the General section while a mailbox is being removed: the number of the section that the
// list leaves out ("Mailbox" is 1, "Mailbox 2" is 2, ...).
const char kRemovingMailbox[] = "Removing Mailbox";
const char* const kSecretSuffixes[] = {"", ":Account"};

std::string SectionName(std::size_t index) {
    return index == 0 ? kMailbox : kMailbox + (" " + std::to_string(index + 1));
}

}  // namespace

TAppProperties::TAppProperties(std::unique_ptr<TKeyStore> store, const std::string& keyPath,
                               TSettingsEnvironment environment)
    : Registry(std::move(store), keyPath), Environment(std::move(environment)) {
    try {
        FinishRemoval();
    } catch (const Exception&) {
        // The list is whole all the same; the next change of it tries again.
    }
    for (std::string& section : MailboxSections()) {
        FMailboxes.push_back(
            std::make_unique<TMailboxSettings>(Registry, Environment, std::move(section)));
        FMailboxes.back()->Load();
    }

    FShowMessageWindow = Registry.ReadBool(kNotification, kShowMessageWindow, true);
    FPlaySoundEnabled = Registry.ReadBool(kNotification, kPlaySoundEnabled, true);
    FUseDefaultSound = Registry.ReadBool(kNotification, kUseDefaultSound, true);
    Put(FWaveFilePath, Registry.ReadStringOrDefault(kNotification, kWaveFilePath, ""));
    FStartMailApp = Registry.ReadBool(kNotification, kStartMailApp, false);
    Put(FMailAppPath, Registry.ReadStringOrDefault(kNotification, kMailAppPath, NotSetMarker));
    Put(FMailAppCommandLineParameter,
        Registry.ReadStringOrDefault(kNotification, kMailAppCommandLineParameter, ""));
    LoadMailAppPath();
    FOnlyNewMail = Registry.ReadBool(kNotification, kOnlyNewMail, false);
    FWindowsNotification = Registry.ReadBool(kNotification, kWindowsNotification, false);
    FQuietHours = Registry.ReadBool(kNotification, kQuietHours, false);
    Put(FQuietFrom, Registry.ReadStringOrDefault(kNotification, kQuietFrom, kDefaultQuietFrom));
    Put(FQuietTo, Registry.ReadStringOrDefault(kNotification, kQuietTo, kDefaultQuietTo));

    FRepeatMailCheck = Registry.ReadBool(kGeneral, kRepeatMailCheck, true);
    FRepeatMailInterval = Registry.ReadInteger(kGeneral, kRepeatMailInterval, 10);
    const bool dialUpDefault = Environment.DialUpAvailable();
    FUseDialUpNetworking = Registry.ReadBool(kGeneral, kUseDialUpNetworking, dialUpDefault);
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

std::string TAppProperties::Get(const std::string& field) const {
    std::lock_guard<TLock> lock(StringsLock);
    return field;
}

void TAppProperties::Put(std::string& field, std::string value) {
    std::lock_guard<TLock> lock(StringsLock);
    field = std::move(value);
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

bool TAppProperties::MailAppExists() const {
    const std::string path = MailAppPath();
    return !path.empty() && Environment.FileExists(path);
}

std::int32_t TAppProperties::IntervalOf(std::size_t index) const {
    return Mailbox(index).OwnInterval().value_or(RepeatMailInterval());
}

std::vector<std::string> TAppProperties::MailboxSections() {
    std::vector<std::string> sections{kMailbox};
    while (Registry.SectionExists(SectionName(sections.size()).c_str()))
        sections.push_back(SectionName(sections.size()));
    const std::int32_t removing = Registry.ReadInteger(kGeneral, kRemovingMailbox, 0);
    if (sections.size() > 1 && removing >= 1 &&
        static_cast<std::size_t>(removing) <= sections.size())
        sections.erase(sections.begin() + (removing - 1));
    return sections;
}

// The list leaves out the marked section. Each mailbox after it is copied into it, then the
// mark moves on to the copied mailbox's old section in one write: the copy shows from then on,
// the original no longer. Every step leaves the list whole, and a step that fails is simply done
// again from the mark.
void TAppProperties::FinishRemoval() {
    const std::int32_t number = Registry.ReadInteger(kGeneral, kRemovingMailbox, 0);
    if (number < 1) return;
    std::size_t index = static_cast<std::size_t>(number - 1);
    if (index == 0 && !Registry.SectionExists(SectionName(1).c_str())) {
        // Nothing to move and nothing to remove: the one mailbox stays.
        Registry.DeleteValue(kGeneral, kRemovingMailbox);
        return;
    }
    for (; Registry.SectionExists(SectionName(index + 1).c_str()); ++index) {
        const std::string from = SectionName(index + 1), to = SectionName(index);
        Registry.CopySection(from.c_str(), to.c_str());
        if (Environment.CopySecret) {
            for (const char* suffix : kSecretSuffixes)
                Environment.CopySecret(TMailboxSettings::TargetOf(Registry, from) + suffix,
                                       TMailboxSettings::TargetOf(Registry, to) + suffix);
        }
        Registry.WriteIntegerOrRaise(kGeneral, kRemovingMailbox,
                                     static_cast<std::int32_t>(index + 2));
    }
    const std::string last = SectionName(index);
    if (Environment.DeleteSecret) {
        for (const char* suffix : kSecretSuffixes)
            Environment.DeleteSecret(TMailboxSettings::TargetOf(Registry, last) + suffix);
    }
    Registry.DeleteSection(last.c_str());
    Registry.DeleteValue(kGeneral, kRemovingMailbox);
}

void TAppProperties::Resection() {
    const std::vector<std::string> sections = MailboxSections();
    for (std::size_t i = 0; i < FMailboxes.size() && i < sections.size(); ++i)
        FMailboxes[i]->FSection = sections[i];
}

TMailboxSettings& TAppProperties::AddMailbox() {
    FinishRemoval();
    Resection();
    const std::string section = SectionName(FMailboxes.size());
    if (Environment.DeleteSecret) {
        try {
            for (const char* suffix : kSecretSuffixes)
                Environment.DeleteSecret(TMailboxSettings::TargetOf(Registry, section) + suffix);
        } catch (const Exception&) {
            // A store that cannot be reached has no credential of the new mailbox to read.
        }
    }
    Registry.CreateSection(section.c_str());
    FMailboxes.push_back(std::make_unique<TMailboxSettings>(Registry, Environment, section));
    return *FMailboxes.back();
}

void TAppProperties::RemoveMailbox(std::size_t index) {
    if (FMailboxes.size() < 2 || index >= FMailboxes.size()) return;
    FinishRemoval();
    Resection();
    // From this write on the mailbox is gone from the list; the rest only moves the others.
    Registry.WriteIntegerOrRaise(kGeneral, kRemovingMailbox, static_cast<std::int32_t>(index + 1));
    FMailboxes.erase(FMailboxes.begin() + static_cast<std::ptrdiff_t>(index));
    try {
        FinishRemoval();
    } catch (const Exception&) {
        Resection();
        throw;
    }
    Resection();
}
