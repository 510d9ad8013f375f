// Tiny BMP files built byte by byte for the bitmap object's tests.
#pragma once

#include <cstdint>
#include <vector>

namespace quillora::runtime::test {

struct BmpSpec {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::vector<std::uint8_t> palette;            // entries as stored: 4 bytes, or 3 for a core header
    std::vector<std::vector<std::uint8_t>> rows;  // top row first, without the row padding
    bool coreHeader = false;
    bool topDown = false;  // rows stored top-down, height written negative
    std::uint32_t coloursUsed = 0;
};

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Overwrites a little-endian 32-bit field of a built file.
inline void poke32(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value)
{
    for (int index = 0; index < 4; ++index)
        file[offset + index] = static_cast<std::uint8_t>(value >> (8 * index));
}

inline std::vector<std::uint8_t> makeBmp(const BmpSpec& spec)
{
    const std::uint32_t headerBytes = spec.coreHeader ? 12 : 40;
    const auto pixelOffset = static_cast<std::uint32_t>(14 + headerBytes + spec.palette.size());
    const std::uint32_t stride = (static_cast<std::uint32_t>(spec.width) * spec.bitCount + 31) / 32 * 4;
    const auto fileSize = static_cast<std::uint32_t>(pixelOffset + stride * spec.rows.size());

    std::vector<std::uint8_t> file{'B', 'M'};
    put32(file, fileSize);
    put32(file, 0);
    put32(file, pixelOffset);
    put32(file, headerBytes);
    if (spec.coreHeader) {
        put16(file, static_cast<std::uint32_t>(spec.width));
        put16(file, static_cast<std::uint32_t>(spec.height));
        put16(file, 1);
        put16(file, spec.bitCount);
    } else {
        put32(file, static_cast<std::uint32_t>(spec.width));
        put32(file, static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height));
        put16(file, 1);
        put16(file, spec.bitCount);
        for (int field = 0; field < 4; ++field)  // compression, image size, resolutions
            put32(file, 0);
        put32(file, spec.coloursUsed);
        put32(file, 0);
    }
    file.insert(file.end(), spec.palette.begin(), spec.palette.end());
    for (std::size_t index = 0; index < spec.rows.size(); ++index) {
        const auto& row = spec.rows[spec.topDown ? index : spec.rows.size() - 1 - index];
        file.insert(file.end(), row.begin(), row.end());
        file.resize(file.size() + (stride - row.size()), 0);  // rows are padded to four bytes
    }
    return file;
}

// A 24-bit row of colours given as 0x00BBGGRR.
inline std::vector<std::uint8_t> rgbRow(std::initializer_list<std::uint32_t> colours)
{
    std::vector<std::uint8_t> row;
    for (const std::uint32_t colour : colours) {
        row.push_back(static_cast<std::uint8_t>(colour >> 16));
        row.push_back(static_cast<std::uint8_t>(colour >> 8));
        row.push_back(static_cast<std::uint8_t>(colour));
    }
    return row;
}

inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kBlue = 0xFF0000;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;

}  // namespace quillora::runtime::test
