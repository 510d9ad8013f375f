// The picture kinds the runtime reads, as one table of {kind, sniff, decode}: a new format is
// one decoder file pair, one sniff test and one row here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// The kind the first six bytes announce: "BM" BMP, FF D8 JPEG, an icon or cursor directory,
// "GIF87a"/"GIF89a", a PCX header of 8 bits (version up to 5) or of 1 bit (version 3), tested in
// that order. Anything else, fewer than six bytes or a PNG file included, is Empty.
PictureKind detectPictureKind(std::span<const std::uint8_t> bytes);

// The record of the first kind whose test the data passes, decoded by that kind's decoder;
// nothing when no kind recognises the data or it does not decode. A JPEG is only checked
// here: its pixels are decoded when it is drawn, at the size it is drawn at.
std::optional<PictureRecord> decodePictureData(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
