#include "platform/offscreen_surface.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

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

// Pixels of this many bytes or more (a page; not a preview or a window's panel) are a mapping of
// their own, whose parts can be given back one by one (releaseRowsFrom).
constexpr std::size_t kOwnMappingBytes = std::size_t{4} << 20;

struct PixelMapping {
    void* address = nullptr;
    std::size_t length = 0;
};

void unmapPixels(void* info)
{
    auto* mapping = static_cast<PixelMapping*>(info);
    ::munmap(mapping->address, mapping->length);
    delete mapping;
}

// An unfilled image over a mapping of its own, or a null image when there is no memory for it.
QImage mappedImage(int width, int height)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * kBytesPerPixel;
    const std::size_t length = rowBytes * static_cast<std::size_t>(height);
    void* address = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return {};
    // A page is drawn on from the start again after every hand-over; in large pages it is faulted
    // in a few dozen times instead of thousands.
    ::madvise(address, length, MADV_HUGEPAGE);
    auto* mapping = new (std::nothrow) PixelMapping{address, length};
    if (!mapping) {
        ::munmap(address, length);
        return {};
    }
    QImage image(static_cast<uchar*>(address), width, height, static_cast<qsizetype>(rowBytes), kSurfaceFormat,
                 unmapPixels, mapping);
    if (image.isNull())
        unmapPixels(mapping);
    return image;
}

// A filled image of the size, or a null image when the size is refused or memory runs out.
QImage makeImage(int width, int height, ColourRef fill, double dotsPerInch)
{
    if (!sizeAccepted(width, height))
        return {};
    const bool ownMapping = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel >=
                            kOwnMappingBytes;
    QImage image = ownMapping ? mappedImage(width, height) : QImage(width, height, kSurfaceFormat);
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
    // While the surface is blank its image is null, and these say what the pixels would be.
    bool blank = false;
    ColourRef blankColour = 0;
    int blankWidth = 0;
    int blankHeight = 0;
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
    return !image_->blank && image_->image.isNull();
}

int OffscreenSurface::width() const
{
    return image_->blank ? image_->blankWidth : image_->image.width();
}

int OffscreenSurface::height() const
{
    return image_->blank ? image_->blankHeight : image_->image.height();
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
    // A blank surface takes the resolution when it makes its pixels.
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
        image_->blank = false;
        return true;
    }
    if (width == this->width() && height == this->height())
        return true;
    if (image_->blank && image_->blankColour == fill) {
        // Old and new area alike are that colour: the surface stays blank at its new size.
        if (!sizeAccepted(width, height))
            return false;
        image_->blankWidth = width;
        image_->blankHeight = height;
        return true;
    }
    QImage resized = makeImage(width, height, fill, dotsPerInch_);
    if (resized.isNull())
        return false;
    if (image_->blank) {
        // The kept part of a blank surface is its colour; its pixels are never made for that.
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(0, 0, std::min(width, image_->blankWidth), std::min(height, image_->blankHeight),
                         QColor::fromRgb(toQRgb(image_->blankColour)));
        image_->blank = false;
    } else if (!image_->image.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_->image);
    }
    image_->image = std::move(resized);
    return true;
}

void OffscreenSurface::releaseRowsFrom(int row)
{
    QImage& image = image_->image;
    if (image_->blank || image.isNull() || row >= image.height() || !image.isDetached() ||
        static_cast<std::size_t>(image.sizeInBytes()) < kOwnMappingBytes)
        return;
    row = std::max(row, 0);
    const long pageBytes = ::sysconf(_SC_PAGESIZE);
    if (pageBytes <= 0)
        return;
    // Only whole pages that lie within the released rows go, so nothing beside the pixels is
    // touched whoever allocated them.
    const auto base = reinterpret_cast<std::uintptr_t>(std::as_const(image).constBits());
    const auto page = static_cast<std::uintptr_t>(pageBytes);
    const std::uintptr_t first =
        base + static_cast<std::uintptr_t>(row) * static_cast<std::uintptr_t>(image.bytesPerLine());
    const std::uintptr_t start = (first + page - 1) / page * page;
    const std::uintptr_t end = (base + static_cast<std::uintptr_t>(image.sizeInBytes())) / page * page;
    if (start < end)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}

void OffscreenSurface::fill(ColourRef colour)
{
    if (isEmpty())
        return;
    image_->blankWidth = width();
    image_->blankHeight = height();
    image_->blankColour = colour;
    image_->blank = true;
    image_->image = QImage();
}

std::optional<ColourRef> OffscreenSurface::blankColour() const
{
    if (!image_->blank)
        return std::nullopt;
    return image_->blankColour;
}

void OffscreenSurface::materialise() const
{
    if (!image_->blank)
        return;
    image_->blank = false;
    // Without memory for the pixels the surface is empty, as a new surface of that size is.
    image_->image = makeImage(image_->blankWidth, image_->blankHeight, image_->blankColour, dotsPerInch_);
}

const std::uint8_t* OffscreenSurface::pixels() const
{
    materialise();
    return image_->image.isNull() ? nullptr : std::as_const(image_->image).constBits();
}

std::ptrdiff_t OffscreenSurface::stride() const
{
    materialise();
    return image_->image.isNull() ? 0 : image_->image.bytesPerLine();
}

const QImage& OffscreenSurface::image() const
{
    materialise();
    return image_->image;
}

QImage& OffscreenSurface::image()
{
    materialise();
    return image_->image;
}

}  // namespace quillora::platform
