// The local wall clock, as the desktop's time zone shows it.
#pragma once

#include <cstdint>

namespace quillora::platform {

struct LocalTime {
    int year = 0;    // e.g. 2026
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..60 (60 only during a leap second)
};

LocalTime localTimeNow();

// A moment (seconds since 1970-01-01 00:00 UTC, such as a file's modification time) on the local
// wall clock, in the time zone TZ names now.
LocalTime localTimeOf(std::int64_t secondsSinceEpoch);

}  // namespace quillora::platform
