#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/runtime_calls.h"
#include "common/unit_calls.h"
#include "quillora/core_commands.h"

namespace quillora::app {
namespace {

// A full-width digit in UTF-8 is EF BC 90 .. EF BC 99; the full-width plus and minus are
// EF BC 8B and EF BC 8D.
int fullWidthByte(std::string_view text, std::size_t at)
{
    if (at + 2 < text.size() && static_cast<unsigned char>(text[at]) == 0xEF
        && static_cast<unsigned char>(text[at + 1]) == 0xBC)
        return static_cast<unsigned char>(text[at + 2]);
    return -1;
}

}  // namespace

double numberOfText(std::string_view text)
{
    const std::string holder(text);
    return asDouble(callCore(&ToNumber, textValue(holder)));
}

std::int32_t truncateToInt(double number)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(number))
        return 0;
    if (number <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (number >= highest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::trunc(number));
}

std::int32_t leadingInteger(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    } else if (const int wide = fullWidthByte(text, at); wide == 0x8B || wide == 0x8D) {
        negative = wide == 0x8D;
        at += 3;
    }
    double value = 0;
    for (;;) {
        int digit = -1;
        if (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            digit = text[at] - '0';
            ++at;
        } else if (const int wide = fullWidthByte(text, at); wide >= 0x90 && wide <= 0x99) {
            digit = wide - 0x90;
            at += 3;
        }
        if (digit < 0)
            break;
        // Past 2^31 the clamp decides; the double keeps counting without overflowing.
        value = std::min(value * 10 + digit, 1e12);
    }
    return truncateToInt(negative ? -value : value);
}

std::string millimetreText(std::int32_t tenths)
{
    return takeText(callCore(&ToText, makeDouble(tenths / 10.0)));
}

}  // namespace quillora::app
