// The one reader of BMP files: file header, information header, colour table and the place of
// the pixel rows, every field checked against the data before anything is trusted.
//
// The picture decoder, the bitmap object and the image-encoding stand-in all read BMP files
// through it. They accept slightly different files, and those differences are the options of
// BmpRules; everything else is decided once here:
//   - planes must be 1, the compression 0 (uncompressed);
//   - a negative height means the rows run top-down; a height of 0 or of the smallest 32-bit
//     number is no height;
//   - a bitmap of up to 8 bits has at most one colour-table entry per index, a deeper one at
//     most 256 (a hint that is kept, not used); the whole table must be there;
//   - the pixels start at the file header's offset, which may not lie inside the headers or
//     the table, and every row must be there (see BmpRules::shortLastRow);
//   - no bitmap of more than kMaxBmpPixels pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/formats/bmp_records.h"
#include "platform/formats/bmp_rows.h"

namespace quillora::formats {

struct BmpRules {
    // 16-bit (5-5-5) pixels besides 1, 4, 8, 24 and 32 bits.
    bool sixteenBitPixels = false;
    // Information headers longer than 40 bytes (later versions only add fields after the first
    // 40); otherwise only the 40-byte and the 12-byte core header are read.
    bool laterHeaderVersions = false;
    // A negative width taken by its magnitude; otherwise it is refused.
    bool widthMagnitude = false;
    // The padding of the last row may be missing, as some writers leave it out; otherwise every
    // row must be there in full.
    bool shortLastRow = false;
};

// Pictures loaded for drawing: width and height are taken by their magnitude, later header
// versions are read, and a last row without its padding is accepted; 16-bit pixels are not read.
inline constexpr BmpRules kPictureDecoderBmpRules{
    .sixteenBitPixels = false, .laterHeaderVersions = true, .widthMagnitude = true, .shortLastRow = true};
// The bitmap object and the image-encoding stand-in keep the rows as stored, so every row must
// be whole; they read 16-bit pixels and only the two classic headers.
inline constexpr BmpRules kBitmapObjectBmpRules{
    .sixteenBitPixels = true, .laterHeaderVersions = false, .widthMagnitude = false, .shortLastRow = false};
inline constexpr BmpRules kImageServiceBmpRules = kBitmapObjectBmpRules;

// Why data was refused.
enum class BmpProblem {
    None,
    NotBmp,       // no "BM" signature
    Unsupported,  // a BMP of a kind not read: compressed, another header size, another bit count
    Malformed,    // fields that contradict each other or the data, data cut short
    TooLarge,     // more than kMaxBmpPixels pixels
};

// A BMP file as its headers describe it; the spans point into the data that was read.
struct BmpImage {
    // The information header, a core header widened to the 40-byte form (its other fields 0);
    // width and height made positive.
    BitmapInfoHeader header{};
    bool topDown = false;
    // The colour table widened to four-byte entries.
    BmpPalette palette;
    // Where the rows start in the data, and the bytes from there that hold them: stride x
    // height, less the last row's padding when that is missing.
    std::size_t pixelOffset = 0;
    std::span<const std::uint8_t> pixels;

    std::uint32_t width() const { return static_cast<std::uint32_t>(header.width); }
    std::uint32_t height() const { return static_cast<std::uint32_t>(header.height); }
    unsigned bitCount() const { return header.bitCount; }
    std::uint64_t stride() const { return bmpStride(width(), bitCount()); }
    std::uint64_t rowBytes() const { return bmpRowBytes(width(), bitCount()); }
    // The bytes after the pixels: where a reader of the data goes on.
    std::size_t pixelEnd() const { return pixelOffset + pixels.size(); }

    // Stored row `index` (0 is the first in the file), without its padding.
    std::span<const std::uint8_t> storedRow(std::uint32_t index) const
    {
        return pixels.subspan(static_cast<std::size_t>(index * stride()), static_cast<std::size_t>(rowBytes()));
    }
    // Pixel row `y` counted from the top of the picture.
    std::span<const std::uint8_t> rowFromTop(std::uint32_t y) const
    {
        return storedRow(topDown ? y : height() - 1 - y);
    }
};

struct BmpReadResult {
    std::optional<BmpImage> image;
    BmpProblem problem = BmpProblem::None;
};

// Reads the information header at the reader's position: the 12-byte core header, the 40-byte
// one or, under `rules.laterHeaderVersions`, a longer one read as its first 40 bytes with its
// size field as stored. Leaves the reader where the colour table starts; `entryBytes` is the
// size of the table's entries (3 behind a core header, which comes back widened to the 40-byte
// form). Bitmaps inside other files (the images of an icon file) have no file header and are
// read from here on by their own rules.
BmpProblem readBitmapInfoHeader(ByteReader& reader, const BmpRules& rules, BitmapInfoHeader& header,
                                std::size_t& entryBytes);

// Reads the BMP file at the start of `data` under `rules`.
BmpReadResult readBmp(std::span<const std::uint8_t> data, const BmpRules& rules);

}  // namespace quillora::formats
