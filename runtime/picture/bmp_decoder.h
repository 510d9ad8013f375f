// BMP files: uncompressed 1-, 4-, 8-, 24- and 32-bit pictures, read by the one BMP reader
// (platform/formats/bmp_reader.h) under the picture decoder's rules.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// Decodes a whole BMP file (starting with "BM") into a kind-2 record, or nothing when the file
// is compressed, of another bit count, cut short or otherwise malformed.
std::optional<PictureRecord> decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
