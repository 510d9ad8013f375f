// Calling core commands the way the entry table does, and reading their results.
#pragma once

#include "quillora/entry_table.h"
#include "quillora/runtime_value.h"
#include "runtime/core/memory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::testing_support {

// Calls `command` with a zeroed result and the arguments laid out next to each other.
template <typename... Values>
RuntimeValue call(CommandFunction command, Values... values)
{
    RuntimeValue arguments[] = {values..., RuntimeValue{}};
    RuntimeValue result{};
    command(&result, static_cast<std::int32_t>(sizeof...(Values)), arguments);
    return result;
}

// A text argument; the literal stays owned by the test.
inline RuntimeValue text(const char* literal)
{
    return makePointer(TypeCode::Text, literal);
}

inline RuntimeValue absent()
{
    return RuntimeValue{};
}

// Reads a text result and frees its block.
inline std::string takeText(const RuntimeValue& result)
{
    std::string value = asText(result);
    runtime::freeBlock(asPointer(result));
    return value;
}

// Reads a byte-set result and frees its block.
inline std::vector<std::uint8_t> takeBytes(const RuntimeValue& result)
{
    const std::uint8_t* data = byteSetData(result);
    std::vector<std::uint8_t> bytes(data, data + byteSetLength(result));
    runtime::freeBlock(asPointer(result));
    return bytes;
}

}  // namespace quillora::testing_support
