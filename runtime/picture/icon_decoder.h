// Icon and cursor files: the image that best fits the wanted size, ready to draw.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// The size a loaded icon is wanted at when the caller names none: the desktop's large icon.
inline constexpr std::uint32_t kDefaultIconSize = 32;

// Decodes an icon (kind Icon) or cursor (kind Cursor) file: of the images it holds, the one
// whose size is nearest wantedSize x wantedSize (then the one with the most colours) becomes
// the record's icon image, with its transparency mask as alpha. Images stored as PNG are
// passed over. Nothing when no image can be decoded.
std::optional<PictureRecord> decodeIcon(std::span<const std::uint8_t> bytes, PictureKind kind,
                                        std::uint32_t wantedSize = kDefaultIconSize);

}  // namespace quillora::runtime
