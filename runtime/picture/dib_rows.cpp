#include "runtime/picture/dib_rows.h"

namespace quillora::runtime {

DibPalette readDibPalette(ByteReader& reader, std::size_t count, std::size_t entryBytes)
{
    DibPalette palette;
    palette.count = count < palette.entries.size() ? count : palette.entries.size();
    for (std::size_t index = 0; index < palette.count; ++index) {
        const auto entry = reader.take(entryBytes);
        if (entry.empty())
            return DibPalette{};
        palette.entries[index] = {entry[0], entry[1], entry[2], 0};
    }
    return palette;
}

std::uint64_t dibRowBytes(std::uint64_t width, unsigned bitCount)
{
    return (width * bitCount + 7) / 8;
}

std::uint64_t dibStride(std::uint64_t width, unsigned bitCount)
{
    // Bitmap rows are padded to a multiple of four bytes.
    return (dibRowBytes(width, bitCount) + 3) / 4 * 4;
}

static void putPixel(std::uint8_t* out, const ColourQuad& colour, std::uint8_t alpha, unsigned outStride)
{
    out[0] = colour.blue;
    out[1] = colour.green;
    out[2] = colour.red;
    if (outStride == 4)
        out[3] = alpha;
}

void expandDibRow(std::span<const std::uint8_t> row, unsigned bitCount, const DibPalette& palette,
                  std::uint32_t width, std::uint8_t* out, unsigned outStride, bool keepAlpha)
{
    if (row.size() < dibRowBytes(width, bitCount))
        return;
    for (std::uint32_t x = 0; x < width; ++x, out += outStride) {
        switch (bitCount) {
        case 1:
            putPixel(out, palette.entries[(row[x / 8] >> (7 - x % 8)) & 1], 255, outStride);
            break;
        case 4:
            putPixel(out, palette.entries[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F], 255, outStride);
            break;
        case 8:
            putPixel(out, palette.entries[row[x]], 255, outStride);
            break;
        case 24:
            putPixel(out, {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 0}, 255, outStride);
            break;
        case 32:
            putPixel(out, {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], 0}, keepAlpha ? row[x * 4 + 3] : 255,
                     outStride);
            break;
        default:
            return;
        }
    }
}

}  // namespace quillora::runtime
