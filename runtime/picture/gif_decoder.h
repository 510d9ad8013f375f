// GIF pictures: the first frame, drawn onto the logical screen, in the indexed record layout.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// Decodes the first frame of a GIF file (87a or 89a) into a kind-5 record: bitmap header,
// 256-entry colour table and 8-bit top-down rows the size of the logical screen. Transparent
// pixels and the parts of the screen the frame leaves uncovered come out white, the colour of
// the paper the picture is printed on. Nothing when the file is malformed or the frame's
// compressed pixels stop before the frame is complete.
std::optional<PictureRecord> decodeGif(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
