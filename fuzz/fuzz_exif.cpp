// Reads the EXIF orientation and date of arbitrary bytes, both as a whole JPEG file (the segment
// walk to the EXIF block, then its directories) and as the TIFF part of an EXIF block on its own,
// so the directory reader is reached without a valid JPEG around it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/formats/exif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillora::formats;
    const std::span<const std::uint8_t> bytes(data, size);
    readJpegExif(bytes);
    readExifOrientation(bytes);
    readExifCaptureTime(bytes);
    parseExifDateTime(bytes);
    return 0;
}
