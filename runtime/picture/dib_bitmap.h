// The bitmap object: an in-memory device-independent bitmap that the application loads from
// BMP file data, turns, stamps with a print resolution and takes back as BMP file data.
//
// Operations never throw and never crash on the bytes they are given: a failed operation
// returns false (or an empty result) and leaves its reason in lastError(). Every operation
// clears the last error when it starts.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/picture/dib_format.h"

namespace quillora::runtime {

class DibBitmap {
public:
    DibBitmap() = default;

    bool empty() const { return file_.empty(); }

    // Replaces the bitmap with the one in `data`: BMP file data with a 40-byte information
    // header or a 12-byte core header, uncompressed, at 1, 4, 8, 16, 24 or 32 bits per pixel.
    // On failure the object is left empty.
    bool loadFromData(std::span<const std::uint8_t> data);

    // The bitmap as a complete BMP file (file header, 40-byte header, colour table of four-byte
    // entries, rows bottom-up). Empty when there is no bitmap. The span lives until the next
    // operation that changes the object.
    std::span<const std::uint8_t> data();

    // A new bitmap holding this one turned by `angleDegrees` clockwise, on `background`
    // (0x00BBGGRR) where no source pixel lands. The source is unchanged. On failure the result
    // is empty and both objects carry the reason.
    DibBitmap rotate(double angleDegrees, std::uint32_t background);

    // Stamp the header's pixels-per-metre fields.
    bool setHorizontalResolution(std::int32_t pixelsPerMetre);
    bool setVerticalResolution(std::int32_t pixelsPerMetre);

    // The colour (0x00BBGGRR) of pixel x, y, counted from the left and from the top row.
    std::optional<std::uint32_t> pixel(std::int64_t x, std::int64_t y);

    std::int32_t width() const { return empty() ? 0 : header().width; }
    std::int32_t height() const { return empty() ? 0 : header().height; }
    std::uint32_t bitCount() const { return empty() ? 0 : header().bitCount; }
    std::int32_t horizontalResolution() const { return empty() ? 0 : header().xPixelsPerMetre; }
    std::int32_t verticalResolution() const { return empty() ? 0 : header().yPixelsPerMetre; }

    const std::string& lastError() const { return lastError_; }

private:
    // A zeroed file image for `header` (whose height is positive) and `colourTable` (four-byte
    // entries), with the file header written; nothing when it would pass the pixel cap or
    // memory is exhausted.
    static std::optional<std::vector<std::uint8_t>> newFileImage(const BitmapInfoHeader& header,
                                                                 std::span<const std::uint8_t> colourTable);

    BitmapInfoHeader header() const;
    void setHeader(const BitmapInfoHeader& header);
    std::uint32_t colourCount() const;
    std::span<const std::uint8_t> colourTable() const;
    std::uint64_t stride() const;
    // Stored row of the pixel row `y` counted from the top: rows are kept bottom-up.
    const std::uint8_t* row(std::uint32_t y) const;
    std::uint8_t* row(std::uint32_t y);

    bool fail(const char* reason);
    void release();

    // The bitmap kept as a whole BMP file, so handing it out is one copy; empty for no bitmap.
    std::vector<std::uint8_t> file_;
    std::string lastError_;
};

}  // namespace quillora::runtime
