#include "platform/fs/local_clock.h"

#include <ctime>

namespace quillora::platform {

LocalTime localTimeNow()
{
    return localTimeOf(static_cast<std::int64_t>(std::time(nullptr)));
}

LocalTime localTimeOf(std::int64_t secondsSinceEpoch)
{
    // localtime_r need not look at TZ again; tzset makes a zone set since the last call count.
    tzset();
    const std::time_t moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&moment, &local))
        return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace quillora::platform
