#include "runtime/picture/bmp_decoder.h"

#include <cstdlib>
#include <limits>

#include "runtime/picture/byte_reader.h"
#include "runtime/picture/dib_rows.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

namespace {

#pragma pack(push, 1)
struct BmpFileHeader {
    std::uint8_t magic[2];  // "BM"
    std::uint32_t fileSize;
    std::uint32_t reserved;
    std::uint32_t pixelOffset;
};

// The header of old OS/2-style files: 16-bit sizes and three-byte colour-table entries.
struct BitmapCoreHeader {
    std::uint32_t size;
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t planes;
    std::uint16_t bitCount;
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14);
static_assert(sizeof(BitmapCoreHeader) == 12);

constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kUncompressed = 0;

// What the headers say about the stored pixels.
struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    DibPalette palette;
};

bool supportedBitCount(unsigned bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

// Reads the information header and the colour table behind it; leaves the reader after the
// colour table.
std::optional<BmpLayout> readLayout(ByteReader& reader)
{
    const std::size_t infoStart = reader.position();
    const std::uint32_t headerSize = reader.u32();
    reader.seek(infoStart);
    BmpLayout layout;
    std::size_t entryBytes = 4;
    std::uint64_t coloursUsed = 0;
    if (headerSize == kCoreHeaderBytes) {
        BitmapCoreHeader core;
        if (!reader.read(core))
            return std::nullopt;
        layout.width = core.width;
        layout.height = core.height;
        layout.bitCount = core.bitCount;
        entryBytes = 3;
    } else if (headerSize >= kInfoHeaderBytes) {
        // Later header versions (108, 124 bytes) only add fields after the first 40 bytes, and
        // the colour table follows the whole header.
        BitmapInfoHeader info;
        if (!reader.read(info) || info.compression != kUncompressed)
            return std::nullopt;
        if (info.width == std::numeric_limits<std::int32_t>::min() ||
            info.height == std::numeric_limits<std::int32_t>::min())
            return std::nullopt;
        layout.width = static_cast<std::uint32_t>(std::abs(info.width));
        layout.height = static_cast<std::uint32_t>(std::abs(info.height));
        // A negative height means the file stores its rows top-down.
        layout.topDown = info.height < 0;
        layout.bitCount = info.bitCount;
        coloursUsed = info.coloursUsed;
        reader.seek(infoStart + headerSize);
    } else {
        return std::nullopt;
    }
    if (!reader.ok() || !supportedBitCount(layout.bitCount) || !pictureSizeAllowed(layout.width, layout.height))
        return std::nullopt;
    if (layout.bitCount <= 8) {
        // A count of 0 means the full table; no index can reach past 2^bitCount entries.
        const std::uint64_t fullTable = 1ull << layout.bitCount;
        if (coloursUsed == 0 || coloursUsed > fullTable)
            coloursUsed = fullTable;
        layout.palette = readDibPalette(reader, coloursUsed, entryBytes);
    }
    if (!reader.ok())
        return std::nullopt;
    return layout;
}

}  // namespace

std::optional<PictureRecord> decodeBmp(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    BmpFileHeader fileHeader;
    if (!reader.read(fileHeader) || fileHeader.magic[0] != 'B' || fileHeader.magic[1] != 'M')
        return std::nullopt;
    const auto layout = readLayout(reader);
    if (!layout)
        return std::nullopt;
    // The pixels may not overlap the headers and colour table already read.
    if (fileHeader.pixelOffset < reader.position())
        return std::nullopt;
    reader.seek(fileHeader.pixelOffset);

    const std::uint64_t rowBytes = dibRowBytes(layout->width, layout->bitCount);
    const std::uint64_t stride = dibStride(layout->width, layout->bitCount);
    // Some writers leave out the padding of the last row; everything before it must be there.
    if (!reader.ok() || reader.remaining() / stride < layout->height - 1 ||
        reader.remaining() - stride * (layout->height - 1) < rowBytes)
        return std::nullopt;

    const std::uint64_t outRowBytes = std::uint64_t{layout->width} * 3;
    auto pixels = newPixelBuffer(layout->width, layout->height, outRowBytes);
    if (!pixels)
        return std::nullopt;
    const auto stored = bytes.subspan(reader.position());
    for (std::uint32_t fileRow = 0; fileRow < layout->height; ++fileRow) {
        // The record keeps its rows bottom-up, as a bottom-up file stores them.
        const std::uint32_t recordRow = layout->topDown ? layout->height - 1 - fileRow : fileRow;
        expandDibRow(stored.subspan(fileRow * stride, rowBytes), layout->bitCount, layout->palette, layout->width,
                     pixels->data() + recordRow * outRowBytes, 3);
    }

    PictureRecord record;
    record.kind = PictureKind::Bmp;
    record.width = static_cast<std::int32_t>(layout->width);
    record.height = static_cast<std::int32_t>(layout->height);
    record.data = std::move(*pixels);
    return record;
}

}  // namespace quillora::runtime
