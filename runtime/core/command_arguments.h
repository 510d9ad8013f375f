// Reading the argument records of a core command and building its result records.
//
// Commands are called with whatever records the caller packed: a numeric argument may come as
// any of the six number kinds, an optional one may be missing altogether (a record of type 0, or
// a position beyond the argument count). Every command reads its arguments through this one
// place, so the rules for conversion and absence are the same everywhere.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "quillora/runtime_value.h"

namespace quillora::runtime {

// True for byte, short, integer, long integer, float and double.
bool isNumberType(std::uint32_t type);

// Any number kind as a double. A bool reads as 1 or 0 and a date-time as its count of days;
// every other kind (text, byte set, unit, absent) reads as 0.
double numberOf(const RuntimeValue& value);

// The same value as a whole number: fractions truncated toward zero, values beyond the range
// saturated at its ends, NaN read as 0. Integer kinds are read exactly, without passing through
// a double.
std::int64_t integerOf(const RuntimeValue& value);

// As integerOf, saturated to the 32-bit range.
std::int32_t int32Of(const RuntimeValue& value);

// The argument list of one command call.
class CommandArguments {
public:
    // A negative count or a null array is taken as no arguments at all.
    CommandArguments(std::int32_t count, const RuntimeValue* values);

    std::int32_t count() const { return count_; }

    // True when position `index` (0-based) was passed and is not an absent record.
    bool has(std::int32_t index) const;

    // The record at `index`, or an absent record (type 0) beyond the count.
    const RuntimeValue& at(std::int32_t index) const;

    double number(std::int32_t index, double fallback = 0.0) const;
    std::int64_t integer(std::int32_t index, std::int64_t fallback = 0) const;
    std::int32_t int32(std::int32_t index, std::int32_t fallback = 0) const;
    // A bool, or any number (non-zero is true).
    bool flag(std::int32_t index, bool fallback = false) const;

    // The text at `index`; a record of another kind, and an absent one, read as the empty text.
    std::string_view text(std::int32_t index) const;
    // The bytes of the byte set at `index`; a record of another kind reads as no bytes.
    std::span<const std::uint8_t> bytes(std::int32_t index) const;

private:
    std::int32_t count_;
    const RuntimeValue* values_;
};

// A text result in a fresh caller-owned block (the empty text is null).
RuntimeValue textResult(std::string_view text);

// A byte-set result in a fresh caller-owned block (no bytes is null).
RuntimeValue byteSetResult(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
