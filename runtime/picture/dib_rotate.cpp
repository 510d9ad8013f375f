// Turning a bitmap by any angle.
//
// The turned bitmap is as large as the source rectangle's corners turned about the origin,
// each corner coordinate truncated to a whole number, so a 90-degree turn of a W x H bitmap
// gives H x W. Every target pixel then looks up the source pixel under its centre: the target
// pixel's centre, taken relative to the target's middle, is turned back and placed relative
// to the source's middle. A positive angle turns the picture clockwise as seen on screen: at
// 90 degrees the source's top row becomes the target's right-hand column.
//
// Sampling at pixel centres (x + 0.5) matters for the right angles the album uses: sampling
// at pixel corners would shift every even-sized turn by one pixel, dropping the source's top
// row at 90 degrees and leaving a stripe of background in its place.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/picture/dib_bitmap.h"
#include "runtime/picture/dib_pixels.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

namespace {

// Pi / 180 to fourteen places. Right-angle turns still come out exact, because the sine and
// cosine it gives are only ever a hair off 0 and 1 and targets sample pixel centres.
constexpr double kRadiansPerDegree = 0.01745329251994;

struct TurnedSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

TurnedSize turnedSize(std::int64_t width, std::int64_t height, double cosine, double sine)
{
    const double cornerX[4] = {0.0, static_cast<double>(width), 0.0, static_cast<double>(width)};
    const double cornerY[4] = {0.0, 0.0, static_cast<double>(height), static_cast<double>(height)};
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int corner = 0; corner < 4; ++corner) {
        const auto x = static_cast<std::int64_t>(std::trunc(cornerX[corner] * cosine - cornerY[corner] * sine));
        const auto y = static_cast<std::int64_t>(std::trunc(cornerX[corner] * sine + cornerY[corner] * cosine));
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    // Truncation can shrink a thin bitmap turned by an odd angle to nothing (1 x 1 at 45
    // degrees has corners less than one pixel apart); a picture turned stays a picture.
    return {std::max<std::int64_t>(1, maxX - minX), std::max<std::int64_t>(1, maxY - minY)};
}

// The target columns [begin, end) of one row whose centres may fall on source coordinate
// a + b * x inside [0, limit). The range is widened by a pixel on each side so rounding at its
// ends never loses a pixel; each pixel is still tested exactly. Skipping the columns that
// cannot hit the source keeps the cost of a thin bitmap turned by an odd angle proportional
// to the source instead of to its much larger bounding box.
struct ColumnRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

ColumnRange columnsOnSource(double a, double b, double limit, std::int64_t targetWidth)
{
    if (b == 0.0)
        return a >= -1.0 && a < limit + 1.0 ? ColumnRange{0, targetWidth} : ColumnRange{};
    const double atZero = (0.0 - a) / b;
    const double atLimit = (limit - a) / b;
    const double first = std::floor(std::min(atZero, atLimit)) - 1.0;
    const double last = std::ceil(std::max(atZero, atLimit)) + 2.0;
    const auto clamp = [targetWidth](double column) {
        if (!(column > 0.0))
            return std::int64_t{0};
        return column >= static_cast<double>(targetWidth) ? targetWidth : static_cast<std::int64_t>(column);
    };
    return {clamp(first), clamp(last)};
}

struct TurnGeometry {
    double cosine;
    double sine;
    const std::uint8_t* sourcePixels;  // stored rows, bottom row first
    std::uint64_t sourceStride;
    std::int64_t sourceWidth;
    std::int64_t sourceHeight;
    std::uint8_t* targetPixels;
    std::uint64_t targetStride;
    std::int64_t targetWidth;
    std::int64_t targetHeight;
};

// Fills every target pixel whose centre lies on the source with that source pixel. The target
// is walked in square tiles: a right-angle turn reads the source down its columns, and a tile
// keeps the source rows it touches in the cache. The bit count is a template argument so the
// pixel access folds to plain loads and stores.
template <std::uint32_t BitCount>
void sampleSource(const TurnGeometry& turn)
{
    constexpr std::int64_t kTile = 64;
    const double sourceWidth = static_cast<double>(turn.sourceWidth);
    const double sourceHeight = static_cast<double>(turn.sourceHeight);
    const double halfTargetHeight = static_cast<double>(turn.targetHeight) / 2.0;
    const double firstCentreX = 0.5 - static_cast<double>(turn.targetWidth) / 2.0;  // column 0, from the middle

    for (std::int64_t top = 0; top < turn.targetHeight; top += kTile) {
        for (std::int64_t left = 0; left < turn.targetWidth; left += kTile) {
            for (std::int64_t y = top; y < std::min(top + kTile, turn.targetHeight); ++y) {
                // Offsets from the middle run right and up, as in the turn's own coordinates.
                const double centreY = halfTargetHeight - (static_cast<double>(y) + 0.5);
                // Along the row the source point moves by (cosine, -sine) per target pixel.
                const double startX = sourceWidth / 2.0 + firstCentreX * turn.cosine - centreY * turn.sine;
                const double startY = sourceHeight / 2.0 - (firstCentreX * turn.sine + centreY * turn.cosine);
                const ColumnRange alongX = columnsOnSource(startX, turn.cosine, sourceWidth, turn.targetWidth);
                const ColumnRange alongY = columnsOnSource(startY, -turn.sine, sourceHeight, turn.targetWidth);
                const std::int64_t begin = std::max({left, alongX.begin, alongY.begin});
                const std::int64_t end = std::min({left + kTile, alongX.end, alongY.end});
                std::uint8_t* targetRow =
                    turn.targetPixels + static_cast<std::uint64_t>(turn.targetHeight - 1 - y) * turn.targetStride;
                for (std::int64_t x = begin; x < end; ++x) {
                    const double sourceX = startX + static_cast<double>(x) * turn.cosine;
                    const double sourceY = startY - static_cast<double>(x) * turn.sine;
                    // Inside the source both are non-negative, so truncation is the floor.
                    if (!(sourceX >= 0.0 && sourceY >= 0.0 && sourceX < sourceWidth && sourceY < sourceHeight))
                        continue;
                    const auto storedRow = static_cast<std::uint64_t>(turn.sourceHeight - 1 - static_cast<std::int64_t>(sourceY));
                    const std::uint32_t value = readDibPixelValue(turn.sourcePixels + storedRow * turn.sourceStride,
                                                                  static_cast<std::uint32_t>(sourceX), BitCount);
                    writeDibPixelValue(targetRow, static_cast<std::uint32_t>(x), BitCount, value);
                }
            }
        }
    }
}

}  // namespace

DibBitmap DibBitmap::rotate(double angleDegrees, std::uint32_t background)
{
    lastError_.clear();
    DibBitmap turned;
    const auto failBoth = [this, &turned](const char* reason) {
        fail(reason);
        turned.fail(reason);
        return std::move(turned);
    };
    if (empty())
        return failBoth(kDibNotCreated);
    if (!std::isfinite(angleDegrees))
        return failBoth(kDibUnsupportedData);

    const double theta = angleDegrees * kRadiansPerDegree;
    const double cosine = std::cos(theta);
    const double sine = std::sin(theta);
    const BitmapInfoHeader source = header();
    const TurnedSize size = turnedSize(source.width, source.height, cosine, sine);
    const std::uint64_t targetStride = formats::bmpStride(static_cast<std::uint64_t>(size.width), source.bitCount);
    // The turned bitmap answers to the same pixel cap as a loaded one: a large page turned by
    // an odd angle has a bounding box up to twice its area.
    if (size.width > std::numeric_limits<std::int32_t>::max() || size.height > std::numeric_limits<std::int32_t>::max() ||
        !pictureSizeAllowed(static_cast<std::uint64_t>(size.width), static_cast<std::uint64_t>(size.height)))
        return failBoth(kDibBufferTooSmall);

    BitmapInfoHeader target = source;
    target.width = static_cast<std::int32_t>(size.width);
    target.height = static_cast<std::int32_t>(size.height);
    target.imageSize = static_cast<std::uint32_t>(targetStride * static_cast<std::uint64_t>(size.height));
    // Indexed bitmaps keep their colour table. Pixels move as stored: colour-table indexes, or
    // for deeper bitmaps the pixel's own bytes, so nothing is lost in a colour round trip.
    std::optional<std::vector<std::uint8_t>> file = newFileImage(target, colourTable());
    if (!file)
        return failBoth(kDibBufferTooSmall);
    turned.file_ = std::move(*file);

    const std::uint32_t bitCount = source.bitCount;
    const std::uint32_t fillValue = bitCount >= 16 ? dibDirectValue(background, bitCount)
                                                   : nearestDibTableIndex(colourTable(), background);
    std::uint8_t* targetPixels = turned.row(static_cast<std::uint32_t>(size.height - 1));
    for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(size.width); ++x)
        writeDibPixelValue(targetPixels, x, bitCount, fillValue);
    for (std::uint64_t stored = 1; stored < static_cast<std::uint64_t>(size.height); ++stored)
        std::memcpy(targetPixels + stored * targetStride, targetPixels, static_cast<std::size_t>(targetStride));

    const TurnGeometry geometry{cosine,
                                sine,
                                row(static_cast<std::uint32_t>(source.height - 1)),
                                stride(),
                                source.width,
                                source.height,
                                targetPixels,
                                targetStride,
                                size.width,
                                size.height};
    switch (bitCount) {
    case 1:
        sampleSource<1>(geometry);
        break;
    case 4:
        sampleSource<4>(geometry);
        break;
    case 8:
        sampleSource<8>(geometry);
        break;
    case 16:
        sampleSource<16>(geometry);
        break;
    case 24:
        sampleSource<24>(geometry);
        break;
    default:
        sampleSource<32>(geometry);
        break;
    }
    return turned;
}

}  // namespace quillora::runtime
