#include "framework/DateTime.h"

#include <algorithm>
#include <cmath>

namespace {

// Days from 1 January 0001 (proleptic Gregorian) to the given date, counting that day as 1.
long DaysFromCivil(int y, int m, int d) {
    static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const long yy = y - 1;
    return yy * 365 + yy / 4 - yy / 100 + yy / 400 + before[m - 1] + (leap && m > 2 ? 1 : 0) + d;
}

const long kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

TDateTime EncodeDateTime(const LocalTime& t) {
    const double days = static_cast<double>(DaysFromCivil(t.Year, t.Month, t.Day) - kEpoch);
    const double ms = ((t.Hour * 60.0 + t.Minute) * 60.0 + t.Second) * 1000.0 + t.Millisecond;
    return days + ms / 86400000.0;
}

TimeOfDay DecodeTime(TDateTime value) {
    double whole;
    const double fraction = std::fabs(std::modf(value, &whole));
    // A fraction a hair below the next day stays on its own day.
    const long long ms = std::min(std::llround(fraction * 86400000.0), 86399999LL);
    return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
            static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}
