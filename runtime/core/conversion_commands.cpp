// Conversions between values and texts: ToText and ToNumber.
//
// Both work in the C conventions whatever the desktop's locale is: the decimal point is always
// ".", so a number written by ToText reads back through ToNumber on every machine.
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/ole_date.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace quillora {
namespace {

using runtime::textResult;

// A number in the shortest "%.{precision}g" form, independent of the locale.
std::string generalFormat(double number, int precision)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, precision);
    return std::string(buffer, written.ptr);
}

// "2010年4月6日", then the time only as far as its last non-zero part: seconds bring hours and
// minutes with them, minutes bring the hour, and midnight adds nothing.
std::string dateTimeText(double oleDate)
{
    const runtime::CalendarTime time = runtime::calendarTimeOf(oleDate);
    std::string text = std::to_string(time.year) + "年" + std::to_string(time.month) + "月"
                       + std::to_string(time.day) + "日";
    if (time.second != 0) {
        text += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分"
                + std::to_string(time.second) + "秒";
    } else if (time.minute != 0) {
        text += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分";
    } else if (time.hour != 0) {
        text += std::to_string(time.hour) + "时";
    }
    return text;
}

std::string valueText(const RuntimeValue& value)
{
    switch (static_cast<TypeCode>(value.type)) {
    case TypeCode::Byte:
    case TypeCode::Short:
    case TypeCode::Integer:
    case TypeCode::LongInteger:
        return std::to_string(runtime::integerOf(value));
    case TypeCode::Float:
        return generalFormat(asFloat(value), 6);
    case TypeCode::Double:
        return generalFormat(asDouble(value), 13);
    case TypeCode::Bool:
        return asBool(value) ? "真" : "假";
    case TypeCode::DateTime:
        return dateTimeText(asDouble(value));
    case TypeCode::Text:
        return asText(value);
    case TypeCode::ByteSet: {
        const auto* data = reinterpret_cast<const char*>(byteSetData(value));
        if (!data)
            return {};
        const std::size_t length = byteSetLength(value);
        const void* zero = std::memchr(data, 0, length);
        return std::string(data, zero ? static_cast<const char*>(zero) - data : length);
    }
    default:
        return {};
    }
}

// Full-width forms U+FF01..U+FF5E are the ASCII characters U+0021..U+007E shifted by 0xFEE0,
// and U+3000 is the ideographic space. In UTF-8 both are three-byte characters; everything
// else is copied as it is.
std::string asciiFromFullWidth(std::string_view text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead & 0xF0) == 0xE0 && i + 2 < text.size()) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            const auto third = static_cast<unsigned char>(text[i + 2]);
            if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80) {
                const unsigned codePoint = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (third & 0x3Fu);
                if (codePoint >= 0xFF01 && codePoint <= 0xFF5E) {
                    ascii += static_cast<char>(codePoint - 0xFEE0);
                    i += 2;
                    continue;
                }
                if (codePoint == 0x3000) {
                    ascii += ' ';
                    i += 2;
                    continue;
                }
            }
        }
        ascii += text[i];
    }
    return ascii;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the decimal number at the start of `text` (after leading blanks): sign, digits, point,
// digits, exponent. Whatever follows the number is ignored; a text without one gives 0.
double readDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    const std::size_t begin = i;
    std::int64_t scale = 0;           // power of ten of the first significant digit, roughly
    bool seenSignificant = false;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        if (seenSignificant || text[i] != '0') {
            seenSignificant = true;
            ++scale;
        }
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) {
            if (!seenSignificant) {
                --scale;
                seenSignificant = text[i] != '0';
            }
        }
    }
    if (digits == 0)
        return 0.0;

    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j) {
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }

    double magnitude = 0.0;
    const auto parsed = std::from_chars(text.data() + begin, text.data() + i, magnitude, std::chars_format::general);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: which one depends on where the first
        // significant digit stands once the exponent is applied.
        magnitude = seenSignificant && scale + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (parsed.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace

void ToText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    *result = textResult(valueText(arguments.at(0)));
}

void ToNumber(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    const RuntimeValue& value = arguments.at(0);
    if (value.type == static_cast<std::uint32_t>(TypeCode::Text))
        *result = makeDouble(readDecimal(asciiFromFullWidth(asText(value))));
    else
        *result = makeDouble(runtime::numberOf(value));
}

namespace runtime {

std::span<const CommandEntry> conversionCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"ToText", ToText},
        {"ToNumber", ToNumber},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
