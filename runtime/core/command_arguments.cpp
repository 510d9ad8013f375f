#include "runtime/core/command_arguments.h"

#include "runtime/core/memory.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace quillora::runtime {
namespace {

const RuntimeValue kAbsent{};

// Truncation toward zero with the ends of the range as limits; a double cannot hold every
// int64, so the comparison is made against 2^63, which it holds exactly.
std::int64_t saturatedInteger(double number)
{
    if (std::isnan(number))
        return 0;
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (number >= kTwoTo63)
        return std::numeric_limits<std::int64_t>::max();
    if (number < -kTwoTo63)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(number);
}

}  // namespace

bool isNumberType(std::uint32_t type)
{
    switch (static_cast<TypeCode>(type)) {
    case TypeCode::Byte:
    case TypeCode::Short:
    case TypeCode::Integer:
    case TypeCode::LongInteger:
    case TypeCode::Float:
    case TypeCode::Double:
        return true;
    default:
        return false;
    }
}

double numberOf(const RuntimeValue& value)
{
    switch (static_cast<TypeCode>(value.type)) {
    case TypeCode::Byte:
    case TypeCode::Short:
    case TypeCode::Integer:
    case TypeCode::LongInteger:
    case TypeCode::Bool:
        return static_cast<double>(integerOf(value));
    case TypeCode::Float:
        return asFloat(value);
    case TypeCode::Double:
    case TypeCode::DateTime:
        return asDouble(value);
    default:
        return 0.0;
    }
}

std::int64_t integerOf(const RuntimeValue& value)
{
    switch (static_cast<TypeCode>(value.type)) {
    case TypeCode::Byte:
        return value.low & 0xFFu;
    case TypeCode::Short:
        return static_cast<std::int16_t>(value.low & 0xFFFFu);
    case TypeCode::Integer:
        return asInt(value);
    case TypeCode::LongInteger:
        return asInt64(value);
    case TypeCode::Bool:
        return asBool(value) ? 1 : 0;
    case TypeCode::Float:
    case TypeCode::Double:
    case TypeCode::DateTime:
        return saturatedInteger(numberOf(value));
    default:
        return 0;
    }
}

std::int32_t int32Of(const RuntimeValue& value)
{
    const std::int64_t number = integerOf(value);
    if (number > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (number < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(number);
}

CommandArguments::CommandArguments(std::int32_t count, const RuntimeValue* values)
    : count_(values && count > 0 ? count : 0), values_(values)
{
}

bool CommandArguments::has(std::int32_t index) const
{
    return index >= 0 && index < count_ && values_[index].type != 0;
}

const RuntimeValue& CommandArguments::at(std::int32_t index) const
{
    return index >= 0 && index < count_ ? values_[index] : kAbsent;
}

double CommandArguments::number(std::int32_t index, double fallback) const
{
    return has(index) ? numberOf(at(index)) : fallback;
}

std::int64_t CommandArguments::integer(std::int32_t index, std::int64_t fallback) const
{
    return has(index) ? integerOf(at(index)) : fallback;
}

std::int32_t CommandArguments::int32(std::int32_t index, std::int32_t fallback) const
{
    return has(index) ? int32Of(at(index)) : fallback;
}

bool CommandArguments::flag(std::int32_t index, bool fallback) const
{
    if (!has(index))
        return fallback;
    const RuntimeValue& value = at(index);
    return value.type == static_cast<std::uint32_t>(TypeCode::Bool) ? asBool(value) : numberOf(value) != 0.0;
}

std::string_view CommandArguments::text(std::int32_t index) const
{
    const RuntimeValue& value = at(index);
    if (value.type != static_cast<std::uint32_t>(TypeCode::Text))
        return {};
    return asText(value);
}

std::span<const std::uint8_t> CommandArguments::bytes(std::int32_t index) const
{
    const RuntimeValue& value = at(index);
    if (value.type != static_cast<std::uint32_t>(TypeCode::ByteSet))
        return {};
    const std::uint8_t* data = byteSetData(value);
    return data ? std::span<const std::uint8_t>(data, byteSetLength(value)) : std::span<const std::uint8_t>();
}

RuntimeValue textResult(std::string_view text)
{
    return makePointer(TypeCode::Text, newTextBlock(text));
}

RuntimeValue byteSetResult(std::span<const std::uint8_t> bytes)
{
    return makePointer(TypeCode::ByteSet, newByteSetBlock(bytes.data(), bytes.size()));
}

}  // namespace quillora::runtime
