// The bitmap the image-encoding service hands out as a GpImage: pixels decoded once from the
// stream, kept as top-down rows of red, green and blue, with the resolution the data carried.
#pragma once

#include "quillora/win_abi.h"

#include <cstdint>
#include <vector>

namespace quillora::dlls {

// The most pixels one bitmap may have: 128 megapixels, the same bound the program's own
// picture code keeps (512 MB at four bytes a pixel). An A0 page at 0.1 mm per pixel fits; a
// forged header asking for more is refused before anything is allocated.
inline constexpr std::uint64_t kMaxServiceBitmapPixels = 128ull * 1024 * 1024;

// A bitmap without a resolution of its own is taken at the screen's 96 dots per inch, as the
// service does for such data.
inline constexpr std::int32_t kDefaultPixelsPerMetre = 3780;

struct ServiceBitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t xPixelsPerMetre = kDefaultPixelsPerMetre;
    std::int32_t yPixelsPerMetre = kDefaultPixelsPerMetre;
    std::vector<std::uint8_t> rgb;  // width x 3 bytes per row, rows top-down, no padding

    const std::uint8_t* row(std::uint32_t y) const { return rgb.data() + std::size_t{y} * width * 3; }
    std::uint8_t* row(std::uint32_t y) { return rgb.data() + std::size_t{y} * width * 3; }

    // Dots per inch of each axis, the unit most formats store.
    double xDotsPerInch() const { return xPixelsPerMetre * 0.0254; }
    double yDotsPerInch() const { return yPixelsPerMetre * 0.0254; }
};

// True when width x height pixels may be held.
inline bool serviceBitmapSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxServiceBitmapPixels && height <= kMaxServiceBitmapPixels / width;
}

// Bitmaps handed out and not disposed yet. A GpImage the service did not make (or one already
// disposed) is never read: every export looks the pointer up first.
win::GpImage* registerBitmap(ServiceBitmap* bitmap);
ServiceBitmap* findBitmap(win::GpImage* image);
// Forgets and frees the bitmap; false when it is not a live bitmap of this service.
bool disposeBitmap(win::GpImage* image);

}  // namespace quillora::dlls
