// Argument readers and result setters shared by the printer's and the drawing panel's commands,
// which take the same optional positions and write their results the same way.
#pragma once

#include "runtime/core/command_arguments.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillora::runtime {

// The whole number at `index`, or nothing when that position was not passed.
std::optional<int> optionalInt(const CommandArguments& arguments, std::int32_t index);

// Any value as the text it is written as, by the runtime's own conversion.
std::string textOf(const RuntimeValue& value);

// Write an integer result; a null result record is left alone.
void setInt(RuntimeValue* result, std::int32_t value);

}  // namespace quillora::runtime
