#include "runtime/printing/draw_panel_picture.h"

#include "platform/device_context.h"
#include "platform/offscreen_surface.h"
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/pixel_buffer.h"

#include <algorithm>
#include <cmath>
#include <exception>
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

std::vector<std::uint8_t> surfaceAsBmpFile(const platform::OffscreenSurface& surface, std::int64_t width,
                                           std::int64_t height)
{
    if (surface.isEmpty() || width <= 0 || height <= 0)
        return {};
    // The picture answers to the one picture cap, checked before a stretched copy is made.
    if (!pictureSizeAllowed(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)))
        return {};
    const std::int32_t pixelsPerMetre = pixelsPerMetreOf(surface);
    try {
        if (width == surface.width() && height == surface.height())
            return bmpFileFromBgrx(pixelsOf(surface), pixelsPerMetre, pixelsPerMetre);
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
        return bmpFileFromBgrx(pixelsOf(stretched), pixelsPerMetre, pixelsPerMetre);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace quillora::runtime
