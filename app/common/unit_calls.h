// Reaching units from the album logic: a unit reference, its properties and its methods.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/runtime_calls.h"

namespace quillora::app {

// A unit of a window: its type code, window id and unit id (the ids of form_ids.h).
struct UnitRef {
    std::uint32_t typeCode;
    std::uint32_t windowId;
    std::uint32_t unitId;

    RuntimeValue value() const { return makeUnitRef(typeCode, windowId, unitId); }
    std::int32_t library() const { return static_cast<std::int32_t>(typeCode >> 16); }
};

// Calls a unit method with the unit as argument 0.
template <typename... Values>
RuntimeValue callMethod(const UnitRef& unit, CommandFunction method, Values... values)
{
    RuntimeValue arguments[] = {unit.value(), values...};
    return runtime().CallLibraryCommand(unit.library(), method, static_cast<std::int32_t>(1 + sizeof...(Values)),
                                        arguments);
}

// A text argument pointing into `holder`, which outlives the call.
inline RuntimeValue textValue(const std::string& holder)
{
    return makePointer(TypeCode::Text, holder.c_str());
}

// A text result, freed after it has been copied.
inline std::string takeText(RuntimeValue result)
{
    OwnedBlock owned(asPointer(result));
    return std::string(owned.text());
}

// The common unit properties every unit has.
enum UnitProperty : std::int32_t {
    kPropertyLeft = 0,
    kPropertyTop = 1,
    kPropertyWidth = 2,
    kPropertyHeight = 3,
    kPropertyTag = 4,
    kPropertyVisible = 5,
    kPropertyDisabled = 6,
    kFirstKindProperty = 8,
};

inline RuntimeValue readProperty(const UnitRef& unit, std::int32_t property)
{
    return runtime().ReadUnitProperty(unit.windowId, unit.unitId, property, -1);
}

inline void writeProperty(const UnitRef& unit, std::int32_t property, const RuntimeValue& value)
{
    runtime().WriteUnitProperty(unit.windowId, unit.unitId, property, -1, value.low, value.high);
}

inline std::string readTextProperty(const UnitRef& unit, std::int32_t property)
{
    return takeText(readProperty(unit, property));
}

inline void writeTextProperty(const UnitRef& unit, std::int32_t property, std::string_view text)
{
    const std::string holder(text);
    writeProperty(unit, property, textValue(holder));
}

}  // namespace quillora::app
