#include "runtime/picture/dib_bitmap.h"

#include <cstring>
#include <utility>

#include "platform/formats/bmp_reader.h"
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/dib_pixels.h"

namespace quillora::runtime {

namespace {

// The colour table as the object keeps it: four-byte entries (blue, green, red, 0).
std::vector<std::uint8_t> colourTableOf(const formats::BmpImage& image)
{
    std::vector<std::uint8_t> table(image.palette.count * 4);
    for (std::size_t entry = 0; entry < image.palette.count; ++entry) {
        const ColourQuad& colour = image.palette.entries[entry];
        table[entry * 4] = colour.blue;
        table[entry * 4 + 1] = colour.green;
        table[entry * 4 + 2] = colour.red;
    }
    return table;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DibBitmap::newFileImage(const BitmapInfoHeader& header,
                                                                 std::span<const std::uint8_t> colourTable)
{
    std::optional<BmpFile> file = newBmpFile(header, colourTable);
    if (!file)
        return std::nullopt;
    return std::move(file->bytes);
}

bool DibBitmap::loadFromData(std::span<const std::uint8_t> data)
{
    lastError_.clear();
    release();
    const formats::BmpReadResult source = formats::readBmp(data, formats::kBitmapObjectBmpRules);
    if (!source.image)
        return fail(kDibUnsupportedData);
    const formats::BmpImage& image = *source.image;

    std::optional<std::vector<std::uint8_t>> file = newFileImage(image.header, colourTableOf(image));
    if (!file)
        return fail(kDibUnsupportedData);
    file_ = std::move(*file);

    // The reader holds the object's rule that every row is there in full.
    const std::uint32_t rows = image.height();
    if (image.topDown) {
        // Kept bottom-up like every other bitmap, so the first stored row is the file's last.
        const auto rowBytes = static_cast<std::size_t>(stride());
        for (std::uint32_t y = 0; y < rows; ++y)
            std::memcpy(row(y), image.pixels.data() + y * rowBytes, rowBytes);
    } else {
        std::memcpy(row(rows - 1), image.pixels.data(), image.pixels.size());
    }
    return true;
}

std::span<const std::uint8_t> DibBitmap::data()
{
    lastError_.clear();
    if (empty()) {
        fail(kDibNotCreated);
        return {};
    }
    return file_;
}

bool DibBitmap::setHorizontalResolution(std::int32_t pixelsPerMetre)
{
    lastError_.clear();
    if (empty())
        return fail(kDibNotCreated);
    BitmapInfoHeader stamped = header();
    stamped.xPixelsPerMetre = pixelsPerMetre;
    setHeader(stamped);
    return true;
}

bool DibBitmap::setVerticalResolution(std::int32_t pixelsPerMetre)
{
    lastError_.clear();
    if (empty())
        return fail(kDibNotCreated);
    BitmapInfoHeader stamped = header();
    stamped.yPixelsPerMetre = pixelsPerMetre;
    setHeader(stamped);
    return true;
}

std::optional<std::uint32_t> DibBitmap::pixel(std::int64_t x, std::int64_t y)
{
    lastError_.clear();
    if (empty()) {
        fail(kDibNotCreated);
        return std::nullopt;
    }
    if (x < 0 || y < 0 || x >= width() || y >= height()) {
        fail(kDibPixelOutside);
        return std::nullopt;
    }
    const std::uint32_t value = readDibPixelValue(row(static_cast<std::uint32_t>(y)), static_cast<std::uint32_t>(x), bitCount());
    if (bitCount() >= 16)
        return dibDirectColour(value, bitCount());
    // A colours-used field may make the table shorter than the indexes the pixels can hold.
    if (value >= colourCount()) {
        fail(kDibBadColourIndex);
        return std::nullopt;
    }
    return dibTableColour(colourTable(), value);
}

BitmapInfoHeader DibBitmap::header() const
{
    BitmapInfoHeader header;
    std::memcpy(&header, file_.data() + formats::kBmpFileHeaderBytes, sizeof header);
    return header;
}

void DibBitmap::setHeader(const BitmapInfoHeader& header)
{
    std::memcpy(file_.data() + formats::kBmpFileHeaderBytes, &header, sizeof header);
}

std::uint32_t DibBitmap::colourCount() const
{
    const BitmapInfoHeader current = header();
    return dibColourCount(current.coloursUsed, current.bitCount);
}

std::span<const std::uint8_t> DibBitmap::colourTable() const
{
    return std::span(file_).subspan(kDibColourTableOffset, std::size_t{colourCount()} * 4);
}

std::uint64_t DibBitmap::stride() const
{
    return formats::bmpStride(static_cast<std::uint64_t>(width()), bitCount());
}

const std::uint8_t* DibBitmap::row(std::uint32_t y) const
{
    const std::uint64_t stored = static_cast<std::uint64_t>(height()) - 1 - y;
    return file_.data() + kDibColourTableOffset + colourTable().size() + stored * stride();
}

std::uint8_t* DibBitmap::row(std::uint32_t y)
{
    return const_cast<std::uint8_t*>(std::as_const(*this).row(y));
}

bool DibBitmap::fail(const char* reason)
{
    lastError_ = reason;
    return false;
}

void DibBitmap::release()
{
    // Swapped out rather than cleared, so a large page's memory goes back at once.
    std::vector<std::uint8_t>().swap(file_);
}

}  // namespace quillora::runtime
