#include "runtime/printing/draw_panel_picture.h"

#include "platform/device_context.h"
#include "platform/offscreen_surface.h"
#include "runtime/core/memory.h"
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/pixel_buffer.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>

namespace quillora::runtime {
namespace {

constexpr double kInchesPerMetre = 1.0 / 0.0254;

BgrxPixels pixelsOf(const platform::OffscreenSurface& surface)
{
    return {surface.pixels(), surface.width(), surface.height(), surface.stride()};
}

std::int32_t pixelsPerMetreOf(const platform::OffscreenSurface& surface)
{
    return static_cast<std::int32_t>(std::lround(surface.dotsPerInch() * kInchesPerMetre));
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

void* surfaceAsBmpByteSet(const platform::OffscreenSurface& surface, std::int64_t width, std::int64_t height)
{
    if (surface.isEmpty() || width <= 0 || height <= 0)
        return nullptr;
    // The picture answers to the one picture cap, checked before a stretched copy is made.
    if (!pictureSizeAllowed(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)))
        return nullptr;
    const std::optional<std::size_t> fileBytes =
        bgrxBmpFileBytes(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (!fileBytes)
        return nullptr;
    const std::int32_t pixelsPerMetre = pixelsPerMetreOf(surface);
    // The file is laid out straight into the byte set that is handed out: a page is 18.7 MB,
    // and a second copy of it beside the panel would only be there to be copied.
    const auto written = [&](const BgrxPixels& pixels) -> void* {
        if (!pixels.pixels)
            return nullptr;
        const UnfilledByteSet file = newUnfilledByteSetBlock(*fileBytes);
        if (!writeBmpFileFromBgrx(pixels, pixelsPerMetre, pixelsPerMetre, file.payload)) {
            freeBlock(file.block);
            return nullptr;
        }
        return file.block;
    };
    try {
        if (width == surface.width() && height == surface.height())
            return written(pixelsOf(surface));
        platform::OffscreenSurface stretched(static_cast<int>(width), static_cast<int>(height),
                                             platform::rgbColour(255, 255, 255), surface.dotsPerInch());
        if (stretched.isEmpty())
            return nullptr;
        platform::PictureView content;
        content.pixels = surface.pixels();
        content.width = surface.width();
        content.height = surface.height();
        content.stride = surface.stride();
        content.format = platform::PictureFormat::Bgrx32;
        if (!content.pixels)
            return nullptr;
        platform::DeviceContext context(stretched);
        context.drawPicture(content, 0, 0, static_cast<int>(width), static_cast<int>(height),
                            platform::PictureRasterMode::Copy);
        return written(pixelsOf(stretched));
    } catch (const std::exception&) {
        return nullptr;
    }
}

void* drainSurfaceAsBmpByteSet(platform::OffscreenSurface& surface)
{
    if (surface.isEmpty())
        return nullptr;
    const std::optional<std::size_t> fileBytes = bgrxBmpFileBytes(surface.width(), surface.height());
    if (!fileBytes)
        return nullptr;
    const BgrxPixels pixels = pixelsOf(surface);
    if (!pixels.pixels)
        return nullptr;
    try {
        const UnfilledByteSet file = newUnfilledByteSetBlock(*fileBytes);
        const std::function<void(std::int32_t)> rowsRead = [&surface](std::int32_t row) { surface.releaseRowsFrom(row); };
        if (!writeBmpFileFromBgrx(pixels, pixelsPerMetreOf(surface), pixelsPerMetreOf(surface), file.payload, rowsRead)) {
            freeBlock(file.block);
            return nullptr;
        }
        return file.block;
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace quillora::runtime
