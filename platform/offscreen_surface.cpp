#include "platform/offscreen_surface.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace quillora::platform {
namespace {

// Format_RGB32 keeps each pixel as the 32-bit value 0xFFRRGGBB, which on a little-endian machine
// lies in memory as blue, green, red, 0xFF: the byte order of bitmap rows.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "surface pixels are handed out as BGRA bytes");
constexpr QImage::Format kSurfaceFormat = QImage::Format_RGB32;
constexpr std::size_t kBytesPerPixel = 4;

constexpr double kMetresPerInch = 0.0254;

QRgb toQRgb(ColourRef colour)
{
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

bool sizeAccepted(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    return pixelCount <= OffscreenSurface::kMaxPixelBytes / kBytesPerPixel;
}

// A filled image of the size, or a null image when the size is refused or memory runs out.
QImage makeImage(int width, int height, ColourRef fill, double dotsPerInch)
{
    if (!sizeAccepted(width, height))
        return {};
    QImage image(width, height, kSurfaceFormat);
    if (image.isNull())
        return {};
    image.fill(toQRgb(fill));
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / kMetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

}  // namespace

struct OffscreenSurface::Image {
    QImage image;
};

OffscreenSurface::OffscreenSurface() : image_(std::make_unique<Image>()) {}

OffscreenSurface::OffscreenSurface(int width, int height, ColourRef fill, double dotsPerInch)
    : image_(std::make_unique<Image>())
    , dotsPerInch_(dotsPerInch > 0.0 ? dotsPerInch : 96.0)
{
    image_->image = makeImage(width, height, fill, dotsPerInch_);
}

OffscreenSurface::~OffscreenSurface() = default;

bool OffscreenSurface::isEmpty() const
{
    return image_->image.isNull();
}

int OffscreenSurface::width() const
{
    return image_->image.width();
}

int OffscreenSurface::height() const
{
    return image_->image.height();
}

double OffscreenSurface::dotsPerInch() const
{
    return dotsPerInch_;
}

void OffscreenSurface::setDotsPerInch(double dotsPerInch)
{
    if (!(dotsPerInch > 0.0))
        return;
    dotsPerInch_ = dotsPerInch;
    if (image_->image.isNull())
        return;
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / kMetresPerInch));
    image_->image.setDotsPerMeterX(dotsPerMetre);
    image_->image.setDotsPerMeterY(dotsPerMetre);
}

bool OffscreenSurface::resize(int width, int height, ColourRef fill)
{
    if (width <= 0 || height <= 0) {
        image_->image = QImage();
        return true;
    }
    if (width == this->width() && height == this->height())
        return true;
    QImage resized = makeImage(width, height, fill, dotsPerInch_);
    if (resized.isNull())
        return false;
    if (!image_->image.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_->image);
    }
    image_->image = std::move(resized);
    return true;
}

void OffscreenSurface::fill(ColourRef colour)
{
    if (!image_->image.isNull())
        image_->image.fill(toQRgb(colour));
}

const std::uint8_t* OffscreenSurface::pixels() const
{
    return image_->image.isNull() ? nullptr : image_->image.constBits();
}

std::ptrdiff_t OffscreenSurface::stride() const
{
    return image_->image.isNull() ? 0 : image_->image.bytesPerLine();
}

const QImage& OffscreenSurface::image() const
{
    return image_->image;
}

QImage& OffscreenSurface::image()
{
    return image_->image;
}

}  // namespace quillora::platform
