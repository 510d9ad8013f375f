// The entry points that reach windows and units: unit properties and the start window.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora::runtime {

RuntimeValue readUnitProperty(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property,
                              std::int32_t member);
void writeUnitProperty(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property, std::int32_t member,
                       std::uint32_t payloadLow, std::uint32_t payloadHigh);
void loadStartWindow(std::uint32_t windowId);

}  // namespace quillora::runtime
