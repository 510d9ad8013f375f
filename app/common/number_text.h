// Numbers typed into boxes and numbers written back into them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora::app {

// The text read as a decimal number through the runtime (full-width digits count as digits);
// text that is not a number reads as 0.
double numberOfText(std::string_view text);

// Truncation toward zero into 32 bits. A number beyond the range takes the nearest end, and one
// that is not a number at all (an overflowing exponent gives infinity) takes the end of its
// sign, so nothing a user types makes the conversion undefined.
std::int32_t truncateToInt(double number);

// The integer formed by the leading digits of the text, with an optional sign after leading
// blanks; 0 when there are none. Clamped to 32 bits.
std::int32_t leadingInteger(std::string_view text);

// A length in tenths of a millimetre as millimetre text without trailing zeros: 2100 → "210",
// 2105 → "210.5".
std::string millimetreText(std::int32_t tenths);

}  // namespace quillora::app
