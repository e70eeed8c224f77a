#pragma once
// The program's date-time value: days since 30 December 1899 as a double, with the time of day
// as the fraction. 0.0 stands for "never".

using TDateTime = double;

struct LocalTime {
    int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

TDateTime EncodeDateTime(const LocalTime& t);

// The time of day of a date-time value, to the millisecond (the fraction of the day, rounded).
struct TimeOfDay {
    int Hour, Minute, Second, Millisecond;
};
TimeOfDay DecodeTime(TDateTime value);
