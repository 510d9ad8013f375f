#include "runtime/printing/draw_panel_picture.h"

#include "platform/device_context.h"
#include "platform/offscreen_surface.h"
#include "runtime/picture/picture_record.h"

#include <algorithm>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>

namespace quillora::runtime {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kPixelOffset = kFileHeaderBytes + sizeof(BitmapInfoHeader);  // no colour table
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr double kInchesPerMetre = 1.0 / 0.0254;

void putU16(std::uint8_t* out, std::uint16_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::uint8_t* out, std::uint32_t value)
{
    putU16(out, static_cast<std::uint16_t>(value));
    putU16(out + 2, static_cast<std::uint16_t>(value >> 16));
}

// Bottom-up 24-bit rows from the surface's top-down blue, green, red, 0xFF pixels.
void writeRows(const platform::OffscreenSurface& surface, std::uint8_t* out, std::size_t rowBytes)
{
    const auto width = static_cast<std::size_t>(surface.width());
    const int height = surface.height();
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = surface.pixels() + static_cast<std::ptrdiff_t>(height - 1 - row) * surface.stride();
        std::uint8_t* line = out + static_cast<std::size_t>(row) * rowBytes;
        for (std::size_t x = 0; x < width; ++x) {
            line[3 * x] = in[4 * x];
            line[3 * x + 1] = in[4 * x + 1];
            line[3 * x + 2] = in[4 * x + 2];
        }
    }
}

std::vector<std::uint8_t> encode(const platform::OffscreenSurface& surface, std::size_t rowBytes,
                                 std::size_t imageBytes)
{
    std::vector<std::uint8_t> file(kPixelOffset + imageBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    putU32(&file[2], static_cast<std::uint32_t>(file.size()));
    // Bytes 6 to 9 are the two reserved words, left zero.
    putU32(&file[10], static_cast<std::uint32_t>(kPixelOffset));

    const auto pixelsPerMetre = static_cast<std::int32_t>(std::lround(surface.dotsPerInch() * kInchesPerMetre));
    BitmapInfoHeader header{};
    header.size = sizeof(BitmapInfoHeader);
    header.width = surface.width();
    header.height = surface.height();  // positive: rows bottom-up
    header.planes = 1;
    header.bitCount = kBitsPerPixel;
    header.compression = 0;
    header.imageSize = static_cast<std::uint32_t>(imageBytes);
    header.xPixelsPerMetre = pixelsPerMetre;
    header.yPixelsPerMetre = pixelsPerMetre;
    // Bitmap headers are little-endian, as this machine is; the record has no padding.
    static_assert(std::endian::native == std::endian::little);
    std::memcpy(&file[kFileHeaderBytes], &header, sizeof header);

    writeRows(surface, &file[kPixelOffset], rowBytes);
    return file;
}

}  // namespace

std::int64_t requestedPictureSide(std::int32_t ownSide, std::optional<std::int64_t> argument)
{
    if (!argument || *argument == 0)
        return ownSide;
    if (*argument > 0)
        return *argument;
    // A percentage far beyond any sensible size still stays within 64 bits: the own side is a
    // 32-bit number and the per cent value is held below 2^31.
    const std::int64_t percent =
        std::clamp<std::int64_t>(-*argument, kMinimumPicturePercent, std::numeric_limits<std::int32_t>::max());
    return std::int64_t{ownSide} * percent / 100;
}

std::vector<std::uint8_t> surfaceAsBmpFile(const platform::OffscreenSurface& surface, std::int64_t width,
                                           std::int64_t height)
{
    if (surface.isEmpty() || width <= 0 || height <= 0)
        return {};
    // BMP rows are padded to four bytes.
    constexpr std::int64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    if (width > kMaxSide || height > kMaxSide)
        return {};
    const auto rowBytes = static_cast<std::size_t>(paddedRowBytes(static_cast<std::uint64_t>(width) * 3));
    if (rowBytes > (kMaxPanelPictureBytes - kPixelOffset) / static_cast<std::size_t>(height))
        return {};
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(height);
    try {
        if (width == surface.width() && height == surface.height())
            return encode(surface, rowBytes, imageBytes);
        platform::OffscreenSurface stretched(static_cast<int>(width), static_cast<int>(height),
                                             platform::rgbColour(255, 255, 255), surface.dotsPerInch());
        if (stretched.isEmpty())
            return {};
        platform::PictureView content;
        content.pixels = surface.pixels();
        content.width = surface.width();
        content.height = surface.height();
        content.stride = surface.stride();
        content.format = platform::PictureFormat::Bgrx32;
        platform::DeviceContext context(stretched);
        context.drawPicture(content, 0, 0, static_cast<int>(width), static_cast<int>(height),
                            platform::PictureRasterMode::Copy);
        return encode(stretched, rowBytes, imageBytes);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace quillora::runtime
