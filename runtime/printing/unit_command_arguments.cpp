#include "runtime/printing/unit_command_arguments.h"

#include "quillora/core_commands.h"
#include "runtime/core/memory.h"

namespace quillora::runtime {

std::optional<int> optionalInt(const CommandArguments& arguments, std::int32_t index)
{
    if (!arguments.has(index))
        return std::nullopt;
    return arguments.int32(index);
}

std::string textOf(const RuntimeValue& value)
{
    if (value.type == static_cast<std::uint32_t>(TypeCode::Text))
        return asText(value);
    RuntimeValue argument = value;
    RuntimeValue converted{};
    ToText(&converted, 1, &argument);
    std::string text = asText(converted);
    freeBlock(asPointer(converted));
    return text;
}

void setInt(RuntimeValue* result, std::int32_t value)
{
    if (result)
        *result = makeInt(value);
}

}  // namespace quillora::runtime
