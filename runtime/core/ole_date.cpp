#include "runtime/core/ole_date.h"

#include "quillora/runtime_value.h"

#include <cmath>

namespace quillora::runtime {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// 1899-12-30, day 0 of the OLE calendar, counted from 1970-01-01.
constexpr std::int64_t kOleEpochFromUnixEpoch = -25569;

// Days since 1970-01-01 of a proleptic Gregorian date. The calendar is counted in 400-year eras
// of 146097 days, starting each year in March so the leap day falls at its end.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The inverse of daysFromCivil.
void civilFromDays(std::int64_t days, CalendarTime& time)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    time.day = static_cast<std::int32_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.month = static_cast<std::int32_t>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    time.year = static_cast<std::int32_t>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
}

}  // namespace

CalendarTime calendarTimeOf(double oleDate)
{
    if (!(oleDate >= kEarliestDate))
        oleDate = kEarliestDate;
    if (oleDate > kLatestDate)
        oleDate = kLatestDate;

    const double whole = std::trunc(oleDate);
    auto day = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(oleDate - whole) * kSecondsPerDay));
    // Rounded up to the next midnight. The latest date has no fraction left after clamping, so
    // the next day always exists.
    if (seconds >= kSecondsPerDay) {
        ++day;
        seconds -= kSecondsPerDay;
    }

    CalendarTime time;
    civilFromDays(day + kOleEpochFromUnixEpoch, time);
    time.hour = static_cast<std::int32_t>(seconds / 3600);
    time.minute = static_cast<std::int32_t>(seconds / 60 % 60);
    time.second = static_cast<std::int32_t>(seconds % 60);
    return time;
}

double oleDateOf(const CalendarTime& time)
{
    const std::int64_t day = daysFromCivil(time.year, time.month, time.day) - kOleEpochFromUnixEpoch;
    const double fraction =
        static_cast<double>(time.hour * 3600 + time.minute * 60 + time.second) / kSecondsPerDay;
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

}  // namespace quillora::runtime
