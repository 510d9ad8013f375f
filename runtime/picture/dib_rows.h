// Expansion of stored device-independent bitmap rows (1, 4, 8, 24 and 32 bits per pixel) into
// plain blue-green-red pixels, shared by the BMP and the icon decoders.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/picture/byte_reader.h"
#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// A colour table of up to 256 entries. Entries past the ones the file gives stay black, so an
// index that points past the file's table reads black instead of memory beyond the table.
struct DibPalette {
    std::array<ColourQuad, 256> entries{};
    std::size_t count = 0;
};

// Reads `count` colour-table entries of `entryBytes` bytes each (4 for the 40-byte header,
// 3 for the old 12-byte core header). Fails the reader on short data.
DibPalette readDibPalette(ByteReader& reader, std::size_t count, std::size_t entryBytes);

// Bytes one stored row of `width` pixels takes, without and with the four-byte padding.
std::uint64_t dibRowBytes(std::uint64_t width, unsigned bitCount);
std::uint64_t dibStride(std::uint64_t width, unsigned bitCount);

// Writes `width` pixels of one stored row to `out`, `outStride` bytes apart (3: blue, green,
// red; 4: blue, green, red, alpha). Alpha is the fourth byte of a 32-bit pixel when
// `keepAlpha` is set, else 255. `row` must hold dibRowBytes(width, bitCount) bytes.
void expandDibRow(std::span<const std::uint8_t> row, unsigned bitCount, const DibPalette& palette,
                  std::uint32_t width, std::uint8_t* out, unsigned outStride, bool keepAlpha = false);

}  // namespace quillora::runtime
