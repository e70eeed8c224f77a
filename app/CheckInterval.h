#pragma once
// The pause of the periodic check.

#include <cstdint>

// The milliseconds between the end of one periodic check and the start of the next for a
// "Repeat Mail Interval" in minutes. A value outside 1 to 9999, which only an edited registry
// holds, counts as the default of 10 minutes: 0 would check without a pause and a large value
// would overflow the 32-bit milliseconds.
std::int32_t TimedCheckInterval(std::int32_t minutes);
