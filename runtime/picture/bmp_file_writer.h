// Writing BMP files: the one place the runtime lays the file out, for the drawing panel's
// pictures, the bitmap object's data and the animation box's pictures of an area.
//
// A written file is the 14-byte file header (signature "BM", the size of the whole file, two
// zero reserved words, the offset of the pixels), the 40-byte information header, the colour
// table of four-byte entries and the pixel rows, bottom-up, each padded to four bytes. The
// pixel memory comes from the checked pixel factory, so every file answers to the one picture
// cap of pixel_buffer.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

// A BMP file being filled in: headers and colour table written, every pixel byte zero.
struct BmpFile {
    std::vector<std::uint8_t> bytes;
    std::size_t pixelOffset = 0;
    std::size_t stride = 0;  // bytes of one stored row, padding included
    std::uint32_t height = 0;

    // The stored row of pixel row `y` counted from the top: the rows are kept bottom-up.
    std::uint8_t* rowFromTop(std::uint32_t y) { return bytes.data() + pixelOffset + (height - 1 - y) * stride; }
};

// The information header of an uncompressed bottom-up bitmap of width x height pixels
// (height positive), with its image size and resolution filled in and no colours-used count.
BitmapInfoHeader bmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                               std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre);

// A new file for `header`, which is written as given (its width and height positive, its bit
// count 1, 4, 8, 16, 24 or 32), and `colourTable` (four-byte entries, written after it).
// Nothing when the pixels would pass the picture cap or memory is exhausted.
std::optional<BmpFile> newBmpFile(const BitmapInfoHeader& header, std::span<const std::uint8_t> colourTable = {});

// Top-down rows of 32-bit pixels stored blue, green, red and a fourth byte: a drawing surface,
// or a Qt image in its 32-bit RGB format on this little-endian machine.
struct BgrxPixels {
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next
};

// The pixels as a complete 24-bit BMP file at the given resolution; empty when a side is not
// positive or the file would pass the picture cap.
std::vector<std::uint8_t> bmpFileFromBgrx(const BgrxPixels& source, std::int32_t xPixelsPerMetre,
                                          std::int32_t yPixelsPerMetre);

// The same file laid out in memory the caller provides, for results that are made in place
// (a drawing panel's page goes straight into the byte set it is handed out as).
// bgrxBmpFileBytes is the length of the file of width × height pixels, nothing when a side is
// not positive or the file would pass the picture cap. writeBmpFileFromBgrx writes every byte of
// `file`, which must have exactly that length for the source's size; false, with nothing
// written, otherwise. The source is read from its last row up; `rowsRead`, when given, is told
// now and then the highest source row read so far (every row from it down is done with).
std::optional<std::size_t> bgrxBmpFileBytes(std::int32_t width, std::int32_t height);
bool writeBmpFileFromBgrx(const BgrxPixels& source, std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre,
                          std::span<std::uint8_t> file, const std::function<void(std::int32_t)>& rowsRead = {});

}  // namespace quillora::runtime
