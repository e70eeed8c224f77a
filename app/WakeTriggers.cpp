#include "app/WakeTriggers.h"

namespace {

constexpr std::uint32_t kRetryPausesMs[TWakeRetry::kRetries] = {5000, 15000, 45000};

}  // namespace

bool TTriggerDebounce::Event(std::uint32_t now) {
    // Unsigned differences stay right across the wrap of the tick count.
    if (Requested && now - LastRequest < kSpacingMs) {
        HeldBack = true;
        return false;
    }
    Requested = true;
    HeldBack = false;
    LastRequest = now;
    return true;
}

std::uint32_t TTriggerDebounce::HeldBackDelay(std::uint32_t now) const {
    const std::uint32_t since = now - LastRequest;
    return since < kSpacingMs ? kSpacingMs - since : 0;
}

bool TTriggerDebounce::TimerDue(std::uint32_t now) {
    if (!HeldBack) return false;
    HeldBack = false;
    LastRequest = now;
    return true;
}

void TWakeRetry::Woke(std::uint32_t now) {
    Awake = true;
    WokeAt = now;
    Retries = 0;
}

std::uint32_t TWakeRetry::Failed(bool networkFailure, std::uint32_t now) {
    const bool inSeries = Retries > 0 || (Awake && now - WokeAt < kWindowMs);
    if (networkFailure && inSeries && Retries < kRetries) return kRetryPausesMs[Retries++];
    // Shown: the event has had its chance.
    Retries = 0;
    Awake = false;
    return 0;
}
