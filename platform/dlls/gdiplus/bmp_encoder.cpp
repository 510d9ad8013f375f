// BMP output: the 14-byte file header, the 40-byte information header with the bitmap's
// resolution, and 24-bit rows bottom-up, blue-green-red, each padded to four bytes.
#include "platform/dlls/gdiplus/image_encoders.h"

#include <cstring>
#include <new>

namespace quillora::dlls {
namespace {

constexpr std::size_t kPixelOffset = 14 + 40;

void put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value)
{
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

}  // namespace

win::GpStatus encodeBmp(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    const std::size_t stride = (std::size_t{page.width()} * 3 + 3) / 4 * 4;
    const std::size_t imageBytes = stride * page.height();
    // The file size field has 32 bits; the pixel cap keeps every bitmap well below it.
    if (kPixelOffset + imageBytes > 0xFFFFFFFFu)
        return win::OutOfMemory;
    try {
        out.assign(kPixelOffset + imageBytes, 0);
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
    std::uint8_t* file = out.data();
    file[0] = 'B';
    file[1] = 'M';
    put32(file + 2, static_cast<std::uint32_t>(out.size()));
    put32(file + 10, kPixelOffset);
    put32(file + 14, 40);
    put32(file + 18, page.width());
    put32(file + 22, page.height());  // positive: bottom-up
    put16(file + 26, 1);
    put16(file + 28, 24);
    put32(file + 34, static_cast<std::uint32_t>(imageBytes));
    put32(file + 38, static_cast<std::uint32_t>(page.xPixelsPerMetre()));
    put32(file + 42, static_cast<std::uint32_t>(page.yPixelsPerMetre()));
    for (std::uint32_t y = 0; y < page.height(); ++y) {
        const std::uint8_t* in = page.rgb(y);
        std::uint8_t* row = file + kPixelOffset + (page.height() - 1 - y) * stride;
        for (std::uint32_t x = 0; x < page.width(); ++x, in += 3, row += 3) {
            row[0] = in[2];
            row[1] = in[1];
            row[2] = in[0];
        }
    }
    return win::Ok;
}

}  // namespace quillora::dlls
