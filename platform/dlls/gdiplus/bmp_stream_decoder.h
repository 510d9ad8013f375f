// The one input format of the stand-in service: uncompressed BMP data, as the program's bitmap
// object and drawing panel make it, read by the one BMP reader (platform/formats/bmp_reader.h)
// under the service's rules.
#pragma once

#include "platform/dlls/gdiplus/service_bitmap.h"

#include <memory>

namespace quillora::dlls {

// Makes a bitmap of the BMP file that starts at the stream's position: a 40-byte or 12-byte
// header, 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel, rows bottom-up or top-down. The rows
// of a stream on a global memory block stay where they are; the stream then ends up just past
// them. The status says why data is refused: UnknownImageFormat for data that is no BMP or a
// kind of BMP this service does not read (compressed, bit fields, newer headers),
// InvalidParameter for a BMP whose fields contradict each other or whose data is cut short,
// OutOfMemory for a bitmap above formats::kMaxBmpPixels or memory that cannot be had.
win::GpStatus decodeBmpStream(win::IStream* stream, std::unique_ptr<ServiceBitmap>& bitmap);

}  // namespace quillora::dlls
