// JPEG pictures through libjpeg: the header alone (for loading) and the pixels, at full size or
// reduced by 2, 4 or 8 (for drawing into a cell much smaller than the photo).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillora::runtime {

struct JpegSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Reads and checks the header: the picture's size, a colour model that converts to RGB (grey,
// YCbCr or RGB) and a size under the pixel cap. For a single-scan file the decoder is also set
// up, which checks the tables the scan refers to. Nothing on any libjpeg error.
std::optional<JpegSize> readJpegHeader(std::span<const std::uint8_t> bytes);

enum class JpegLayout {
    BgrBottomUp,  // 3 bytes per pixel, rows bottom-up, no row padding (the picture record's form)
    BgraTopDown,  // 4 bytes per pixel, alpha 255, rows top-down (the drawing form)
};

struct JpegPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes the picture at 1/scaleDenominator of its size (1, 2, 4 or 8; each side rounded up).
// A grey picture gives three equal bytes per pixel. Nothing on any libjpeg error.
std::optional<JpegPixels> decodeJpeg(std::span<const std::uint8_t> bytes, unsigned scaleDenominator,
                                     JpegLayout layout);

// The largest reduction (8, 4, 2, else 1) that still leaves at least wantedWidth x wantedHeight
// pixels, so stretching the reduced picture into the destination only ever shrinks it.
unsigned jpegScaleFor(std::uint32_t width, std::uint32_t height, std::uint32_t wantedWidth,
                      std::uint32_t wantedHeight);

}  // namespace quillora::runtime
