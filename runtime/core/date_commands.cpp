// Date and time commands over OLE automation dates.
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/ole_date.h"

#include <ctime>

namespace quillora {
namespace {

using runtime::CalendarTime;

// The date-time argument; a number passed instead is read as a count of days.
CalendarTime calendarArgument(std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    return runtime::calendarTimeOf(arguments.number(0));
}

}  // namespace

// Whole seconds only: the date-time parts go down to the second, and a fraction of a second
// kept here would round the seconds up in every part read from it.
void Now(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CalendarTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    // A leap second (tm_sec 60) is shown as the last second of its minute.
    time.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    *result = makeDateTime(runtime::oleDateOf(time));
}

void YearOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).year);
}

void MonthOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).month);
}

void DayOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).day);
}

void HourOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).hour);
}

void MinuteOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).minute);
}

void SecondOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(calendarArgument(argCount, args).second);
}

namespace runtime {

std::span<const CommandEntry> dateCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"Now", Now},
        {"YearOf", YearOf},
        {"MonthOf", MonthOf},
        {"DayOf", DayOf},
        {"HourOf", HourOf},
        {"MinuteOf", MinuteOf},
        {"SecondOf", SecondOf},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
