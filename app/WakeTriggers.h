#pragma once
// The checks after the computer resumes or its network addresses change, on a direct
// connection: how a burst of such events becomes few requests, and how a check that meets a
// network still coming up is tried again quietly. Times are milliseconds of a clock that only
// moves forward and may wrap around (the platform's tick count); nothing here waits.

#include <cstdint>

// At most one request per five seconds: the first event of a burst requests a check at once;
// events within the five seconds after a request are held back into one request at their end,
// so that the state the burst settles in is checked too.
class TTriggerDebounce {
public:
    static constexpr std::uint32_t kSpacingMs = 5000;

    // An event at now: true to request a check now. Otherwise a request is held back, and the
    // caller's timer is due after HeldBackDelay.
    bool Event(std::uint32_t now);
    // The time from now to the held-back request.
    std::uint32_t HeldBackDelay(std::uint32_t now) const;
    // The caller's timer has run out: true to request the held-back check now.
    bool TimerDue(std::uint32_t now);

private:
    bool Requested = false;  // a request has been made, at LastRequest
    bool HeldBack = false;
    std::uint32_t LastRequest = 0;
};

// A check nobody asked for that fails with a network error within two minutes after an event
// is tried again after 5, 15 and 45 seconds before its failure is shown. A series once begun runs
// to its end, even past the two minutes.
class TWakeRetry {
public:
    static constexpr std::uint32_t kWindowMs = 120000;
    static constexpr int kRetries = 3;

    // A resume or a network change at now: the two minutes start again, and so does the series.
    void Woke(std::uint32_t now);
    // A check nobody asked for failed at now, for a reason of the network or another one: the
    // pause before the quiet retry, or 0 when the failure is to be shown now.
    std::uint32_t Failed(bool networkFailure, std::uint32_t now);
    // A check succeeded: a later failure starts a new series.
    void Succeeded() { Retries = 0; }

private:
    bool Awake = false;  // an event has come, at WokeAt, and no failure has been shown since
    std::uint32_t WokeAt = 0;
    int Retries = 0;  // quiet retries of the current series so far
};
