// Number commands. Every argument may be any number kind; results are doubles, except the tick
// count.
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/error_report.h"

#include <chrono>
#include <cmath>

namespace quillora {

using runtime::CommandArguments;

void IntDivide(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    double quotient = arguments.number(0);
    for (std::int32_t i = 1; i < arguments.count(); ++i) {
        const double divisor = arguments.number(i);
        if (divisor == 0.0)
            runtime::reportRuntimeError(0, "不能整除于零");
        quotient = std::trunc(quotient / divisor);
    }
    *result = makeDouble(quotient);
}

void Remainder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    double remainder = arguments.number(0);
    for (std::int32_t i = 1; i < arguments.count(); ++i) {
        const double divisor = arguments.number(i);
        if (divisor == 0.0)
            runtime::reportRuntimeError(0, "不能求余数于零");
        remainder = std::fmod(remainder, divisor);
    }
    *result = makeDouble(remainder);
}

void SquareRoot(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    *result = makeDouble(std::sqrt(arguments.number(0)));
}

// The monotonic clock counts from the system's start. Like the 32-bit tick counter the program
// expects, the count wraps around after about 49.7 days.
void TickCount(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    *result = makeInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(milliseconds)));
}

namespace runtime {

std::span<const CommandEntry> numberCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"IntDivide", IntDivide},
        {"Remainder", Remainder},
        {"SquareRoot", SquareRoot},
        {"TickCount", TickCount},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
