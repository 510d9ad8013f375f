#include "platform/formats/bmp_rows.h"

namespace quillora::formats {
namespace {

// Five-bit parts of a 16-bit pixel spread over the whole byte range, so 31 is full intensity.
std::uint8_t widenFiveBits(unsigned part)
{
    return static_cast<std::uint8_t>((part << 3) | (part >> 2));
}

// Puts one pixel in the wanted order and advances past it.
class PixelWriter {
public:
    PixelWriter(std::uint8_t* out, PixelOrder order) : out_(out), order_(order) {}

    void put(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha = 255)
    {
        if (order_ == PixelOrder::Rgb) {
            out_[0] = red;
            out_[1] = green;
            out_[2] = blue;
            out_ += 3;
            return;
        }
        out_[0] = blue;
        out_[1] = green;
        out_[2] = red;
        if (order_ == PixelOrder::Bgra) {
            out_[3] = alpha;
            out_ += 4;
        } else {
            out_ += 3;
        }
    }

    void put(const ColourQuad& colour) { put(colour.blue, colour.green, colour.red); }

private:
    std::uint8_t* out_;
    PixelOrder order_;
};

}  // namespace

BmpPalette readBmpPalette(ByteReader& reader, std::size_t count, std::size_t entryBytes)
{
    BmpPalette palette;
    palette.count = count < palette.entries.size() ? count : palette.entries.size();
    for (std::size_t index = 0; index < count; ++index) {
        const auto entry = reader.take(entryBytes);
        if (entry.empty())
            return BmpPalette{};
        if (index < palette.count)
            palette.entries[index] = {entry[0], entry[1], entry[2], 0};
    }
    return palette;
}

void expandBmpRow(std::span<const std::uint8_t> row, unsigned bitCount, const BmpPalette& palette,
                  std::uint32_t width, std::uint8_t* out, PixelOrder order, bool keepAlpha)
{
    if (row.size() < bmpRowBytes(width, bitCount))
        return;
    PixelWriter pixels(out, order);
    switch (bitCount) {
    case 1:
        // The leftmost pixel of a byte is its highest bit.
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.put(palette.entries[(row[x / 8] >> (7 - x % 8)) & 1]);
        return;
    case 4:
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.put(palette.entries[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F]);
        return;
    case 8:
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.put(palette.entries[row[x]]);
        return;
    case 16:
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned value = row[x * 2] | (row[x * 2 + 1] << 8);
            pixels.put(widenFiveBits(value & 0x1F), widenFiveBits((value >> 5) & 0x1F),
                       widenFiveBits((value >> 10) & 0x1F));
        }
        return;
    case 24:
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.put(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
        return;
    case 32:
        // The fourth byte carries no colour; an icon's 32-bit image keeps it as alpha.
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.put(row[x * 4], row[x * 4 + 1], row[x * 4 + 2], keepAlpha ? row[x * 4 + 3] : 255);
        return;
    default:
        return;
    }
}

}  // namespace quillora::formats
