#include "runtime/units/animation_box.h"

#include "quillora/special_unit_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/picture/pixel_buffer.h"
#include "runtime/units/animation_object.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <limits>

namespace quillora::runtime {

// One object of a box. Its picture is owned by the object and unloaded with it.
struct AnimationObject {
    std::int32_t number = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    PictureHandle picture = 0;
    std::int32_t zoomHorizontal = kNaturalZoom;
    std::int32_t zoomVertical = kNaturalZoom;
    // The picture at its drawn size, made when first drawn and dropped when picture or zoom
    // change.
    QImage drawn;

    ~AnimationObject() { unloadPicture(picture); }

    std::int64_t drawnWidth() const { return scaled(pictureWidth(picture), zoomHorizontal); }
    std::int64_t drawnHeight() const { return scaled(pictureHeight(picture), zoomVertical); }

    static std::int64_t scaled(std::int32_t side, std::int32_t zoom)
    {
        // Both factors are positive, so integer division truncates as the program expects.
        return side > 0 ? static_cast<std::int64_t>(side) * zoom / kNaturalZoom : 0;
    }
};

namespace {

// An object drawn larger than this (32 megapixels, more than a camera photo has) is not kept at
// its drawn size; only the part that lies over the painted area is scaled, each time it is
// painted.
constexpr std::uint64_t kMaxCachedObjectPixels = 32ull * 1024 * 1024;

// A taken picture comes from a screen-like surface of 96 dots per inch.
constexpr std::int32_t kScreenPixelsPerMetre = 3780;

constexpr std::uint32_t kWhite = 0x00FFFFFF;

QRgb rgbOfColour(std::uint32_t colour)
{
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

std::uint32_t colourOfRgb(QRgb rgb)
{
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

std::int32_t saturated(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

// The picture as a Qt image, decoded for a destination of about wantedWidth x wantedHeight (a
// large JPEG is then decoded at a fraction of its size). Null when it cannot be had.
QImage pictureImage(PictureHandle picture, std::int64_t wantedWidth, std::int64_t wantedHeight)
{
    const std::optional<BgraImage> pixels =
        pictureForDrawing(picture, saturated(wantedWidth), saturated(wantedHeight));
    if (!pixels || pixels->width <= 0 || pixels->height <= 0)
        return {};
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(pixels->width) * 4;
    if (pixels->pixels.size() < rowBytes * static_cast<std::uint64_t>(pixels->height))
        return {};
    // The pixels are blue, green, red, alpha in memory: Qt's 32-bit ARGB on a little-endian machine.
    QImage image(pixels->width, pixels->height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (std::int32_t row = 0; row < pixels->height; ++row)
        std::memcpy(image.scanLine(row), pixels->pixels.data() + rowBytes * static_cast<std::uint64_t>(row),
                    rowBytes);
    return image;
}

// The image as a 24-bit BMP file. Its 32-bit RGB pixels are blue, green, red, 0xFF in memory
// on this little-endian machine, the form the shared writer takes.
std::vector<std::uint8_t> bmpFileOf(const QImage& image)
{
    const BgrxPixels pixels{image.constBits(), image.width(), image.height(), image.bytesPerLine()};
    return bmpFileFromBgrx(pixels, kScreenPixelsPerMetre, kScreenPixelsPerMetre);
}

// The box's widget: it paints what the box holds when the box is shown.
class AnimationBoxSurface : public QWidget {
public:
    AnimationBoxSurface(AnimationBoxUnit* box, QWidget* parent) : QWidget(parent), box_(box) {}
    void detach() { box_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (box_)
            box_->paintSurface(painter);
    }

private:
    AnimationBoxUnit* box_;
};

}  // namespace

AnimationBoxUnit::AnimationBoxUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
    : Unit(window, unitTemplate), background_(rgbOfColour(kWhite))
{
}

AnimationBoxUnit::~AnimationBoxUnit()
{
    // The window deletes its widgets after its units; until then the surface must not paint
    // objects that are gone.
    if (auto* surface = static_cast<AnimationBoxSurface*>(surface_.data()))
        surface->detach();
}

QWidget* AnimationBoxUnit::createWidget(QWidget* parent)
{
    auto* surface = new AnimationBoxSurface(this, parent);
    surface_ = surface;
    return surface;
}

std::optional<RuntimeValue> AnimationBoxUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kAnimationBoxBackground:
        return makeInt(static_cast<std::int32_t>(colourOfRgb(background_)));
    case kAnimationBoxObjectCount:
        return makeInt(static_cast<std::int32_t>(objects_.size()));
    default:
        return std::nullopt;
    }
}

bool AnimationBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t)
{
    if (index != kAnimationBoxBackground)
        return false;
    background_ = rgbOfColour(payloadLow);
    repaint();
    return true;
}

std::string AnimationBoxUnit::describe() const
{
    return "objects " + std::to_string(objects_.size());
}

std::int32_t AnimationBoxUnit::createObject(const AnimationObjectUnit& from, std::int32_t x, std::int32_t y)
{
    if (objects_.size() >= kMaxObjectsPerBox)
        return 0;
    auto object = std::make_unique<AnimationObject>();
    object->number = nextNumber_++;
    object->x = x;
    object->y = y;
    object->picture = loadPicture(from.pictureData());
    object->zoomHorizontal = from.zoomHorizontal();
    object->zoomVertical = from.zoomVertical();
    const std::int32_t number = object->number;
    objects_.push_back(std::move(object));
    repaint();
    return number;
}

bool AnimationBoxUnit::setObjectPicture(std::int32_t number, std::span<const std::uint8_t> pictureData)
{
    AnimationObject* object = findObject(number);
    if (!object)
        return false;
    // The old picture goes even when the new data is no picture: showing the old one would pass
    // it off as the picture of the new data.
    unloadPicture(object->picture);
    object->picture = loadPicture(pictureData);
    object->drawn = QImage();
    repaint();
    return object->picture != 0;
}

bool AnimationBoxUnit::setObjectZoom(std::int32_t number, std::int32_t horizontal, std::int32_t vertical)
{
    AnimationObject* object = findObject(number);
    if (!object || horizontal < 1 || vertical < 1)
        return false;
    if (object->zoomHorizontal != horizontal || object->zoomVertical != vertical) {
        object->zoomHorizontal = horizontal;
        object->zoomVertical = vertical;
        object->drawn = QImage();
        repaint();
    }
    return true;
}

std::int32_t AnimationBoxUnit::objectWidth(std::int32_t number) const
{
    const AnimationObject* object = findObject(number);
    return object ? saturated(object->drawnWidth()) : 0;
}

std::int32_t AnimationBoxUnit::objectHeight(std::int32_t number) const
{
    const AnimationObject* object = findObject(number);
    return object ? saturated(object->drawnHeight()) : 0;
}

std::vector<std::uint8_t> AnimationBoxUnit::takePicture(std::int32_t left, std::int32_t top, std::int32_t width,
                                                        std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return {};
    // The one picture cap, checked before the image to render into is made.
    if (!pictureSizeAllowed(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(background_);

    // Only what lies on the box shows; the rest of the area keeps the background.
    const std::int64_t clipLeft = std::max<std::int64_t>(0, -static_cast<std::int64_t>(left));
    const std::int64_t clipTop = std::max<std::int64_t>(0, -static_cast<std::int64_t>(top));
    const std::int64_t clipRight = std::min<std::int64_t>(width, boxWidth() - left);
    const std::int64_t clipBottom = std::min<std::int64_t>(height, boxHeight() - top);
    if (clipLeft < clipRight && clipTop < clipBottom) {
        QPainter painter(&image);
        painter.setClipRect(static_cast<int>(clipLeft), static_cast<int>(clipTop),
                            static_cast<int>(clipRight - clipLeft), static_cast<int>(clipBottom - clipTop));
        paintObjects(painter, left, top, width, height);
    }
    return bmpFileOf(image);
}

void AnimationBoxUnit::paintSurface(QPainter& painter)
{
    const std::int64_t width = boxWidth();
    const std::int64_t height = boxHeight();
    painter.fillRect(0, 0, saturated(width), saturated(height), QColor(background_));
    paintObjects(painter, 0, 0, width, height);
}

void AnimationBoxUnit::paintObjects(QPainter& painter, std::int64_t left, std::int64_t top, std::int64_t areaWidth,
                                    std::int64_t areaHeight)
{
    for (const auto& object : objects_) {
        const std::int64_t width = object->drawnWidth();
        const std::int64_t height = object->drawnHeight();
        const std::int64_t x = object->x - left;
        const std::int64_t y = object->y - top;
        if (width <= 0 || height <= 0 || x >= areaWidth || y >= areaHeight || x + width <= 0 || y + height <= 0)
            continue;

        if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxCachedObjectPixels) {
            if (object->drawn.isNull()) {
                QImage picture = pictureImage(object->picture, width, height);
                if (picture.isNull())
                    continue;
                // Smooth scaling averages the pixels a reduction folds together.
                object->drawn = picture.width() == width && picture.height() == height
                                    ? picture
                                    : picture.scaled(static_cast<int>(width), static_cast<int>(height),
                                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            }
            painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), object->drawn);
            continue;
        }

        // A very large object: scale only the part that lies over the area, so that no
        // coordinate leaves the area and no image of the whole drawn size is made.
        const QImage picture = pictureImage(object->picture, 0, 0);
        if (picture.isNull())
            continue;
        const double visibleLeft = static_cast<double>(std::max<std::int64_t>(x, 0));
        const double visibleTop = static_cast<double>(std::max<std::int64_t>(y, 0));
        const double visibleRight = static_cast<double>(std::min(x + width, areaWidth));
        const double visibleBottom = static_cast<double>(std::min(y + height, areaHeight));
        const double toPictureX = static_cast<double>(picture.width()) / static_cast<double>(width);
        const double toPictureY = static_cast<double>(picture.height()) / static_cast<double>(height);
        const QRectF target(visibleLeft, visibleTop, visibleRight - visibleLeft, visibleBottom - visibleTop);
        const QRectF source((visibleLeft - static_cast<double>(x)) * toPictureX,
                            (visibleTop - static_cast<double>(y)) * toPictureY, target.width() * toPictureX,
                            target.height() * toPictureY);
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture, source);
        painter.restore();
    }
}

AnimationObject* AnimationBoxUnit::findObject(std::int32_t number) const
{
    for (const auto& object : objects_)
        if (object->number == number)
            return object.get();
    return nullptr;
}

std::int64_t AnimationBoxUnit::boxWidth() const
{
    return widget() ? widget()->width() : template_.rect.width;
}

std::int64_t AnimationBoxUnit::boxHeight() const
{
    return widget() ? widget()->height() : template_.rect.height;
}

void AnimationBoxUnit::repaint()
{
    if (auto* surface = qobject_cast<QWidget*>(surface_.data()))
        surface->update();
}

}  // namespace quillora::runtime

namespace quillora {

using runtime::AnimationBoxUnit;
using runtime::AnimationObjectUnit;
using runtime::CommandArguments;
using runtime::unitOf;

void animationBoxCreateObject(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    auto* from = unitOf<AnimationObjectUnit>(arguments.at(1));
    *result = makeInt(box && from ? box->createObject(*from, arguments.int32(2), arguments.int32(3)) : 0);
}

void animationBoxSetObjectPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    *result = makeBool(box && box->setObjectPicture(arguments.int32(1), arguments.bytes(2)));
}

void animationBoxSetObjectZoom(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    *result = makeBool(box && box->setObjectZoom(arguments.int32(1), arguments.int32(2), arguments.int32(3)));
}

void animationBoxObjectWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    *result = makeInt(box ? box->objectWidth(arguments.int32(1)) : 0);
}

void animationBoxObjectHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    *result = makeInt(box ? box->objectHeight(arguments.int32(1)) : 0);
}

void animationBoxTakePicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    auto* box = unitOf<AnimationBoxUnit>(arguments.at(0));
    if (!box) {
        *result = runtime::byteSetResult({});
        return;
    }
    const std::vector<std::uint8_t> picture =
        box->takePicture(arguments.int32(1), arguments.int32(2), arguments.int32(3), arguments.int32(4));
    *result = runtime::byteSetResult(picture);
}

}  // namespace quillora
