// The local wall clock, as the desktop's time zone shows it.
#pragma once

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

}  // namespace quillora::platform
