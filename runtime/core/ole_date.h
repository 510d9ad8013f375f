// Date-time values are OLE automation dates: days since 1899-12-30 00:00 with the time of day
// as the fraction. This converts them to and from calendar parts.
#pragma once

#include <cstdint>

namespace quillora::runtime {

// A date and time of the proleptic Gregorian calendar, to the second.
struct CalendarTime {
    std::int32_t year = 1899;
    std::int32_t month = 12;   // 1..12
    std::int32_t day = 30;     // 1..31
    std::int32_t hour = 0;     // 0..23
    std::int32_t minute = 0;
    std::int32_t second = 0;
    bool operator==(const CalendarTime&) const = default;
};

// The calendar parts of an OLE date. The value is first clamped to the range a date-time may
// hold (NaN becomes the earliest date). Before 1899-12-30 the whole part still names the day
// and the fraction counts forward from that day's start, so -1.25 is 1899-12-29 06:00. The time
// is rounded to the nearest second: the sum of a date and a time computed in floating point is
// often a hair below the whole second it means.
CalendarTime calendarTimeOf(double oleDate);

// The OLE date of a calendar date and time (the inverse of calendarTimeOf).
double oleDateOf(const CalendarTime& time);

}  // namespace quillora::runtime
