// Any loaded picture as plain top-down blue-green-red-alpha pixels, the form drawing uses.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// Top-down rows of width x 4 bytes: blue, green, red, alpha (255 except where an icon or
// cursor is transparent).
struct BgraImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// The record's pixels in that form. A JPEG record must have its full-size pixels in `data`
// (the registry decodes them on demand). Nothing when the record is empty or malformed, or
// memory runs out. A 1-bit picture draws 1 as white and 0 as black.
std::optional<BgraImage> recordToBgra(const PictureRecord& record);

}  // namespace quillora::runtime
