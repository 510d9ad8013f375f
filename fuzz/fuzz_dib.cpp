// Feeds arbitrary bytes to the bitmap object: load them as BMP data, turn the bitmap and take
// both bitmaps back as BMP data, as the page export does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/picture/dib_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quillora::runtime::DibBitmap bitmap;
    if (!bitmap.loadFromData(std::span(data, size)))
        return 0;
    // The last byte picks the angle in steps of 15 degrees, so right-angle turns and odd ones
    // are both explored.
    const double angle = (data[size - 1] % 24) * 15.0;
    quillora::runtime::DibBitmap turned = bitmap.rotate(angle, 0x00FF00);
    turned.setHorizontalResolution(11811);
    turned.pixel(0, 0);
    turned.data();
    bitmap.data();
    return 0;
}
