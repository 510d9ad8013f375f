// Taking a drawing panel's persistent bitmap out as BMP file data, at its own size or stretched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quillora::platform {
class OffscreenSurface;
}

namespace quillora::runtime {

// Percentages below this are raised to it, so a picture never shrinks to a sliver.
inline constexpr std::int64_t kMinimumPicturePercent = 10;

// One side of the picture asked for, from the bitmap's own side and the argument: absent or 0
// is the own side; −p is p per cent of it (at least kMinimumPicturePercent), truncated; any
// other value is taken as it is. The result may be 0 or negative (no picture).
std::int64_t requestedPictureSide(std::int32_t ownSide, std::optional<std::int64_t> argument);

// The surface as a complete BMP file of width × height pixels, in a fresh caller-owned byte-set
// block (runtime/core/memory.h): the 14-byte file header ("BM", file size, two zero words, the
// offset of the pixels), a 40-byte information header (24 bits per pixel, no compression, the
// surface's resolution in pixels per metre) and bottom-up rows of blue, green and red, each
// padded to four bytes. A size other than the surface's own stretches the content (a reduction
// averages). Null (the empty byte set) when the surface is empty, a side is not positive, or the
// picture would pass the picture cap of runtime/picture/pixel_buffer.h (an A3 page at 0.1 mm per
// pixel, 53 MB, is far below it).
void* surfaceAsBmpByteSet(const platform::OffscreenSurface& surface, std::int64_t width, std::int64_t height);

// The same file at the surface's own size, for a surface that is cleared right after: its rows
// are read from the bottom up and their memory goes as they are read, so a page and its file
// never take their whole size twice (an A4 page is 25 MB of surface and 18.7 MB of file). The
// surface's pixels are not to be read again (they must be filled or resized).
void* drainSurfaceAsBmpByteSet(platform::OffscreenSurface& surface);

}  // namespace quillora::runtime
