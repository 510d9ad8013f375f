// The encoders of the stand-in image-encoding service, one per output format, and the table
// that finds one by the class identifier the program names it with.
#pragma once

#include "platform/dlls/gdiplus/service_bitmap.h"

#include <cstdint>
#include <vector>

namespace quillora::dlls {

// Each encoder reads the bitmap's rows (whose ok() holds) one at a time, writes the whole file
// into `out` and returns Ok, or returns why it could not (OutOfMemory, or GenericError when the
// codec library gave up); `out` is then unspecified.
using ImageEncoder = win::GpStatus (*)(BitmapRows& page, std::vector<std::uint8_t>& out);

win::GpStatus encodeBmp(BitmapRows& page, std::vector<std::uint8_t>& out);
win::GpStatus encodeJpeg(BitmapRows& page, std::vector<std::uint8_t>& out);
win::GpStatus encodeGif(BitmapRows& page, std::vector<std::uint8_t>& out);
win::GpStatus encodeTiff(BitmapRows& page, std::vector<std::uint8_t>& out);
win::GpStatus encodePng(BitmapRows& page, std::vector<std::uint8_t>& out);

// The encoder registered under `encoder`, or null for a class identifier the service does not
// know.
ImageEncoder findImageEncoder(const win::CLSID& encoder);

}  // namespace quillora::dlls
