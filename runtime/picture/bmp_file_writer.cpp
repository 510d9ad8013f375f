#include "runtime/picture/bmp_file_writer.h"

#include <cstring>

#include "runtime/picture/dib_format.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

BitmapInfoHeader bmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                               std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre)
{
    BitmapInfoHeader header{};
    header.size = kDibInfoHeaderBytes;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.compression = kDibUncompressed;
    // A picture the cap allows has fewer than 2^32 bytes of pixels.
    header.imageSize = static_cast<std::uint32_t>(dibRowStride(static_cast<std::uint64_t>(width > 0 ? width : 0), bitCount) *
                                                  static_cast<std::uint64_t>(height > 0 ? height : 0));
    header.xPixelsPerMetre = xPixelsPerMetre;
    header.yPixelsPerMetre = yPixelsPerMetre;
    return header;
}

std::optional<BmpFile> newBmpFile(const BitmapInfoHeader& header, std::span<const std::uint8_t> colourTable)
{
    if (header.width <= 0 || header.height <= 0 || !isSupportedDibBitCount(header.bitCount))
        return std::nullopt;
    // A colour table has at most one entry per index of an 8-bit bitmap.
    if (colourTable.size() > std::size_t{kMaxDibColours} * 4)
        return std::nullopt;
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto height = static_cast<std::uint64_t>(header.height);
    const std::uint64_t stride = dibRowStride(width, header.bitCount);
    const std::uint64_t pixelOffset = kDibColourTableOffset + colourTable.size();
    std::optional<std::vector<std::uint8_t>> bytes = newPixelBuffer(width, height, stride, pixelOffset);
    if (!bytes)
        return std::nullopt;

    BmpFile file;
    file.bytes = std::move(*bytes);
    file.pixelOffset = static_cast<std::size_t>(pixelOffset);
    file.stride = static_cast<std::size_t>(stride);
    file.height = static_cast<std::uint32_t>(height);
    // The cap keeps the whole file far below 4 GiB, so its size fits the 32-bit field.
    const DibFileHeader fileHeader{kDibSignature, static_cast<std::uint32_t>(file.bytes.size()), 0, 0,
                                   static_cast<std::uint32_t>(pixelOffset)};
    std::memcpy(file.bytes.data(), &fileHeader, sizeof fileHeader);
    std::memcpy(file.bytes.data() + kDibFileHeaderBytes, &header, sizeof header);
    if (!colourTable.empty())
        std::memcpy(file.bytes.data() + kDibColourTableOffset, colourTable.data(), colourTable.size());
    return file;
}

std::vector<std::uint8_t> bmpFileFromBgrx(const BgrxPixels& source, std::int32_t xPixelsPerMetre,
                                          std::int32_t yPixelsPerMetre)
{
    if (!source.pixels || source.width <= 0 || source.height <= 0)
        return {};
    std::optional<BmpFile> file =
        newBmpFile(bmpInfoHeader(source.width, source.height, 24, xPixelsPerMetre, yPixelsPerMetre));
    if (!file)
        return {};
    const auto width = static_cast<std::size_t>(source.width);
    for (std::int32_t y = 0; y < source.height; ++y) {
        const std::uint8_t* in = source.pixels + static_cast<std::ptrdiff_t>(y) * source.stride;
        std::uint8_t* out = file->rowFromTop(static_cast<std::uint32_t>(y));
        for (std::size_t x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
    }
    return std::move(file->bytes);
}

}  // namespace quillora::runtime
