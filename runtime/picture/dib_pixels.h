// Reading and writing single pixels of stored bitmap rows, and the colour each pixel means.
//
// Colours are 0x00BBGGRR, red in the low byte. A stored pixel value is a colour-table index
// for bitmaps of up to 8 bits, and the pixel's own bytes read little-endian for 16, 24 and
// 32 bits. The callers guarantee that `x` lies inside the row.
#pragma once

#include <cstdint>
#include <span>

namespace quillora::runtime {

inline std::uint32_t readDibPixelValue(const std::uint8_t* row, std::uint32_t x, std::uint32_t bitCount)
{
    switch (bitCount) {
    case 1:
        // The leftmost pixel of a byte is its highest bit.
        return (row[x / 8] >> (7 - x % 8)) & 0x01;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    case 8:
        return row[x];
    case 16:
        return row[x * 2] | (row[x * 2 + 1] << 8);
    case 24:
        return row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
    default:
        return row[x * 4] | (row[x * 4 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 4 + 2]) << 16) |
               (static_cast<std::uint32_t>(row[x * 4 + 3]) << 24);
    }
}

inline void writeDibPixelValue(std::uint8_t* row, std::uint32_t x, std::uint32_t bitCount, std::uint32_t value)
{
    switch (bitCount) {
    case 1: {
        const auto mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
        row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~mask) | (value & 1 ? mask : 0));
        return;
    }
    case 4: {
        const unsigned shift = x % 2 ? 0 : 4;
        row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
        return;
    }
    case 8:
        row[x] = static_cast<std::uint8_t>(value);
        return;
    default: {
        const std::uint32_t bytes = bitCount / 8;
        for (std::uint32_t index = 0; index < bytes; ++index)
            row[x * bytes + index] = static_cast<std::uint8_t>(value >> (8 * index));
        return;
    }
    }
}

inline std::uint32_t colourFromRgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return red | (green << 8) | (blue << 16);
}

// The colour of a 16-, 24- or 32-bit pixel value. 16-bit pixels are 5-5-5 (red in bits 10-14,
// green in 5-9, blue in 0-4) and each five-bit part is scaled by 8; 24- and 32-bit pixels are
// stored blue, green, red (and a fourth byte that carries no colour).
inline std::uint32_t dibDirectColour(std::uint32_t value, std::uint32_t bitCount)
{
    if (bitCount == 16)
        return colourFromRgb(((value >> 10) & 0x1F) * 8, ((value >> 5) & 0x1F) * 8, (value & 0x1F) * 8);
    return colourFromRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

// The stored value of a colour in a 16-, 24- or 32-bit bitmap (the fourth byte of a 32-bit
// pixel is 0).
inline std::uint32_t dibDirectValue(std::uint32_t colour, std::uint32_t bitCount)
{
    const std::uint32_t red = colour & 0xFF;
    const std::uint32_t green = (colour >> 8) & 0xFF;
    const std::uint32_t blue = (colour >> 16) & 0xFF;
    if (bitCount == 16)
        return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
    return (red << 16) | (green << 8) | blue;
}

// The colour of entry `index` of a colour table of four-byte entries (blue, green, red, 0).
inline std::uint32_t dibTableColour(std::span<const std::uint8_t> table, std::uint32_t index)
{
    const std::uint8_t* entry = table.data() + index * 4;
    return colourFromRgb(entry[2], entry[1], entry[0]);
}

// The index of the table entry nearest to `colour` (the first of equally near ones), so a
// background colour can fill an indexed bitmap. The table holds at least one entry.
inline std::uint32_t nearestDibTableIndex(std::span<const std::uint8_t> table, std::uint32_t colour)
{
    const auto distance = [colour](std::uint32_t other) {
        std::uint32_t sum = 0;
        for (unsigned shift = 0; shift < 24; shift += 8) {
            const int difference = static_cast<int>((colour >> shift) & 0xFF) - static_cast<int>((other >> shift) & 0xFF);
            sum += static_cast<std::uint32_t>(difference * difference);
        }
        return sum;
    };
    const auto count = static_cast<std::uint32_t>(table.size() / 4);
    std::uint32_t best = 0;
    for (std::uint32_t index = 1; index < count; ++index) {
        if (distance(dibTableColour(table, index)) < distance(dibTableColour(table, best)))
            best = index;
    }
    return best;
}

}  // namespace quillora::runtime
