// Where the pixels of a stored picture land in its upright form, so a decoder can write each
// decoded row straight to its turned or mirrored place instead of turning a finished picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/formats/exif_reader.h"

namespace quillora::runtime {

using formats::ExifOrientation;

struct PixelPosition {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// The upright position of stored pixel (x, y) of a storedWidth x storedHeight picture.
PixelPosition uprightPosition(ExifOrientation orientation, std::uint32_t storedWidth, std::uint32_t storedHeight,
                              std::int64_t x, std::int64_t y);

// The same as byte offsets into the upright picture's buffer, whose rows are the upright width x
// bytesPerPixel bytes long without padding, top-down or bottom-up: stored pixel (x, y) goes to
// origin + x * pixelStep + y * rowStep. Turning is linear, so three numbers describe it.
struct UprightPlacement {
    std::ptrdiff_t origin = 0;
    std::ptrdiff_t pixelStep = 0;
    std::ptrdiff_t rowStep = 0;
};

UprightPlacement uprightPlacement(ExifOrientation orientation, std::uint32_t storedWidth, std::uint32_t storedHeight,
                                  std::uint32_t bytesPerPixel, bool bottomUp);

}  // namespace quillora::runtime
