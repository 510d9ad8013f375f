// Colour tables and stored rows of device-independent bitmaps (BMP files and the images in
// icon files): reading the table, and expanding a stored row of 1, 4, 8, 16, 24 or 32 bits per
// pixel into plain three- or four-byte pixels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/formats/bmp_records.h"
#include "platform/formats/byte_reader.h"

namespace quillora::formats {

// A colour table of up to 256 entries. Entries past the ones the file gives stay black, so an
// index that points past the file's table reads black instead of memory beyond the table.
struct BmpPalette {
    std::array<ColourQuad, kMaxBmpColours> entries{};
    std::size_t count = 0;
};

// Reads `count` colour-table entries of `entryBytes` bytes each (4 for the 40-byte header, 3
// for the old 12-byte core header); entries past 256 are read over but not kept. Fails the
// reader, and gives an empty table, on short data.
BmpPalette readBmpPalette(ByteReader& reader, std::size_t count, std::size_t entryBytes);

// The byte order of expanded pixels: blue-green-red (three bytes), blue-green-red-alpha (four
// bytes), or red-green-blue (three bytes).
enum class PixelOrder { Bgr, Bgra, Rgb };

// Writes the `width` pixels of one stored row to `out`. Alpha is the fourth byte of a 32-bit
// pixel when `keepAlpha` is set, else 255. 16-bit pixels are 5-5-5 (red in bits 10-14) with
// each part spread over the whole byte range, so 31 is full intensity. Nothing is written when
// `row` holds fewer than bmpRowBytes(width, bitCount) bytes or the bit count is another one.
void expandBmpRow(std::span<const std::uint8_t> row, unsigned bitCount, const BmpPalette& palette,
                  std::uint32_t width, std::uint8_t* out, PixelOrder order, bool keepAlpha = false);

}  // namespace quillora::formats
