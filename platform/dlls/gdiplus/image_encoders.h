// The encoders of the stand-in image-encoding service, one per output format, and the table
// that finds one by the class identifier the program names it with.
#pragma once

#include "platform/dlls/gdiplus/service_bitmap.h"

#include <cstdint>
#include <vector>

namespace quillora::dlls {

// Each encoder writes the whole file into `out` and returns Ok, or returns why it could not
// (OutOfMemory, or GenericError when the codec library gave up); `out` is then unspecified.
using ImageEncoder = win::GpStatus (*)(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);

win::GpStatus encodeBmp(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);
win::GpStatus encodeJpeg(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);
win::GpStatus encodeGif(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);
win::GpStatus encodeTiff(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);
win::GpStatus encodePng(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out);

// The encoder registered under `encoder`, or null for a class identifier the service does not
// know.
ImageEncoder findImageEncoder(const win::CLSID& encoder);

}  // namespace quillora::dlls
