// The animation object unit: a template from which an animation box makes its objects. It holds
// a picture and a zoom and is never shown itself.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/units/unit.h"

namespace quillora::runtime {

// A zoom is given in per mille of the picture's own size.
inline constexpr std::int32_t kNaturalZoom = 1000;

// The most picture data a template keeps, the same as the largest picture file the runtime reads.
inline constexpr std::size_t kMaxTemplatePictureBytes = 512u * 1024 * 1024;

class AnimationObjectUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    bool neverShown() const override { return true; }
    bool neverFirstFocus() const override { return true; }

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;

    // What an object made from this template starts with.
    std::span<const std::uint8_t> pictureData() const { return pictureData_; }
    std::int32_t zoomHorizontal() const { return zoomHorizontal_; }
    std::int32_t zoomVertical() const { return zoomVertical_; }

private:
    std::vector<std::uint8_t> pictureData_;
    std::int32_t zoomHorizontal_ = kNaturalZoom;
    std::int32_t zoomVertical_ = kNaturalZoom;
};

}  // namespace quillora::runtime
