#include "app/CheckInterval.h"

std::int32_t TimedCheckInterval(std::int32_t minutes) {
    constexpr std::int32_t kDefaultMinutes = 10;
    if (minutes < 1 || minutes > 9999) minutes = kDefaultMinutes;
    return minutes * 60000;
}
