// The window's own kind properties (unit id 0 of a window):
//   0 caption (text)
//   1 background picture (byte set of picture data; an empty byte set clears it)
//   2 background picture mode (0 top-left, 1 tiled, 2 stretched, 3 centred)
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora::runtime {

class LiveWindow;

enum WindowKindProperty : std::int32_t {
    kWindowCaption = 0,
    kWindowBackgroundPicture = 1,
    kWindowBackgroundMode = 2,
};

RuntimeValue readWindowProperty(LiveWindow& window, std::int32_t index);
void writeWindowProperty(LiveWindow& window, std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                         std::uint32_t payloadHigh);

}  // namespace quillora::runtime
