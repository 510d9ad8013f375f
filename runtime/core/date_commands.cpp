// Date and time commands over OLE automation dates.
#include "platform/fs/local_clock.h"
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/ole_date.h"

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
    const platform::LocalTime local = platform::localTimeNow();
    CalendarTime time;
    time.year = local.year;
    time.month = local.month;
    time.day = local.day;
    time.hour = local.hour;
    time.minute = local.minute;
    // A leap second (60) is shown as the last second of its minute.
    time.second = local.second > 59 ? 59 : local.second;
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
