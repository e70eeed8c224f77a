#pragma once
// The user's settings: read from the settings key once, at construction, then served from memory;
// each setter assigns its field and writes that one value at once. The mailboxes' own settings
// are in TMailboxSettings; the list of mailboxes changes on the user-interface thread only.
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
#include <vector>

#include "settings/MailboxSettings.h"

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

    // At least 1: the "Mailbox" section always counts; the others follow as "Mailbox 2",
    // "Mailbox 3", ... up to the first missing number.
    std::size_t MailboxCount() const { return FMailboxes.size(); }
    TMailboxSettings& Mailbox(std::size_t index) { return *FMailboxes.at(index); }
    const TMailboxSettings& Mailbox(std::size_t index) const { return *FMailboxes.at(index); }
    // The mailbox's own interval, or the general "Repeat Mail Interval" (minutes).
    std::int32_t IntervalOf(std::size_t index) const;
    // Creates the next "Mailbox N" section at once, with no credentials left from before.
    // Raises ERegistryException when the section cannot be created.
    TMailboxSettings& AddMailbox();
    // Removes the mailbox's section and credentials; those after it move down one number with
    // their credentials. The last remaining mailbox stays. Raises ERegistryException, or
    // Exception from the credential store, when the store refuses; whatever step fails, the
    // next load finds either the list before or the list after, with no gap and no mailbox
    // twice, and the next load or change of the list completes the move.
    void RemoveMailbox(std::size_t index);
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
    void SetOnlyNewMail(bool value);
    void SetWindowsNotification(bool value);
    void SetQuietHours(bool value);
    void SetQuietFrom(const std::string& value);
    void SetQuietTo(const std::string& value);

    // A file exists at MailAppPath.
    bool MailAppExists() const;

private:
    std::string Get(const std::string& field) const;
    void Put(std::string& field, std::string value);
    void LoadMailAppPath();
    // The sections of the mailboxes as the load sees them, in order.
    std::vector<std::string> MailboxSections();
    // Completes a removal that an earlier failure left under way.
    void FinishRemoval();
    // Gives every mailbox the section the load would give it now.
    void Resection();

    TBMRegistry Registry;
    TSettingsEnvironment Environment;

    mutable TLock StringsLock;  // guards the string fields
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
    std::atomic<bool> FOnlyNewMail{false};
    std::atomic<bool> FWindowsNotification{false};
    std::atomic<bool> FQuietHours{false};
    std::string FQuietFrom;
    std::string FQuietTo;
    std::vector<std::unique_ptr<TMailboxSettings>> FMailboxes;
};
