// PNG output through libpng: 8-bit RGB, not interlaced, the resolution as a pHYs chunk in
// pixels per metre.
//
// Speed: an A4 page at 0.1 mm per pixel (2100 x 2970) takes about 0.76 s of CPU at zlib's
// default level 6 with libpng's adaptive filters. A page is white paper, photos and a few
// lines of text: after the Up filter (each byte minus the one above it) the paper is all
// zeros and a photo is small differences, which zlib's run-length strategy codes as well as
// its full match search does, at a sixth of the time. Measured on a 5 x 5 photo page in
// bench/page_encoding_bench.cpp: 0.13 s and 7.3 MB against 0.76 s and 8.0 MB at the defaults
// (level 1 with all filters: 0.32 s, 8.3 MB). The run-length strategy ignores the level.
#include "platform/dlls/gdiplus/image_encoders.h"

#include <cmath>
#include <csetjmp>
#include <limits>
#include <new>

#include <png.h>
#include <zlib.h>

namespace quillora::dlls {
namespace {

constexpr int kCompressionLevel = 1;
constexpr int kCompressionStrategy = Z_RLE;
constexpr int kRowFilters = PNG_FILTER_UP;

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        // No C++ exception may pass through libpng's C frames; png_error jumps out instead.
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

void ignoreWarning(png_structp, png_const_charp) {}

void leaveOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

png_uint_32 pixelsPerMetre(std::int32_t value)
{
    return value > 0 ? static_cast<png_uint_32>(value) : static_cast<png_uint_32>(kDefaultPixelsPerMetre);
}

// Everything the error jump may leave: only C objects live here.
bool compress(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, leaveOnError, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_compression_level(png, kCompressionLevel);
    png_set_compression_strategy(png, kCompressionStrategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kRowFilters);
    png_set_IHDR(png, info, page.width(), page.height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, pixelsPerMetre(page.xPixelsPerMetre()), pixelsPerMetre(page.yPixelsPerMetre()),
                 PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < page.height(); ++y)
        png_write_row(png, page.rgb(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

win::GpStatus encodePng(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    out.clear();
    try {
        // About a byte a pixel is typical of a page; reserving it saves most regrowth copies.
        out.reserve(std::size_t{page.width()} * page.height() / 2);
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
    return compress(page, out) ? win::Ok : win::GenericError;
}

}  // namespace quillora::dlls
