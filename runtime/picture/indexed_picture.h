// The layout GIF and 8-bit PCX pictures are kept in: a 40-byte bitmap header with a negative
// height (rows top-down), a 256-entry colour table, then 8-bit rows padded to four bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

using ColourTable = std::array<ColourQuad, kColourTableEntries>;

// A zeroed indexed picture of width x height pixels with its header written (the planes field
// as given, 8 bits per pixel, the other fields 0), or nothing when it would pass the pixel cap.
std::optional<std::vector<std::uint8_t>> newIndexedPicture(std::uint32_t width, std::uint32_t height,
                                                           std::uint16_t planes = 1);

void writeColourTable(std::vector<std::uint8_t>& data, const ColourTable& table);

// The parts of an indexed picture, checked against the block's size.
struct IndexedView {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint64_t stride = 0;
    bool topDown = true;  // a positive header height means bottom-up rows
    ColourTable table{};
    std::span<const std::uint8_t> pixels;  // stride x height bytes
};
std::optional<IndexedView> viewIndexedPicture(std::span<const std::uint8_t> data);

}  // namespace quillora::runtime
