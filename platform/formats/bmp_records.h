// The on-disk records of BMP files and of the bitmaps inside icon files.
//
// A BMP file is a 14-byte file header, an information header (the 40-byte one, later versions
// that only add fields after its first 40 bytes, or the 12-byte core header of old OS/2
// files), an optional colour table and the pixel rows, stored bottom-up unless the height is
// negative, each padded to a multiple of four bytes. Every number is little-endian.
#pragma once

#include <cstdint>

namespace quillora::formats {

#pragma pack(push, 1)
struct BmpFileHeader {
    std::uint16_t signature;  // "BM", read little-endian
    std::uint32_t fileSize;
    std::uint16_t reserved1;
    std::uint16_t reserved2;
    std::uint32_t pixelOffset;
};

// The 40-byte device-independent bitmap information header.
struct BitmapInfoHeader {
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;  // negative: rows run top-down
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t imageSize;
    std::int32_t xPixelsPerMetre;
    std::int32_t yPixelsPerMetre;
    std::uint32_t coloursUsed;
    std::uint32_t coloursImportant;
};

// The old core header: 16-bit unsigned sizes and three-byte colour-table entries.
struct BitmapCoreHeader {
    std::uint32_t size;
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t planes;
    std::uint16_t bitCount;
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14);
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(BitmapCoreHeader) == 12);

// One colour-table entry as bitmaps store it (a core header's entries lack the fourth byte).
struct ColourQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};
static_assert(sizeof(ColourQuad) == 4);

inline constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
inline constexpr std::uint32_t kBmpFileHeaderBytes = sizeof(BmpFileHeader);
inline constexpr std::uint32_t kBitmapInfoHeaderBytes = sizeof(BitmapInfoHeader);
inline constexpr std::uint32_t kBitmapCoreHeaderBytes = sizeof(BitmapCoreHeader);
inline constexpr std::uint32_t kBmpUncompressed = 0;

// Colour-table entries of at most 8-bit bitmaps: there is one entry per possible index.
inline constexpr std::uint32_t kMaxBmpColours = 256;

// The most pixels one bitmap may have: 128 megapixels, 512 MB at four bytes a pixel. An A0
// page at 0.1 mm per pixel fits; a forged header asking for more is refused before anything
// is allocated or read.
inline constexpr std::uint64_t kMaxBmpPixels = 128ull * 1024 * 1024;

// True when width x height pixels may be held: neither side is zero and the product is
// within the cap (checked one factor at a time, so it cannot overflow).
inline constexpr bool bmpSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxBmpPixels && height <= kMaxBmpPixels / width;
}

// Bytes one stored row of `width` pixels takes without its padding, and with it: BMP rows are
// padded to four bytes. `width` is below 2^32 and `bitCount` at most 32, so nothing overflows.
inline constexpr std::uint64_t bmpRowBytes(std::uint64_t width, unsigned bitCount)
{
    return (width * bitCount + 7) / 8;
}

inline constexpr std::uint64_t bmpStride(std::uint64_t width, unsigned bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

}  // namespace quillora::formats
