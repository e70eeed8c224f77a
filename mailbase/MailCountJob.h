#pragma once
// What the check controller needs of a count job: set the account, run one dialogue that ends
// in exactly one callback, and cancel it from a handler that runs inside that dialogue.

#include <cstdint>
#include <functional>
#include <string>

#include "mailbase/MailErrorKind.h"
#include "mailbase/NewMail.h"

class IMailCountJob {
public:
    using SuccessEvent = std::function<void(IMailCountJob* sender, std::int32_t count)>;
    using ErrorEvent =
        std::function<void(IMailCountJob* sender, const std::string& message, TMailErrorKind kind)>;

    virtual ~IMailCountJob() = default;

    virtual void SetAccount(const std::string& server, const std::string& userName,
                            const std::string& password) = 0;
    // Synchronous. Calls OnSuccess or OnError once, or lets an exception of another kind through.
    virtual void Run() = 0;
    // Ends a running dialogue with OnError(mekCanceled); does nothing when no dialogue runs.
    virtual void Cancel() = 0;

    // Set before Run: look for new mail, the IDs in Seen being the ones already told about.
    bool OnlyNew = false;
    TSeenIds Seen;
    // What Run found of new mail, valid in OnSuccess.
    TNewMail News;

    SuccessEvent OnSuccess;
    ErrorEvent OnError;
};
