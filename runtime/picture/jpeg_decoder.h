// JPEG pictures through libjpeg: the header alone (for loading) and the pixels, at full size or
// at M/8 of it (for drawing into a cell much smaller than the photo: the reduction happens in
// the inverse DCT, which is far cheaper than decoding everything and averaging it away).
//
// A photo taken with the camera held upright is stored lying on its side, with an EXIF
// orientation that says how to turn it. Everything here gives the upright picture: the header's
// width and height are the upright ones, and the pixels are turned as they are decoded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/formats/exif_reader.h"

namespace quillora::runtime {

using formats::ExifOrientation;

struct JpegHeader {
    std::uint32_t width = 0;   // of the upright picture
    std::uint32_t height = 0;
    ExifOrientation orientation = ExifOrientation::Normal;
    std::optional<formats::ExifDateTime> taken;  // from the EXIF block; nothing when not known
};

// Reads and checks the header: the picture's size, a colour model that converts to RGB (grey,
// YCbCr or RGB) and a size under the pixel cap. For a single-scan file the decoder is also set
// up, which checks the tables the scan refers to. Nothing on any libjpeg error. An EXIF
// orientation that cannot be read is Normal, a date that cannot be read is not known; neither
// ever makes the picture fail. The EXIF block is read here only: everything later takes the
// header's facts.
std::optional<JpegHeader> readJpegHeader(std::span<const std::uint8_t> bytes);

enum class JpegLayout {
    BgrBottomUp,  // 3 bytes per pixel, rows bottom-up, no row padding (the picture record's form)
    BgraTopDown,  // 4 bytes per pixel, alpha 255, rows top-down (the drawing form)
};

struct JpegPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// Scales are counted in eighths: the decoder gives ceil(side x eighths / 8) pixels a side.
inline constexpr unsigned kJpegFullScale = 8;

// Decodes the picture at `eighths`/8 of its size (1 to 16, each side rounded up; 8 is the full
// size) and turns it upright by `orientation` (the header's, read once when the picture was
// loaded) as the rows come: the width and height are those of the upright picture. A grey picture
// gives three equal bytes per pixel. Nothing on any libjpeg error.
std::optional<JpegPixels> decodeJpeg(std::span<const std::uint8_t> bytes, unsigned eighths, JpegLayout layout,
                                     ExifOrientation orientation = ExifOrientation::Normal);

// The side a picture side of `side` pixels has when decoded at `eighths`/8.
constexpr std::uint64_t jpegScaledSide(std::uint32_t side, unsigned eighths)
{
    return (std::uint64_t{side} * eighths + kJpegFullScale - 1) / kJpegFullScale;
}

// The smallest scale, in eighths from 1 to 8, at which a width x height picture (upright, as it
// is drawn) is at least wantedWidth x wantedHeight, so stretching the decoded picture into the destination only ever shrinks it; 8 (full size)
// when even that is smaller than the destination. A 4000 x 3000 photo for a 372 x 279 cell
// decodes at 1/8 (500 x 375), for a 372 x 510 cell at 2/8 (1000 x 750).
unsigned jpegScaleFor(std::uint32_t width, std::uint32_t height, std::uint32_t wantedWidth,
                      std::uint32_t wantedHeight);

// How many decodes of JPEG pixels this process has started: a check for tests and benchmarks
// that a picture is not decoded more often than needed.
std::uint64_t jpegDecodeCount();

}  // namespace quillora::runtime
