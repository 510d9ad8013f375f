// The one input format of the stand-in service: uncompressed BMP data, as the program's bitmap
// object and drawing panel make it.
#pragma once

#include "platform/dlls/gdiplus/service_bitmap.h"

#include <memory>

namespace quillora::dlls {

// Decodes the BMP file that starts at the stream's position: a 40-byte or 12-byte header,
// 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel, rows bottom-up or top-down. The status says
// why data is refused: UnknownImageFormat for data that is no BMP or a kind of BMP this
// service does not read (compressed, bit fields, newer headers), InvalidParameter for a BMP
// whose fields contradict each other or whose data is cut short, OutOfMemory for a bitmap
// above kMaxServiceBitmapPixels or memory that cannot be had.
win::GpStatus decodeBmpStream(win::IStream* stream, std::unique_ptr<ServiceBitmap>& bitmap);

}  // namespace quillora::dlls
