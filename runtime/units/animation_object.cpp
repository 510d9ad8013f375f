#include "runtime/units/animation_object.h"

#include "quillora/special_unit_commands.h"
#include "runtime/core/memory.h"

#include <QWidget>

namespace quillora::runtime {

QWidget* AnimationObjectUnit::createWidget(QWidget* parent)
{
    // A stand-in that keeps the unit's place and common properties; the objects made from the
    // template are drawn by their box.
    return new QWidget(parent);
}

std::optional<RuntimeValue> AnimationObjectUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kAnimationObjectPicture:
        return makePointer(TypeCode::ByteSet, newByteSetBlock(pictureData_.data(), pictureData_.size()));
    case kAnimationObjectZoomHorizontal:
        return makeInt(zoomHorizontal_);
    case kAnimationObjectZoomVertical:
        return makeInt(zoomVertical_);
    default:
        return std::nullopt;
    }
}

bool AnimationObjectUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow,
                                            std::uint32_t payloadHigh)
{
    const auto number = static_cast<std::int32_t>(payloadLow);
    switch (index) {
    case kAnimationObjectPicture: {
        const RuntimeValue value{payloadLow, payloadHigh, static_cast<std::uint32_t>(TypeCode::ByteSet)};
        const std::uint8_t* bytes = byteSetData(value);
        const std::uint32_t length = byteSetLength(value);
        if (!bytes || length == 0 || length > kMaxTemplatePictureBytes)
            pictureData_.clear();
        else
            pictureData_.assign(bytes, bytes + length);
        return true;
    }
    case kAnimationObjectZoomHorizontal:
        // A zoom below 1 would draw nothing at all; it is refused, as the box refuses it.
        if (number < 1)
            return false;
        zoomHorizontal_ = number;
        return true;
    case kAnimationObjectZoomVertical:
        if (number < 1)
            return false;
        zoomVertical_ = number;
        return true;
    default:
        return false;
    }
}

}  // namespace quillora::runtime
