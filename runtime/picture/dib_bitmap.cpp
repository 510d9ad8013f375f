#include "runtime/picture/dib_bitmap.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/byte_reader.h"
#include "runtime/picture/dib_pixels.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

namespace {

// What the headers of a BMP file say, checked against the file's length.
struct SourceBitmap {
    BitmapInfoHeader header{};  // widened to 40 bytes, height made positive
    bool topDown = false;
    std::span<const std::uint8_t> colourTable;
    std::uint32_t colourEntryBytes = 4;
    std::span<const std::uint8_t> pixels;  // exactly stride x height bytes
};

BitmapInfoHeader widenCoreHeader(const DibCoreHeader& core)
{
    BitmapInfoHeader header{};
    header.size = kDibInfoHeaderBytes;
    header.width = core.width;
    header.height = core.height;
    header.planes = core.planes;
    header.bitCount = core.bitCount;
    return header;
}

// Reads and checks every header field before anything is trusted. A field that could make a
// later step read outside the data or allocate without bound rejects the file.
std::optional<SourceBitmap> readSourceBitmap(std::span<const std::uint8_t> data)
{
    ByteReader reader(data);
    DibFileHeader fileHeader{};
    if (!reader.read(fileHeader) || fileHeader.signature != kDibSignature)
        return std::nullopt;

    SourceBitmap source;
    const std::uint32_t headerBytes = reader.u32();
    reader.seek(kDibFileHeaderBytes);
    if (headerBytes == kDibInfoHeaderBytes) {
        if (!reader.read(source.header))
            return std::nullopt;
    } else if (headerBytes == kDibCoreHeaderBytes) {
        DibCoreHeader core{};
        if (!reader.read(core))
            return std::nullopt;
        source.header = widenCoreHeader(core);
        source.colourEntryBytes = 3;
    } else {
        return std::nullopt;
    }

    BitmapInfoHeader& header = source.header;
    // A negative height means the rows run top-down; the smallest 32-bit number has no
    // positive counterpart and is no real height.
    if (header.width <= 0 || header.height == 0 || header.height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    if (header.planes != 1 || !isSupportedDibBitCount(header.bitCount) || header.compression != kDibUncompressed)
        return std::nullopt;
    source.topDown = header.height < 0;
    if (source.topDown)
        header.height = -header.height;

    // A bitmap of up to 8 bits cannot use more colours than it has indexes; the table of a
    // deeper bitmap is only a hint, but it is still bounded.
    const std::uint32_t colours = dibColourCount(header.coloursUsed, header.bitCount);
    const std::uint32_t maxColours = header.bitCount <= 8 ? 1u << header.bitCount : kMaxDibColours;
    if (colours > maxColours)
        return std::nullopt;
    source.colourTable = reader.take(std::size_t{colours} * source.colourEntryBytes);
    if (!reader.ok())
        return std::nullopt;

    // A bitmap the object could not hold is refused before its size is trusted any further.
    const auto rows = static_cast<std::uint64_t>(header.height);
    if (!pictureSizeAllowed(static_cast<std::uint64_t>(header.width), rows))
        return std::nullopt;
    const std::uint64_t stride = dibRowStride(static_cast<std::uint64_t>(header.width), header.bitCount);
    const std::uint64_t imageBytes = stride * rows;
    // The pixels must lie after the colour table, and all of them must be there: a file cut
    // short would otherwise have its missing rows read from beyond the data.
    if (fileHeader.pixelOffset < reader.position() || fileHeader.pixelOffset >= data.size())
        return std::nullopt;
    if (data.size() - fileHeader.pixelOffset < imageBytes)
        return std::nullopt;
    source.pixels = data.subspan(fileHeader.pixelOffset, static_cast<std::size_t>(imageBytes));
    return source;
}

// The colour table with every entry widened to four bytes (blue, green, red, 0).
std::vector<std::uint8_t> widenColourTable(std::span<const std::uint8_t> table, std::uint32_t entryBytes)
{
    std::vector<std::uint8_t> wide(table.size() / entryBytes * 4);
    for (std::size_t entry = 0; entry < table.size() / entryBytes; ++entry) {
        wide[entry * 4] = table[entry * entryBytes];
        wide[entry * 4 + 1] = table[entry * entryBytes + 1];
        wide[entry * 4 + 2] = table[entry * entryBytes + 2];
    }
    return wide;
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
    const std::optional<SourceBitmap> source = readSourceBitmap(data);
    if (!source)
        return fail(kDibUnsupportedData);

    const std::vector<std::uint8_t> colourTable = widenColourTable(source->colourTable, source->colourEntryBytes);
    std::optional<std::vector<std::uint8_t>> file = newFileImage(source->header, colourTable);
    if (!file)
        return fail(kDibUnsupportedData);
    file_ = std::move(*file);

    const std::uint64_t rowBytes = stride();
    const auto rows = static_cast<std::uint32_t>(source->header.height);
    if (source->topDown) {
        // Kept bottom-up like every other bitmap, so the first stored row is the file's last.
        for (std::uint32_t y = 0; y < rows; ++y)
            std::memcpy(row(y), source->pixels.data() + y * rowBytes, static_cast<std::size_t>(rowBytes));
    } else {
        std::memcpy(row(rows - 1), source->pixels.data(), source->pixels.size());
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
    std::memcpy(&header, file_.data() + kDibFileHeaderBytes, sizeof header);
    return header;
}

void DibBitmap::setHeader(const BitmapInfoHeader& header)
{
    std::memcpy(file_.data() + kDibFileHeaderBytes, &header, sizeof header);
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
    return dibRowStride(static_cast<std::uint64_t>(width()), bitCount());
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
