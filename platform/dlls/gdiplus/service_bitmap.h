// The bitmap the image-encoding service hands out as a GpImage.
//
// It keeps the BMP data's rows as they were stored, not a decoded copy of them: for a stream on
// a global memory block (the one kind the program makes) the rows stay in the block, and the
// stream is kept referenced for as long as the bitmap lives; the rows of any other stream are
// read once into memory of the bitmap's own. An encoder reads the rows one at a time through
// BitmapRows, which turns each into red, green and blue as it is asked for.
#pragma once

#include "platform/formats/bmp_rows.h"
#include "quillora/win_abi.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillora::dlls {

// A bitmap without a resolution of its own is taken at the screen's 96 dots per inch, as the
// service does for such data.
inline constexpr std::int32_t kDefaultPixelsPerMetre = 3780;

struct ServiceBitmap {
    ServiceBitmap() = default;
    ServiceBitmap(const ServiceBitmap&) = delete;
    ServiceBitmap& operator=(const ServiceBitmap&) = delete;
    ~ServiceBitmap();

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t xPixelsPerMetre = kDefaultPixelsPerMetre;
    std::int32_t yPixelsPerMetre = kDefaultPixelsPerMetre;

    // How the rows are stored.
    unsigned bitCount = 0;
    bool topDown = false;
    formats::BmpPalette palette;

    // Where they are: `pixelBytes` bytes from `pixelStart` of the block under `stream` (which
    // holds a reference), or of `ownData` when there is no stream.
    win::IStream* stream = nullptr;
    win::HGLOBAL block = nullptr;
    std::size_t pixelStart = 0;
    std::size_t pixelBytes = 0;
    std::vector<std::uint8_t> ownData;
};

// The rows of a bitmap for one encoding, top-down, as red, green and blue. The block under the
// bitmap is locked meanwhile and checked again: it is the program's memory, and may have been
// resized or freed since the bitmap was made.
class BitmapRows {
public:
    // Throws std::bad_alloc when the scratch row cannot be had.
    explicit BitmapRows(const ServiceBitmap& bitmap);
    ~BitmapRows();
    BitmapRows(const BitmapRows&) = delete;
    BitmapRows& operator=(const BitmapRows&) = delete;

    // False when the rows are no longer all there; nothing may then be read.
    bool ok() const { return !stored_.empty(); }

    std::uint32_t width() const { return bitmap_.width; }
    std::uint32_t height() const { return bitmap_.height; }
    std::int32_t xPixelsPerMetre() const { return bitmap_.xPixelsPerMetre; }
    std::int32_t yPixelsPerMetre() const { return bitmap_.yPixelsPerMetre; }
    // Dots per inch of each axis, the unit most formats store.
    double xDotsPerInch() const { return xPixelsPerMetre() * 0.0254; }
    double yDotsPerInch() const { return yPixelsPerMetre() * 0.0254; }

    // Row `y` counted from the top, width x 3 bytes of red, green, blue; valid until the next
    // call. The encoder may change the bytes.
    std::uint8_t* rgb(std::uint32_t y);

private:
    const ServiceBitmap& bitmap_;
    bool locked_ = false;
    std::span<const std::uint8_t> stored_;
    std::vector<std::uint8_t> row_;
};

// Bitmaps handed out and not disposed yet. A GpImage the service did not make (or one already
// disposed) is never read: every export looks the pointer up first.
win::GpImage* registerBitmap(ServiceBitmap* bitmap);
ServiceBitmap* findBitmap(win::GpImage* image);
// Forgets and frees the bitmap; false when it is not a live bitmap of this service.
bool disposeBitmap(win::GpImage* image);

}  // namespace quillora::dlls
