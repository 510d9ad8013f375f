// JPEG files for the picture tests, written with libjpeg independently of the decoder.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

#include "picture_test_support.h"

namespace quillora::test {

// Writes a JPEG with libjpeg; `pixel` fills the components of pixel (x, y).
inline Bytes encodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                 const std::function<void(int, int, std::uint8_t*)>& pixel, bool progressive = false)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width * components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, static_cast<int>(info.next_scanline), row.data() + x * components);
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return out;
}

// Top half red, bottom half blue.
inline Bytes redOverBlue(int width, int height, bool progressive = false)
{
    return encodeJpeg(
        width, height, 3, JCS_RGB,
        [height](int, int y, std::uint8_t* rgb) {
            const bool top = y < height / 2;
            rgb[0] = top ? 255 : 0;
            rgb[1] = 0;
            rgb[2] = top ? 0 : 255;
        },
        progressive);
}

}  // namespace quillora::test
