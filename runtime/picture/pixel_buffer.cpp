#include "runtime/picture/pixel_buffer.h"

#include <new>

namespace quillora::runtime {

bool pictureSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0)
        return false;
    // Checked one factor at a time so the product cannot overflow.
    if (width > kMaxPicturePixelBytes / 4)
        return false;
    return height <= kMaxPicturePixelBytes / (width * 4);
}

std::optional<std::vector<std::uint8_t>> newPixelBuffer(std::uint64_t width, std::uint64_t height,
                                                        std::uint64_t rowBytes, std::uint64_t headerBytes)
{
    if (!pictureSizeAllowed(width, height))
        return std::nullopt;
    if (rowBytes > kMaxPicturePixelBytes || headerBytes > kMaxPicturePixelBytes)
        return std::nullopt;
    if (rowBytes != 0 && height > (kMaxPicturePixelBytes - headerBytes) / rowBytes)
        return std::nullopt;
    try {
        return std::vector<std::uint8_t>(headerBytes + rowBytes * height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace quillora::runtime
