#include "platform/device_context.h"

#include "platform/device_fonts.h"
#include "platform/device_pictures.h"
#include "platform/offscreen_surface.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace quillora::platform {
namespace {

// Logical units per inch of the scale modes after pixels: 0.1 mm, 0.01 mm, 0.01 inch,
// 0.001 inch and twips.
constexpr std::array<double, 6> kUnitsPerInch = {0.0, 254.0, 2540.0, 100.0, 1000.0, 1440.0};

// Device coordinates beyond this are outside every surface and printer page; keeping shapes and
// pictures within it keeps Qt's rasteriser inside its fixed-point range.
constexpr int kCoordinateLimit = 1 << 24;

// Pictures of at most this many pixels are kept exact on devices that compress pictures.
constexpr std::int64_t kLosslessPicturePixels = 128 * 128;

int clampToInt(double value)
{
    if (!(value == value))
        return 0;
    constexpr double lowest = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<int>::max());
    return static_cast<int>(std::clamp(value, lowest, highest));
}

int roundToInt(double value)
{
    return clampToInt(std::round(value));
}

QColor toQColor(ColourRef colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

ColourRef invertedColour(ColourRef colour)
{
    return ~colour & 0x00FFFFFFu;
}

// What a pen or brush does under one binary raster operation. Devices with raster operations
// (off-screen surfaces) use the composition mode. Others (printers) can only paint colour over
// what is there, which is exact for the operations that ignore the destination; the rest are
// drawn as a copy.
enum class PaintEffect { Colour, Black, White, InvertedColour, Nothing };

struct BinaryRasterOperation {
    QPainter::CompositionMode mode;
    PaintEffect withoutRasterOps;
};

// Indexed by draw mode value; the raster operation code is value + 1. P is the pen or brush,
// D the destination.
constexpr std::array<BinaryRasterOperation, 16> kDrawModes = {{
    {QPainter::RasterOp_ClearDestination, PaintEffect::Black},                 // 0: black
    {QPainter::RasterOp_NotSourceAndNotDestination, PaintEffect::Colour},      // ~(P | D)
    {QPainter::RasterOp_NotSourceAndDestination, PaintEffect::Colour},         // ~P & D
    {QPainter::RasterOp_NotSource, PaintEffect::InvertedColour},               // ~P
    {QPainter::RasterOp_SourceAndNotDestination, PaintEffect::Colour},         // P & ~D
    {QPainter::RasterOp_NotDestination, PaintEffect::Colour},                  // ~D
    {QPainter::RasterOp_SourceXorDestination, PaintEffect::Colour},            // P ^ D
    {QPainter::RasterOp_NotSourceOrNotDestination, PaintEffect::Colour},       // ~(P & D)
    {QPainter::RasterOp_SourceAndDestination, PaintEffect::Colour},            // P & D
    {QPainter::RasterOp_NotSourceXorDestination, PaintEffect::Colour},         // ~(P ^ D)
    {QPainter::CompositionMode_Destination, PaintEffect::Nothing},             // D
    {QPainter::RasterOp_NotSourceOrDestination, PaintEffect::Colour},          // ~P | D
    {QPainter::CompositionMode_SourceOver, PaintEffect::Colour},               // P
    {QPainter::RasterOp_SourceOrNotDestination, PaintEffect::Colour},          // P | ~D
    {QPainter::RasterOp_SourceOrDestination, PaintEffect::Colour},             // P | D
    {QPainter::RasterOp_SetDestination, PaintEffect::White},                   // 1: white
}};
constexpr int kCopyPenDrawMode = 12;
constexpr int kNoOperationDrawMode = 10;

// Only Qt's raster engine (images) carries raster operations out. The PDF engine behind printers
// claims the feature but paints every composition mode as a plain copy.
bool hasRasterOperations(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster;
}

// Fonts need the windowing application; without one, text is neither measured nor drawn.
bool fontsAvailable()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

Qt::BrushStyle brushStyle(int type)
{
    switch (type) {
    case kTransparentBrush: return Qt::NoBrush;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;   // upward: bottom-left to top-right
    case 5: return Qt::FDiagPattern;   // downward: top-left to bottom-right
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

QPainter::CompositionMode pictureComposition(PictureRasterMode mode)
{
    switch (mode) {
    case PictureRasterMode::InvertedCopy: return QPainter::RasterOp_NotSource;
    case PictureRasterMode::ExclusiveOr: return QPainter::RasterOp_SourceXorDestination;
    case PictureRasterMode::Or: return QPainter::RasterOp_SourceOrDestination;
    case PictureRasterMode::And: return QPainter::RasterOp_SourceAndDestination;
    case PictureRasterMode::Copy: break;
    }
    return QPainter::CompositionMode_Source;
}

}  // namespace

ScaleMode scaleModeFromValue(int value)
{
    return static_cast<ScaleMode>(std::clamp(value, 0, 5));
}

double logicalUnitsPerInch(ScaleMode mode, double deviceDotsPerInch)
{
    if (mode == ScaleMode::Pixel)
        return deviceDotsPerInch;
    return kUnitsPerInch[static_cast<std::size_t>(mode)];
}

PictureRasterMode pictureRasterModeFromValue(int value)
{
    if (value < 1 || value > 5)
        return PictureRasterMode::Copy;
    return static_cast<PictureRasterMode>(value);
}

struct DeviceContext::State {
    OffscreenSurface* surface = nullptr;
    QPainter* ownersPainter = nullptr;
    double ownersDotsPerInchX = 96.0;
    double ownersDotsPerInchY = 96.0;

    // A fresh context: pixel mode, a thin black pen, a white brush, black text on an opaque
    // white background, copy, and a 12-pixel font of the application's default face.
    ScaleMode scaleMode = ScaleMode::Pixel;
    PenType penType = PenType::Solid;
    int penWidth = 0;
    ColourRef penColour = rgbColour(0, 0, 0);
    int brushType = kSolidBrush;
    ColourRef brushColour = rgbColour(255, 255, 255);
    ColourRef textColour = rgbColour(0, 0, 0);
    ColourRef textBackground = rgbColour(255, 255, 255);
    int drawMode = kCopyPenDrawMode;
    LogicalFont font;

    double dotsPerInchX() const { return surface ? surface->dotsPerInch() : ownersDotsPerInchX; }
    double dotsPerInchY() const { return surface ? surface->dotsPerInch() : ownersDotsPerInchY; }

    double devicePerLogicalX() const
    {
        return dotsPerInchX() / logicalUnitsPerInch(scaleMode, dotsPerInchX());
    }
    double devicePerLogicalY() const
    {
        return dotsPerInchY() / logicalUnitsPerInch(scaleMode, dotsPerInchY());
    }
    int toDeviceX(int logical) const
    {
        return scaleMode == ScaleMode::Pixel ? logical : roundToInt(logical * devicePerLogicalX());
    }
    int toDeviceY(int logical) const
    {
        return scaleMode == ScaleMode::Pixel ? logical : roundToInt(logical * devicePerLogicalY());
    }
    int toLogicalX(int device) const
    {
        return scaleMode == ScaleMode::Pixel ? device : roundToInt(device / devicePerLogicalX());
    }
    int toLogicalY(int device) const
    {
        return scaleMode == ScaleMode::Pixel ? device : roundToInt(device / devicePerLogicalY());
    }

    // A logical rectangle in device pixels: both edges are mapped, so adjoining rectangles
    // stay adjoining whatever the rounding. Edges far outside any device are pulled in to the
    // coordinate limit, which changes nothing that can be seen.
    QRect toDeviceRect(int x, int y, int width, int height) const
    {
        const auto limited = [](int device) { return std::clamp(device, -kCoordinateLimit, kCoordinateLimit); };
        const int left = limited(toDeviceX(x));
        const int top = limited(toDeviceY(y));
        const int right = limited(toDeviceX(clampToInt(double(x) + width)));
        const int bottom = limited(toDeviceY(clampToInt(double(y) + height)));
        return QRect(QPoint(left, top), QSize(right - left, bottom - top));
    }

    QFont deviceFont() const
    {
        const int height = font.height == std::numeric_limits<int>::min() ? 0 : std::abs(font.height);
        return makeDeviceFont(font, toDeviceY(height));
    }

    const QPaintDevice* metricsDevice() const
    {
        if (ownersPainter)
            return ownersPainter->device();
        if (!surface || surface->isEmpty())
            return nullptr;
        // A blank surface that finds no memory for its pixels has no device to measure with.
        const QImage& image = surface->image();
        return image.isNull() ? nullptr : &image;
    }

    // Runs `draw` on a painter of the target with a clean state: the owner's painter between
    // save and restore, or a painter opened on the surface for this one operation (which keeps
    // the surface free to be resized between operations).
    template <typename Draw>
    void paint(Draw&& draw)
    {
        if (ownersPainter) {
            if (!ownersPainter->isActive())
                return;
            ownersPainter->save();
            draw(*ownersPainter);
            ownersPainter->restore();
            return;
        }
        if (!surface || surface->isEmpty())
            return;
        // A blank surface makes its pixels here; without memory for them nothing is drawn.
        QImage& image = surface->image();
        if (image.isNull())
            return;
        QPainter painter(&image);
        draw(painter);
    }

    // Selects the draw mode for pens and brushes; false when it leaves the destination as it is.
    bool applyDrawMode(QPainter& painter) const
    {
        if (drawMode == kNoOperationDrawMode)
            return false;
        painter.setCompositionMode(hasRasterOperations(painter)
                                       ? kDrawModes[static_cast<std::size_t>(drawMode)].mode
                                       : QPainter::CompositionMode_SourceOver);
        return true;
    }

    // The colour a pen or brush paints with under the draw mode.
    QColor drawColour(const QPainter& painter, ColourRef colour) const
    {
        if (hasRasterOperations(painter))
            return toQColor(colour);
        switch (kDrawModes[static_cast<std::size_t>(drawMode)].withoutRasterOps) {
        case PaintEffect::Black: return Qt::black;
        case PaintEffect::White: return Qt::white;
        case PaintEffect::InvertedColour: return toQColor(invertedColour(colour));
        case PaintEffect::Colour:
        case PaintEffect::Nothing: break;
        }
        return toQColor(colour);
    }

    int devicePenWidth() const
    {
        return std::max(1, toDeviceX(penWidth));
    }

    QPen devicePen(const QColor& colour) const
    {
        const int width = devicePenWidth();
        Qt::PenStyle style = Qt::SolidLine;
        switch (penType) {
        case PenType::Dash: style = Qt::DashLine; break;
        case PenType::Dot: style = Qt::DotLine; break;
        case PenType::DashDot: style = Qt::DashDotLine; break;
        case PenType::DashDotDot: style = Qt::DashDotDotLine; break;
        case PenType::Null: style = Qt::NoPen; break;
        case PenType::Solid:
        case PenType::InsideFrame: break;
        }
        if (width > 1 && style != Qt::NoPen)
            style = Qt::SolidLine;
        QPen pen(colour, width, style);
        // A thin line leaves out its last pixel, so lines drawn end to end meet without
        // overlapping; wide lines have round ends.
        pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
        pen.setJoinStyle(width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
        return pen;
    }

    QBrush deviceBrush(const QColor& colour) const
    {
        return QBrush(colour, brushStyle(brushType));
    }

    // The gaps between hatch lines and between the dashes of a pen show the background colour,
    // unless it is the transparent one.
    void applyBackgroundMode(QPainter& painter) const
    {
        if (textBackground == kTransparentTextBackground) {
            painter.setBackgroundMode(Qt::TransparentMode);
        } else {
            painter.setBackgroundMode(Qt::OpaqueMode);
            painter.setBackground(toQColor(textBackground));
        }
    }
};

DeviceContext::DeviceContext(OffscreenSurface& surface) : state_(std::make_unique<State>())
{
    state_->surface = &surface;
}

DeviceContext::DeviceContext(QPainter& painter, double dotsPerInchX, double dotsPerInchY)
    : state_(std::make_unique<State>())
{
    state_->ownersPainter = &painter;
    state_->ownersDotsPerInchX = dotsPerInchX > 0.0 ? dotsPerInchX : 96.0;
    state_->ownersDotsPerInchY = dotsPerInchY > 0.0 ? dotsPerInchY : 96.0;
}

DeviceContext::~DeviceContext() = default;

void DeviceContext::setScaleMode(ScaleMode mode)
{
    state_->scaleMode = scaleModeFromValue(static_cast<int>(mode));
}

ScaleMode DeviceContext::scaleMode() const
{
    return state_->scaleMode;
}

double DeviceContext::dotsPerInchX() const
{
    return state_->dotsPerInchX();
}

double DeviceContext::dotsPerInchY() const
{
    return state_->dotsPerInchY();
}

int DeviceContext::toDeviceX(int logical) const
{
    return state_->toDeviceX(logical);
}

int DeviceContext::toDeviceY(int logical) const
{
    return state_->toDeviceY(logical);
}

int DeviceContext::toLogicalX(int device) const
{
    return state_->toLogicalX(device);
}

int DeviceContext::toLogicalY(int device) const
{
    return state_->toLogicalY(device);
}

void DeviceContext::setPen(PenType type, int width, ColourRef colour)
{
    state_->penType = static_cast<PenType>(std::clamp(static_cast<int>(type), 0, 6));
    state_->penWidth = std::clamp(width, 0, 32767);
    state_->penColour = colour & 0x00FFFFFFu;
}

void DeviceContext::setBrush(int type, ColourRef colour)
{
    state_->brushType = std::clamp(type, 0, 55);
    state_->brushColour = colour & 0x00FFFFFFu;
}

void DeviceContext::setTextColour(ColourRef colour)
{
    state_->textColour = colour & 0x00FFFFFFu;
}

void DeviceContext::setTextBackground(ColourRef colour)
{
    state_->textBackground =
        colour == kTransparentTextBackground ? kTransparentTextBackground : colour & 0x00FFFFFFu;
}

void DeviceContext::setDrawMode(int value)
{
    state_->drawMode = std::clamp(value, 0, 15);
}

void DeviceContext::setFont(const LogicalFont& font)
{
    state_->font = font;
}

const LogicalFont& DeviceContext::font() const
{
    return state_->font;
}

TextExtent DeviceContext::textExtent(std::string_view utf8Text) const
{
    if (!fontsAvailable())
        return {};
    const QString text = QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    const QPaintDevice* device = state_->metricsDevice();
    const QFont font = state_->deviceFont();
    const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
    return {state_->toLogicalX(metrics.horizontalAdvance(text)), state_->toLogicalY(metrics.height())};
}

int DeviceContext::deviceLineHeight(std::string_view) const
{
    if (!fontsAvailable())
        return 0;
    const QPaintDevice* device = state_->metricsDevice();
    const QFont font = state_->deviceFont();
    const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
    return metrics.height();
}

void DeviceContext::drawText(int x, int y, std::string_view utf8Text)
{
    drawTextAtDevice(state_->toDeviceX(x), state_->toDeviceY(y), utf8Text);
}

void DeviceContext::drawTextAtDevice(int deviceX, int deviceY, std::string_view utf8Text)
{
    if (!fontsAvailable() || utf8Text.empty())
        return;
    const QString text = QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    const QFont font = state_->deviceFont();
    const QPoint origin(deviceX, deviceY);
    state_->paint([&](QPainter& painter) {
        const QFontMetrics metrics(font, painter.device());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font);
        painter.translate(origin);
        // Escapement turns counter-clockwise; with y growing downward that is a negative angle.
        if (state_->font.escapement % 3600 != 0)
            painter.rotate(-state_->font.escapement / 10.0);
        if (state_->textBackground != kTransparentTextBackground)
            painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                             toQColor(state_->textBackground));
        painter.setPen(toQColor(state_->textColour));
        painter.drawText(QPoint(0, metrics.ascent()), text);
    });
}

void DeviceContext::fillRectangle(int x, int y, int width, int height, ColourRef colour)
{
    const QRect area = state_->toDeviceRect(x, y, width, height);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    state_->paint([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, toQColor(colour));
    });
}

void DeviceContext::drawRectangle(int x, int y, int width, int height)
{
    const QRect area = state_->toDeviceRect(x, y, width, height);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    state_->paint([&](QPainter& painter) {
        if (!state_->applyDrawMode(painter))
            return;
        painter.setRenderHint(QPainter::Antialiasing, false);
        state_->applyBackgroundMode(painter);
        const QPen pen = state_->devicePen(state_->drawColour(painter, state_->penColour));
        painter.setBrush(state_->deviceBrush(state_->drawColour(painter, state_->brushColour)));
        painter.setPen(pen);
        if (pen.style() == Qt::NoPen) {
            painter.drawRect(area);
            return;
        }
        // The outline runs along the centres of the rectangle's edge pixels; an inside-frame pen
        // is moved inward so that all of its width stays within the rectangle.
        const double inset = state_->penType == PenType::InsideFrame ? pen.widthF() / 2.0 : 0.5;
        painter.drawRect(QRectF(area).adjusted(inset, inset, -inset, -inset));
    });
}

void DeviceContext::drawLine(int x1, int y1, int x2, int y2)
{
    const QPoint from(state_->toDeviceX(x1), state_->toDeviceY(y1));
    const QPoint to(state_->toDeviceX(x2), state_->toDeviceY(y2));
    state_->paint([&](QPainter& painter) {
        if (!state_->applyDrawMode(painter))
            return;
        painter.setRenderHint(QPainter::Antialiasing, false);
        state_->applyBackgroundMode(painter);
        painter.setPen(state_->devicePen(state_->drawColour(painter, state_->penColour)));
        painter.drawLine(from, to);
    });
}

void DeviceContext::drawPicture(const PictureView& picture, int deviceX, int deviceY,
                                int deviceWidth, int deviceHeight, PictureRasterMode mode)
{
    if (deviceWidth <= 0 || deviceHeight <= 0 || deviceWidth > kCoordinateLimit
        || deviceHeight > kCoordinateLimit || std::abs(deviceX) > kCoordinateLimit
        || std::abs(deviceY) > kCoordinateLimit)
        return;
    // The painter only ever enlarges (repeating pixels); shrinking is done beforehand by area
    // averaging, which keeps a reduced photograph's look, and also keeps the intermediate image
    // no larger than the picture.
    QImage image = reducedPicture(picture, deviceWidth, deviceHeight);
    if (image.isNull())
        return;
    const QRect target(deviceX, deviceY, deviceWidth, deviceHeight);
    state_->paint([&](QPainter& painter) {
        QPainter::CompositionMode composition = pictureComposition(mode);
        if (!hasRasterOperations(painter)) {
            // A printer paints over the paper: an inverted copy is still exact, the operations
            // that combine with what is already there are drawn as copies.
            if (mode == PictureRasterMode::InvertedCopy)
                image.invertPixels();
            composition = QPainter::CompositionMode_SourceOver;
        }
        painter.setCompositionMode(composition);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // A PDF stores pictures as JPEG, whose colour subsampling smears the pixels of a small
        // picture (an icon, a line of a few pixels); those are stored losslessly.
        painter.setRenderHint(QPainter::LosslessImageRendering,
                              std::int64_t{image.width()} * image.height() <= kLosslessPicturePixels);
        painter.drawImage(target, image);
    });
}

}  // namespace quillora::platform
