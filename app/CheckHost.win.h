#pragma once
// The check controller's view of the running program: the settings, the count job and the
// windows that show a result.

#include <functional>

#include "app/MailCheck.h"

class TAppProperties;
class TMailboxSettings;

class TCheckHost : public ICheckHost {
public:
    explicit TCheckHost(TAppProperties& settings) : Settings(settings) {}

    bool SettingsComplete() override;
    MailAccount Account() override;
    std::unique_ptr<IMailCountJob> CreateJob() override;
    int ShowSettingsPrompt() override;
    void OpenPropertiesDialog(int page) override;
    void ShowResultInTray(std::int32_t count, TDateTime time, TCountWording wording) override;
    void NotifyAfterCheck(std::int32_t count, TCountWording wording,
                          const std::vector<TMessageSummary>& newest) override;
    void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording,
                        const std::vector<TMessageSummary>& newest) override;
    bool OnlyNewMail() override;
    TSeenIds LoadSeen(const std::string& server, const std::string& userName) override;
    void SaveSeen(const std::string& server, const std::string& userName,
                  const std::vector<std::string>& ids) override;
    void ReportMailError(const std::string& message, TMailErrorKind kind) override;
    void ReportProgramFailure(std::exception_ptr failure) override;
    void ProcessMessages() override;
    bool Pause(int milliseconds) override;
    TDateTime Now() override;
    std::uint32_t Ticks() override;
    void StartRetryTimer(std::uint32_t milliseconds) override;
    void StopRetryTimer() override;
    bool KeepQuiet() override;
    void SelectMailbox(std::size_t index) override { Selected = index; }
    void ShowMailboxesInTray(const std::vector<TMailboxCount>& withMail, TDateTime time,
                             TCountWording wording) override;

    // After the Properties dialog has stored new settings: they are put into effect.
    std::function<void()> OnSettingsApplied;

private:
    // The selected mailbox, or the first when the list has become shorter.
    TMailboxSettings& Mailbox();

    TAppProperties& Settings;
    std::size_t Selected = 0;
};
