// Quiet hours: the stored clock times as they are read, and the minutes they cover.

#include "settings/QuietHours.h"

#include <gtest/gtest.h>

TEST(QuietHours, ClockTimesAreReadStrictly) {
    const std::pair<const char*, int> cases[] = {
        {"00:00", 0},    {"23:59", 1439}, {"7:05", 425},  {"07:05", 425}, {"24:00", -1},
        {"12:60", -1},   {"12:5", -1},    {"123:00", -1}, {"", -1},       {":", -1},
        {" 7:00", -1},   {"07:00 ", -1},  {"07.00", -1},  {"-1:00", -1},  {"0x:10", -1},
        {"07:0\xff", -1}};
    for (const auto& [text, minutes] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseClockTime(text), minutes);
        if (minutes >= 0 && std::string(text).size() == 5) {
            EXPECT_EQ(FormatClockTime(minutes), text);
        }
    }
    EXPECT_EQ(ParseClockTime(std::string("07:00\0", 6)), -1) << "a stored zero is not ignored";
}

TEST(QuietHours, QuietFromTheFirstMinuteUpToTheLast) {
    struct Case {
        const char* what;
        bool enabled;
        const char *from, *to;
        int hour, minute;
        bool quiet;
    };
    const Case cases[] = {
        {"first minute", true, "22:00", "07:00", 22, 0, true},
        {"before it", true, "22:00", "07:00", 21, 59, false},
        {"past midnight", true, "22:00", "07:00", 0, 0, true},
        {"last minute is not quiet", true, "22:00", "07:00", 7, 0, false},
        {"the minute before it is", true, "22:00", "07:00", 6, 59, true},
        {"within a day", true, "12:30", "13:30", 13, 0, true},
        {"within a day, after", true, "12:30", "13:30", 22, 0, false},
        {"equal times: none", true, "08:00", "08:00", 8, 0, false},
        {"switched off", false, "00:00", "23:59", 12, 0, false},
        {"malformed start", true, "ten", "07:00", 23, 0, false},
        {"malformed end", true, "22:00", "", 23, 0, false},
        // The local clock is read as it shows: where summer time begins it leaps from 01:59 to
        // 03:00, so a span inside the missing hour is never quiet that night, and where it ends
        // the hour from 02:00 comes twice and is quiet both times.
        {"summer time begins: leapt over", true, "02:00", "03:00", 3, 0, false},
        {"summer time begins: after the leap", true, "02:30", "03:30", 3, 0, true},
        {"summer time ends: the repeated hour", true, "02:00", "03:00", 2, 30, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(QuietHoursNow(c.enabled, c.from, c.to, c.hour, c.minute), c.quiet);
    }
}
