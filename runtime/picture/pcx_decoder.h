// PCX pictures: 8-bit colour (kind 6) and 1-bit monochrome (kind 7), run-length encoded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// Decodes a PCX file into a kind-6 record (bitmap header, colour table, 8-bit rows) or a
// kind-7 record (1-bit rows padded to an even number of bytes), or nothing when the file is
// malformed, cut short or of another depth.
std::optional<PictureRecord> decodePcx(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
