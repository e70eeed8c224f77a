// Resume and network-change events on a direct connection: the spacing of the requests they
// make. The quiet retries that follow are tested with the controller (MailCheckTest).

#include "app/WakeTriggers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An event, or the caller's timer running out; what the debounce answers.
struct Step {
    bool timer;
    std::uint32_t at;
    bool request;
    std::uint32_t heldBackDelay;  // for an event held back: when the caller's timer is due
};

constexpr bool kEvent = false, kTimer = true;

}  // namespace

TEST(TriggerDebounce, ABurstMakesOneRequestAtOnceAndOneAtItsEnd) {
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"events five seconds apart each request",
         {{kEvent, 0, true, 0}, {kEvent, 5000, true, 0}, {kEvent, 10000, true, 0}}},
        {"a burst: at once, then once at its end",
         {{kEvent, 0, true, 0},
          {kEvent, 1000, false, 4000},
          {kEvent, 4999, false, 1},
          {kTimer, 5000, true, 0},
          {kEvent, 6000, false, 4000},
          {kTimer, 10000, true, 0}}},
        {"a timer with nothing held back requests nothing",
         {{kEvent, 0, true, 0}, {kTimer, 5000, false, 0}}},
        {"the resume pair of the platform",
         {{kEvent, 100, true, 0}, {kEvent, 120, false, 4980}, {kTimer, 5100, true, 0},
          {kTimer, 5200, false, 0}}},
        {"across the wrap of the tick count",
         {{kEvent, 0xFFFFF000u, true, 0},
          {kEvent, 0x00000100u, false, 5000 - 0x1100},
          {kEvent, 0x00000F00u + 5000, true, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTriggerDebounce debounce;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.at);
            const bool requested = s.timer ? debounce.TimerDue(s.at) : debounce.Event(s.at);
            EXPECT_EQ(requested, s.request);
            if (!s.timer && !s.request) {
                EXPECT_EQ(debounce.HeldBackDelay(s.at), s.heldBackDelay);
            }
        }
    }
}
