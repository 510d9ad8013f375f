#include "runtime/picture/upright_placement.h"

namespace quillora::runtime {

PixelPosition uprightPosition(ExifOrientation orientation, std::uint32_t storedWidth, std::uint32_t storedHeight,
                              std::int64_t x, std::int64_t y)
{
    const std::int64_t right = std::int64_t{storedWidth} - 1 - x;
    const std::int64_t bottom = std::int64_t{storedHeight} - 1 - y;
    switch (orientation) {
    case ExifOrientation::Normal:
        break;
    case ExifOrientation::MirrorLeftRight:
        return {right, y};
    case ExifOrientation::Rotate180:
        return {right, bottom};
    case ExifOrientation::MirrorTopBottom:
        return {x, bottom};
    case ExifOrientation::Transpose:
        return {y, x};
    // Turned clockwise, the stored left column becomes the top row, read from the bottom up.
    case ExifOrientation::Rotate90Clockwise:
        return {bottom, x};
    case ExifOrientation::Transverse:
        return {bottom, right};
    // Turned anticlockwise, the stored top row becomes the left column, its right end at the top.
    case ExifOrientation::Rotate90Anticlockwise:
        return {y, right};
    }
    return {x, y};
}

UprightPlacement uprightPlacement(ExifOrientation orientation, std::uint32_t storedWidth, std::uint32_t storedHeight,
                                  std::uint32_t bytesPerPixel, bool bottomUp)
{
    const bool swapped = formats::swapsSides(orientation);
    const std::int64_t uprightWidth = swapped ? storedHeight : storedWidth;
    const std::int64_t uprightHeight = swapped ? storedWidth : storedHeight;
    const std::int64_t rowBytes = uprightWidth * bytesPerPixel;
    const auto offsetOf = [&](PixelPosition upright) {
        const std::int64_t row = bottomUp ? uprightHeight - 1 - upright.y : upright.y;
        return row * rowBytes + upright.x * bytesPerPixel;
    };
    // The placement is linear in x and y, so the places of three stored pixels give it whole;
    // (1, 0) and (0, 1) need not lie inside a picture one pixel wide or high for that.
    const std::int64_t origin = offsetOf(uprightPosition(orientation, storedWidth, storedHeight, 0, 0));
    const std::int64_t nextPixel = offsetOf(uprightPosition(orientation, storedWidth, storedHeight, 1, 0));
    const std::int64_t nextRow = offsetOf(uprightPosition(orientation, storedWidth, storedHeight, 0, 1));
    return {static_cast<std::ptrdiff_t>(origin), static_cast<std::ptrdiff_t>(nextPixel - origin),
            static_cast<std::ptrdiff_t>(nextRow - origin)};
}

}  // namespace quillora::runtime
