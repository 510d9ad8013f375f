#include "runtime/core/window_properties.h"

#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"
#include "runtime/picture/picture_registry.h"

#include <algorithm>

namespace quillora::runtime {

RuntimeValue readWindowProperty(LiveWindow& window, std::int32_t index)
{
    switch (index) {
    case kWindowCaption:
        return makePointer(TypeCode::Text, newTextBlock(window.caption()));
    case kWindowBackgroundPicture:
        return makeInt(static_cast<std::int32_t>(window.backgroundPicture()));
    case kWindowBackgroundMode:
        return makeInt(static_cast<std::int32_t>(window.backgroundMode()));
    default:
        return {};
    }
}

void writeWindowProperty(LiveWindow& window, std::int32_t index, std::int32_t, std::uint32_t payloadLow,
                         std::uint32_t payloadHigh)
{
    switch (index) {
    case kWindowCaption:
        window.setCaption(asText(RuntimeValue{payloadLow, payloadHigh, static_cast<std::uint32_t>(TypeCode::Text)}));
        break;
    case kWindowBackgroundPicture: {
        // The window owns the picture it decodes from the data and drops the one it had.
        const RuntimeValue bytes{payloadLow, payloadHigh, static_cast<std::uint32_t>(TypeCode::ByteSet)};
        const std::uint32_t previous = window.backgroundPicture();
        const PictureHandle picture = byteSetLength(bytes) == 0
            ? 0
            : loadPicture(std::span<const std::uint8_t>(byteSetData(bytes), byteSetLength(bytes)));
        window.setBackgroundPicture(static_cast<std::uint32_t>(picture));
        unloadPicture(static_cast<PictureHandle>(previous));
        break;
    }
    case kWindowBackgroundMode:
        window.setBackgroundMode(static_cast<form_format::BackgroundMode>(
            std::clamp<std::int32_t>(static_cast<std::int32_t>(payloadLow), 0, 3)));
        break;
    default:
        break;
    }
}

}  // namespace quillora::runtime
