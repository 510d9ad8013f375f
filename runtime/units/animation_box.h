// The animation box unit: a surface that draws numbered objects, each a picture at a position
// and a zoom. The album program keeps one hidden box to scale pictures down: it gives an object
// a photo, zooms it, sizes the box to the object and takes a picture of what the box shows. So
// everything here works the same whether the box is shown or not.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QRgb>

#include "runtime/units/unit.h"

class QPainter;

namespace quillora::runtime {

class AnimationObjectUnit;
struct AnimationObject;

// The most objects one box holds; creating more fails.
inline constexpr std::size_t kMaxObjectsPerBox = 4096;

class AnimationBoxUnit : public Unit {
public:
    AnimationBoxUnit(LiveWindow& window, const UnitTemplate& unitTemplate);
    ~AnimationBoxUnit() override;

    QWidget* createWidget(QWidget* parent) override;
    bool dragsWindow() const override { return true; }

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;

    // A new object with the template's picture and zoom, its top-left corner at (x, y); its
    // number (1 and up), or 0 when the box is full.
    std::int32_t createObject(const AnimationObjectUnit& from, std::int32_t x, std::int32_t y);
    // Replaces the object's picture (the old one is unloaded). Data that does not decode leaves
    // the object without a picture and returns false.
    bool setObjectPicture(std::int32_t number, std::span<const std::uint8_t> pictureData);
    // False, with the zoom unchanged, for a zoom below 1 or a number no object has.
    bool setObjectZoom(std::int32_t number, std::int32_t horizontal, std::int32_t vertical);
    // The drawn size: picture size x zoom / 1000, truncated; 0 when there is nothing to draw.
    std::int32_t objectWidth(std::int32_t number) const;
    std::int32_t objectHeight(std::int32_t number) const;
    std::size_t objectCount() const { return objects_.size(); }

    // What the box shows in the area as a complete 24-bit BMP file of exactly width x height
    // pixels, rendered off-screen. Empty for an area without pixels or above the picture cap
    // of runtime/picture/pixel_buffer.h.
    std::vector<std::uint8_t> takePicture(std::int32_t left, std::int32_t top, std::int32_t width,
                                          std::int32_t height);

    // Paints the box's whole surface, for its widget.
    void paintSurface(QPainter& painter);

private:
    AnimationObject* findObject(std::int32_t number) const;
    // The box's size: the live widget's, else the form's.
    std::int64_t boxWidth() const;
    std::int64_t boxHeight() const;
    // Draws every object over the area of the box that starts at (left, top) and is
    // areaWidth x areaHeight, with the area's corner at the painter's origin.
    void paintObjects(QPainter& painter, std::int64_t left, std::int64_t top, std::int64_t areaWidth,
                      std::int64_t areaHeight);
    void repaint();

    std::vector<std::unique_ptr<AnimationObject>> objects_;
    std::int32_t nextNumber_ = 1;
    QRgb background_;
    QPointer<QObject> surface_;
};

}  // namespace quillora::runtime
