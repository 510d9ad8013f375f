#include "platform/dlls/gdiplus/bmp_stream_decoder.h"

#include "platform/dlls/gdiplus/stream_io.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>

namespace quillora::dlls {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kCoreHeaderBytes = 12;

// The export hands over a whole file, whose pixels follow the colour table at once. A gap
// (a deeper bitmap's optional table, say) is read past; a forged offset gigabytes away is not.
constexpr std::uint64_t kMaxGapBeforePixels = 1u << 20;

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows top-down
    std::uint32_t planes = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t colourEntryBytes = 4;
};

std::uint16_t u16At(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t u32At(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool supportedBitCount(std::uint32_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Five-bit parts of a 16-bit pixel spread over the whole byte range, so 31 is full intensity.
std::uint8_t widenFiveBits(std::uint32_t part)
{
    return static_cast<std::uint8_t>((part << 3) | (part >> 2));
}

// One stored row to red, green, blue. `palette` holds 256 entries of red, green, blue; the
// entries past the file's table are black, so any index reads something defined.
void convertRow(const std::uint8_t* in, const Layout& layout, const std::array<std::uint8_t, 768>& palette,
                std::uint8_t* out, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, out += 3) {
        std::uint32_t index = 0;
        switch (layout.bitCount) {
        case 1:
            index = (in[x / 8] >> (7 - x % 8)) & 1;  // the leftmost pixel is the highest bit
            break;
        case 4:
            index = (in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
            break;
        case 8:
            index = in[x];
            break;
        case 16: {
            const std::uint32_t value = u16At(in + 2 * x);
            out[0] = widenFiveBits((value >> 10) & 0x1F);
            out[1] = widenFiveBits((value >> 5) & 0x1F);
            out[2] = widenFiveBits(value & 0x1F);
            continue;
        }
        default: {
            // 24 and 32 bits are stored blue, green, red; the fourth byte of 32 carries no colour.
            const std::uint8_t* pixel = in + x * (layout.bitCount / 8);
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
            continue;
        }
        }
        std::memcpy(out, &palette[index * 3], 3);
    }
}

win::GpStatus readLayout(StreamReader& reader, Layout& layout)
{
    std::array<std::uint8_t, 4> sizeField{};
    if (!reader.read(sizeField))
        return win::InvalidParameter;
    const std::uint32_t headerBytes = u32At(sizeField.data());
    if (headerBytes == kInfoHeaderBytes) {
        std::array<std::uint8_t, kInfoHeaderBytes - 4> header{};
        if (!reader.read(header))
            return win::InvalidParameter;
        layout.width = static_cast<std::int32_t>(u32At(&header[0]));
        layout.height = static_cast<std::int32_t>(u32At(&header[4]));
        layout.planes = u16At(&header[8]);
        layout.bitCount = u16At(&header[10]);
        layout.compression = u32At(&header[12]);
        layout.xPixelsPerMetre = static_cast<std::int32_t>(u32At(&header[20]));
        layout.yPixelsPerMetre = static_cast<std::int32_t>(u32At(&header[24]));
        layout.coloursUsed = u32At(&header[28]);
    } else if (headerBytes == kCoreHeaderBytes) {
        // The old core header: unsigned 16-bit sizes, no resolution, three-byte table entries.
        std::array<std::uint8_t, kCoreHeaderBytes - 4> header{};
        if (!reader.read(header))
            return win::InvalidParameter;
        layout.width = u16At(&header[0]);
        layout.height = u16At(&header[2]);
        layout.planes = u16At(&header[4]);
        layout.bitCount = u16At(&header[6]);
        layout.colourEntryBytes = 3;
    } else {
        return win::UnknownImageFormat;
    }
    if (layout.compression != 0 || !supportedBitCount(layout.bitCount))
        return win::UnknownImageFormat;
    if (layout.planes != 1 || layout.width <= 0 || layout.height == 0 ||
        layout.height == std::numeric_limits<std::int32_t>::min())
        return win::InvalidParameter;
    return win::Ok;
}

}  // namespace

win::GpStatus decodeBmpStream(win::IStream* stream, std::unique_ptr<ServiceBitmap>& bitmap)
{
    StreamReader reader(stream);
    std::array<std::uint8_t, kFileHeaderBytes> fileHeader{};
    if (!reader.read(std::span(fileHeader).first(2)) || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return win::UnknownImageFormat;
    if (!reader.read(std::span(fileHeader).subspan(2)))
        return win::InvalidParameter;
    const std::uint32_t pixelOffset = u32At(&fileHeader[10]);

    Layout layout;
    if (const win::GpStatus status = readLayout(reader, layout); status != win::Ok)
        return status;
    const bool topDown = layout.height < 0;
    const auto width = static_cast<std::uint32_t>(layout.width);
    const auto height = static_cast<std::uint32_t>(topDown ? -layout.height : layout.height);
    if (!serviceBitmapSizeAllowed(width, height))
        return win::OutOfMemory;

    // A bitmap of up to 8 bits has one table entry per index at most; a deeper bitmap's table
    // is only a hint and is passed over with the gap before the pixels.
    std::array<std::uint8_t, 768> palette{};
    if (layout.bitCount <= 8) {
        const std::uint32_t indexes = 1u << layout.bitCount;
        const std::uint32_t colours = layout.coloursUsed != 0 ? layout.coloursUsed : indexes;
        if (colours > indexes)
            return win::InvalidParameter;
        for (std::uint32_t entry = 0; entry < colours; ++entry) {
            std::array<std::uint8_t, 4> quad{};
            if (!reader.read(std::span(quad).first(layout.colourEntryBytes)))
                return win::InvalidParameter;
            palette[entry * 3] = quad[2];
            palette[entry * 3 + 1] = quad[1];
            palette[entry * 3 + 2] = quad[0];
        }
    }
    if (pixelOffset < reader.position() || pixelOffset - reader.position() > kMaxGapBeforePixels)
        return win::InvalidParameter;
    // BMP rows are padded to four bytes.
    const std::size_t stride = (std::size_t{width} * layout.bitCount + 31) / 32 * 4;
    // Data that cannot hold the rows its header claims is refused before the bitmap's memory
    // is taken, whenever the stream can tell how much it holds.
    if (const auto left = reader.remaining(); left && *left < (pixelOffset - reader.position()) + stride * height)
        return win::InvalidParameter;
    if (!reader.skip(pixelOffset - reader.position()))
        return win::InvalidParameter;
    auto decoded = std::unique_ptr<ServiceBitmap>(new (std::nothrow) ServiceBitmap);
    if (!decoded)
        return win::OutOfMemory;
    std::vector<std::uint8_t> stored;
    try {
        decoded->rgb.resize(std::size_t{width} * height * 3);
        stored.resize(stride);
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
    decoded->width = width;
    decoded->height = height;
    if (layout.xPixelsPerMetre > 0)
        decoded->xPixelsPerMetre = layout.xPixelsPerMetre;
    if (layout.yPixelsPerMetre > 0)
        decoded->yPixelsPerMetre = layout.yPixelsPerMetre;

    // Every row must be there: a file cut short is refused, not completed with made-up rows.
    for (std::uint32_t storedRow = 0; storedRow < height; ++storedRow) {
        if (!reader.read(stored))
            return win::InvalidParameter;
        const std::uint32_t y = topDown ? storedRow : height - 1 - storedRow;
        convertRow(stored.data(), layout, palette, decoded->row(y), width);
    }
    bitmap = std::move(decoded);
    return win::Ok;
}

}  // namespace quillora::dlls
