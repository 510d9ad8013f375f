// The bitmap object's file image and failure texts. The BMP records themselves, and the
// arithmetic of their rows, are in platform/formats/bmp_records.h.
#pragma once

#include <cstdint>

#include "platform/formats/bmp_records.h"
#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// Where the colour table starts in the file image the object keeps (54 bytes in).
inline constexpr std::uint32_t kDibColourTableOffset = formats::kBmpFileHeaderBytes + formats::kBitmapInfoHeaderBytes;

inline constexpr bool isSupportedDibBitCount(std::uint32_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
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
