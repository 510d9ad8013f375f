#include "runtime/picture/pcx_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/formats/byte_reader.h"
#include "runtime/picture/indexed_picture.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

using formats::ByteReader;

namespace {

#pragma pack(push, 1)
struct PcxHeader {
    std::uint8_t manufacturer;  // 0x0A
    std::uint8_t version;
    std::uint8_t encoding;      // 1: run-length
    std::uint8_t bitsPerPixel;
    std::uint16_t xMin;
    std::uint16_t yMin;
    std::uint16_t xMax;
    std::uint16_t yMax;
    std::uint16_t horizontalDpi;
    std::uint16_t verticalDpi;
    std::uint8_t egaPalette[48];  // 16 red-green-blue triples
    std::uint8_t reserved;
    std::uint8_t planes;
    std::uint16_t bytesPerLine;   // per plane
    std::uint16_t paletteInfo;
    std::uint16_t screenWidth;
    std::uint16_t screenHeight;
    std::uint8_t filler[54];
};
#pragma pack(pop)
static_assert(sizeof(PcxHeader) == 128);

constexpr std::uint8_t kManufacturer = 0x0A;
constexpr std::uint8_t kRunLengthEncoding = 1;
constexpr std::uint8_t kLatestVersion = 5;
// An 8-bit file of version 5 ends with a marker byte and 256 red-green-blue triples.
constexpr std::uint8_t kPaletteMarker = 0x0C;
constexpr std::size_t kTrailingPaletteBytes = 1 + 256 * 3;

// The run-length code: a byte up to 192 is one literal byte, a byte above 192 repeats the
// byte after it (byte - 192) times. Runs may carry on from one scan line into the next.
class RunLengthReader {
public:
    explicit RunLengthReader(std::span<const std::uint8_t> input) : input_(input) {}

    // Fills the whole line; false when the data ends first.
    bool fill(std::span<std::uint8_t> line)
    {
        std::size_t filled = 0;
        while (filled < line.size()) {
            if (runLeft_ > 0) {
                const std::size_t count = std::min<std::size_t>(runLeft_, line.size() - filled);
                std::memset(line.data() + filled, runValue_, count);
                filled += count;
                runLeft_ -= static_cast<unsigned>(count);
                continue;
            }
            if (position_ >= input_.size())
                return false;
            const std::uint8_t byte = input_[position_++];
            if (byte <= 192) {
                line[filled++] = byte;
                continue;
            }
            if (position_ >= input_.size())
                return false;
            runValue_ = input_[position_++];
            runLeft_ = byte - 192u;
        }
        return true;
    }

private:
    std::span<const std::uint8_t> input_;
    std::size_t position_ = 0;
    std::uint8_t runValue_ = 0;
    unsigned runLeft_ = 0;
};

std::optional<std::vector<std::uint8_t>> newLineBuffer(std::size_t bytes)
{
    try {
        return std::vector<std::uint8_t>(bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

ColourTable readColourTable(const PcxHeader& header, std::span<const std::uint8_t> bytes, bool& trailingPalette)
{
    ColourTable table{};
    trailingPalette = bytes.size() >= sizeof(PcxHeader) + kTrailingPaletteBytes &&
                      bytes[bytes.size() - kTrailingPaletteBytes] == kPaletteMarker;
    if (trailingPalette) {
        const auto rgb = bytes.last(kTrailingPaletteBytes - 1);
        for (std::size_t index = 0; index < kColourTableEntries; ++index)
            table[index] = {rgb[index * 3 + 2], rgb[index * 3 + 1], rgb[index * 3], 0};
    } else {
        // Without the trailing table only the header's 16 colours are known.
        for (std::size_t index = 0; index < 16; ++index)
            table[index] = {header.egaPalette[index * 3 + 2], header.egaPalette[index * 3 + 1],
                            header.egaPalette[index * 3], 0};
    }
    return table;
}

std::optional<PictureRecord> decodeColour(const PcxHeader& header, std::uint32_t width, std::uint32_t height,
                                          std::span<const std::uint8_t> bytes)
{
    // One plane of one byte a pixel; several planes of 8 bits are a 24-bit picture, which the
    // indexed layout cannot hold.
    if (header.planes != 1 || header.bytesPerLine < width)
        return std::nullopt;
    bool trailingPalette = false;
    const ColourTable table = readColourTable(header, bytes, trailingPalette);
    auto data = newIndexedPicture(width, height, header.planes);
    auto line = newLineBuffer(header.bytesPerLine);
    if (!data || !line)
        return std::nullopt;
    writeColourTable(*data, table);

    auto encoded = bytes.subspan(sizeof(PcxHeader));
    if (trailingPalette)
        encoded = encoded.first(encoded.size() - kTrailingPaletteBytes);
    RunLengthReader runs(encoded);
    const std::uint64_t stride = paddedRowBytes(width);
    for (std::uint32_t row = 0; row < height; ++row) {
        if (!runs.fill(*line))
            return std::nullopt;
        // The scan line may be longer than the picture is wide; the extra pixels are dropped.
        std::memcpy(data->data() + kIndexedPixelOffset + row * stride, line->data(), width);
    }
    PictureRecord record;
    record.kind = PictureKind::Pcx8;
    record.width = static_cast<std::int32_t>(width);
    record.height = static_cast<std::int32_t>(height);
    record.data = std::move(*data);
    return record;
}

std::optional<PictureRecord> decodeMonochrome(const PcxHeader& header, std::uint32_t width, std::uint32_t height,
                                              std::span<const std::uint8_t> bytes)
{
    const std::uint64_t usedBytes = (std::uint64_t{width} + 7) / 8;
    // A monochrome bitmap's rows are padded to an even number of bytes.
    const std::uint64_t rowBytes = (usedBytes + 1) / 2 * 2;
    if (header.bytesPerLine < usedBytes)
        return std::nullopt;
    auto data = newPixelBuffer(width, height, rowBytes);
    auto line = newLineBuffer(header.bytesPerLine);
    if (!data || !line)
        return std::nullopt;
    RunLengthReader runs(bytes.subspan(sizeof(PcxHeader)));
    for (std::uint32_t row = 0; row < height; ++row) {
        if (!runs.fill(*line))
            return std::nullopt;
        std::memcpy(data->data() + row * rowBytes, line->data(), usedBytes);
    }
    PictureRecord record;
    record.kind = PictureKind::Pcx1;
    record.width = static_cast<std::int32_t>(width);
    record.height = static_cast<std::int32_t>(height);
    record.data = std::move(*data);
    return record;
}

}  // namespace

std::optional<PictureRecord> decodePcx(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    PcxHeader header;
    if (bytes.size() <= sizeof(PcxHeader) || !reader.read(header))
        return std::nullopt;
    if (header.manufacturer != kManufacturer || header.encoding != kRunLengthEncoding ||
        header.version > kLatestVersion || header.xMax < header.xMin || header.yMax < header.yMin)
        return std::nullopt;
    const std::uint32_t width = std::uint32_t{header.xMax} - header.xMin + 1;
    const std::uint32_t height = std::uint32_t{header.yMax} - header.yMin + 1;
    if (!pictureSizeAllowed(width, height))
        return std::nullopt;
    if (header.bitsPerPixel == 1 && header.planes == 1)
        return decodeMonochrome(header, width, height, bytes);
    if (header.bitsPerPixel != 8)
        return std::nullopt;
    return decodeColour(header, width, height, bytes);
}

}  // namespace quillora::runtime
