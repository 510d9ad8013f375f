// The BMP file records the bitmap object reads and writes, and the arithmetic of its rows.
//
// A BMP file is a 14-byte file header, an information header (the 40-byte one, or the 12-byte
// core header of old OS/2 files), an optional colour table and the pixel rows, stored
// bottom-up, each padded to a multiple of four bytes.
#pragma once

#include <cstdint>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

#pragma pack(push, 1)
struct DibFileHeader {
    std::uint16_t signature;  // "BM", read little-endian
    std::uint32_t fileSize;
    std::uint16_t reserved1;
    std::uint16_t reserved2;
    std::uint32_t pixelOffset;
};

// The old core header: 16-bit unsigned sizes and three-byte colour-table entries.
struct DibCoreHeader {
    std::uint32_t size;
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t planes;
    std::uint16_t bitCount;
};
#pragma pack(pop)
static_assert(sizeof(DibFileHeader) == 14);
static_assert(sizeof(DibCoreHeader) == 12);
static_assert(sizeof(BitmapInfoHeader) == 40);

inline constexpr std::uint16_t kDibSignature = 0x4D42;  // "BM"
inline constexpr std::uint32_t kDibFileHeaderBytes = sizeof(DibFileHeader);
inline constexpr std::uint32_t kDibInfoHeaderBytes = sizeof(BitmapInfoHeader);
inline constexpr std::uint32_t kDibCoreHeaderBytes = sizeof(DibCoreHeader);
inline constexpr std::uint32_t kDibUncompressed = 0;
// Where the colour table starts in the file image the object keeps (54 bytes in).
inline constexpr std::uint32_t kDibColourTableOffset = kDibFileHeaderBytes + kDibInfoHeaderBytes;

// Colour-table entries of at most 8-bit bitmaps: there is one entry per possible index.
inline constexpr std::uint32_t kMaxDibColours = 256;

inline constexpr bool isSupportedDibBitCount(std::uint32_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Bytes of one stored row: the row's bits rounded up to whole 32-bit words. `width` is below
// 2^32 and `bitCount` at most 32, so the product fits 64 bits.
inline constexpr std::uint64_t dibRowStride(std::uint64_t width, std::uint32_t bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// Colour-table entries a header implies: the colours-used field when set, else one per index
// for bitmaps of up to 8 bits, else none.
inline constexpr std::uint32_t dibColourCount(std::uint32_t coloursUsed, std::uint32_t bitCount)
{
    if (coloursUsed != 0)
        return coloursUsed;
    return bitCount <= 8 ? 1u << bitCount : 0;
}

// The user-visible failure texts of the bitmap object.
inline constexpr const char* kDibUnsupportedData = "不被支持的位图数据或无法识别的文件格式";
inline constexpr const char* kDibNotCreated = "位图尚未创建，没有可用数据";
inline constexpr const char* kDibBufferTooSmall = "缓冲区无效或大小不够";
inline constexpr const char* kDibNoColourTable = "当前位图格式不使用颜色表";
inline constexpr const char* kDibBadColourIndex = "颜色索引无效";
inline constexpr const char* kDibPixelOutside = "像素点坐标越界";

}  // namespace quillora::runtime
