// JPEG output through libjpeg-turbo: baseline, quality 75 (the service's quality when the
// caller passes no encoder parameters), JFIF density in dots per inch.
#include "platform/dlls/gdiplus/image_encoders.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <jpeglib.h>

namespace quillora::dlls {
namespace {

constexpr int kDefaultQuality = 75;

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the encoder, which cleans up and reports the failure.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void leaveOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void ignoreMessage(j_common_ptr) {}

// JFIF keeps its density in 16 bits; 300 dpi is 11 811 pixels per metre.
UINT16 densityOf(double dotsPerInch)
{
    const long rounded = std::lround(dotsPerInch);
    return static_cast<UINT16>(rounded < 1 ? 1 : rounded > 65535 ? 65535 : rounded);
}

// The part of the encoder that may be left by the error jump: nothing here owns C++ objects,
// so the jump skips no destructor.
bool compress(BitmapRows& page, unsigned char** buffer, unsigned long* size)
{
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.output_message = ignoreMessage;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = page.width();
    info.image_height = page.height();
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kDefaultQuality, TRUE);
    info.write_JFIF_header = TRUE;
    info.density_unit = 1;  // dots per inch
    info.X_density = densityOf(page.xDotsPerInch());
    info.Y_density = densityOf(page.yDotsPerInch());
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = page.rgb(info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

win::GpStatus encodeJpeg(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    // JPEG sides are 16-bit numbers.
    if (page.width() > JPEG_MAX_DIMENSION || page.height() > JPEG_MAX_DIMENSION)
        return win::InvalidParameter;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool done = compress(page, &buffer, &size);
    win::GpStatus status = done ? win::Ok : win::GenericError;
    if (done) {
        try {
            out.assign(buffer, buffer + size);
        } catch (const std::bad_alloc&) {
            status = win::OutOfMemory;
        }
    }
    std::free(buffer);  // jpeg_mem_dest's buffer is the caller's to free, even after a failure
    return status;
}

}  // namespace quillora::dlls
