#include "runtime/picture/bmp_file_writer.h"

#include <cstring>
#include <functional>

#include "runtime/picture/dib_format.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

BitmapInfoHeader bmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                               std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre)
{
    BitmapInfoHeader header{};
    header.size = formats::kBitmapInfoHeaderBytes;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.compression = formats::kBmpUncompressed;
    // A picture the cap allows has fewer than 2^32 bytes of pixels.
    header.imageSize = static_cast<std::uint32_t>(formats::bmpStride(static_cast<std::uint64_t>(width > 0 ? width : 0), bitCount) *
                                                  static_cast<std::uint64_t>(height > 0 ? height : 0));
    header.xPixelsPerMetre = xPixelsPerMetre;
    header.yPixelsPerMetre = yPixelsPerMetre;
    return header;
}

namespace {

// Where the parts of a file lie: the pixels start after the headers and the colour table, and
// every stored row, padding included, is `stride` bytes.
struct BmpLayout {
    std::uint64_t pixelOffset = 0;
    std::uint64_t stride = 0;
    std::uint64_t fileBytes = 0;
};

// The layout of a file for `header` and a colour table of that many bytes; nothing when no
// bitmap can have the header or the file would pass the picture cap.
std::optional<BmpLayout> layoutOf(const BitmapInfoHeader& header, std::size_t colourTableBytes)
{
    if (header.width <= 0 || header.height <= 0 || !isSupportedDibBitCount(header.bitCount))
        return std::nullopt;
    // A colour table has at most one entry per index of an 8-bit bitmap.
    if (colourTableBytes > std::size_t{formats::kMaxBmpColours} * 4)
        return std::nullopt;
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto height = static_cast<std::uint64_t>(header.height);
    if (!pictureSizeAllowed(width, height))
        return std::nullopt;
    BmpLayout layout;
    layout.stride = formats::bmpStride(width, header.bitCount);
    layout.pixelOffset = kDibColourTableOffset + colourTableBytes;
    // The bound of the pixel factory: headers and rows together stay within the picture cap.
    if (layout.stride > kMaxPicturePixelBytes || height > (kMaxPicturePixelBytes - layout.pixelOffset) / layout.stride)
        return std::nullopt;
    layout.fileBytes = layout.pixelOffset + layout.stride * height;
    return layout;
}

void writeHeaders(std::uint8_t* file, const BmpLayout& layout, const BitmapInfoHeader& header,
                  std::span<const std::uint8_t> colourTable)
{
    // The cap keeps the whole file far below 4 GiB, so its size fits the 32-bit field.
    const formats::BmpFileHeader fileHeader{formats::kBmpSignature, static_cast<std::uint32_t>(layout.fileBytes), 0, 0,
                                   static_cast<std::uint32_t>(layout.pixelOffset)};
    std::memcpy(file, &fileHeader, sizeof fileHeader);
    std::memcpy(file + formats::kBmpFileHeaderBytes, &header, sizeof header);
    if (!colourTable.empty())
        std::memcpy(file + kDibColourTableOffset, colourTable.data(), colourTable.size());
}

// The source's rows as 24-bit rows of blue, green and red, stored bottom-up from `pixels` on.
// Every byte of every stored row is written, the padding as zeros, so the target may come
// uninitialised. The source is read from its last row up, and `rowsRead` (when given) is told
// after every band of rows which source row is the highest read so far.
void writeBgrxRows(const BgrxPixels& source, std::uint8_t* pixels, std::size_t stride,
                   const std::function<void(std::int32_t)>* rowsRead = nullptr)
{
    constexpr std::int32_t kBandRows = 64;
    const auto width = static_cast<std::size_t>(source.width);
    std::uint8_t* out = pixels;
    for (std::int32_t y = source.height - 1; y >= 0; --y, out += stride) {
        const std::uint8_t* in = source.pixels + static_cast<std::ptrdiff_t>(y) * source.stride;
        for (std::size_t x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
        std::memset(out + 3 * width, 0, stride - 3 * width);
        if (rowsRead && (y % kBandRows == 0))
            (*rowsRead)(y);
    }
}

BitmapInfoHeader bgrxFileHeader(const BgrxPixels& source, std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre)
{
    return bmpInfoHeader(source.width, source.height, 24, xPixelsPerMetre, yPixelsPerMetre);
}

}  // namespace

std::optional<BmpFile> newBmpFile(const BitmapInfoHeader& header, std::span<const std::uint8_t> colourTable)
{
    const std::optional<BmpLayout> layout = layoutOf(header, colourTable.size());
    if (!layout)
        return std::nullopt;
    std::optional<std::vector<std::uint8_t>> bytes =
        newPixelBuffer(static_cast<std::uint64_t>(header.width), static_cast<std::uint64_t>(header.height),
                       layout->stride, layout->pixelOffset);
    if (!bytes)
        return std::nullopt;

    BmpFile file;
    file.bytes = std::move(*bytes);
    file.pixelOffset = static_cast<std::size_t>(layout->pixelOffset);
    file.stride = static_cast<std::size_t>(layout->stride);
    file.height = static_cast<std::uint32_t>(header.height);
    writeHeaders(file.bytes.data(), *layout, header, colourTable);
    return file;
}

std::vector<std::uint8_t> bmpFileFromBgrx(const BgrxPixels& source, std::int32_t xPixelsPerMetre,
                                          std::int32_t yPixelsPerMetre)
{
    if (!source.pixels || source.width <= 0 || source.height <= 0)
        return {};
    std::optional<BmpFile> file = newBmpFile(bgrxFileHeader(source, xPixelsPerMetre, yPixelsPerMetre));
    if (!file)
        return {};
    writeBgrxRows(source, file->bytes.data() + file->pixelOffset, file->stride);
    return std::move(file->bytes);
}

std::optional<std::size_t> bgrxBmpFileBytes(std::int32_t width, std::int32_t height)
{
    const std::optional<BmpLayout> layout = layoutOf(bmpInfoHeader(width, height, 24, 0, 0), 0);
    if (!layout)
        return std::nullopt;
    return static_cast<std::size_t>(layout->fileBytes);
}

bool writeBmpFileFromBgrx(const BgrxPixels& source, std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre,
                          std::span<std::uint8_t> file, const std::function<void(std::int32_t)>& rowsRead)
{
    if (!source.pixels || source.width <= 0 || source.height <= 0)
        return false;
    const BitmapInfoHeader header = bgrxFileHeader(source, xPixelsPerMetre, yPixelsPerMetre);
    const std::optional<BmpLayout> layout = layoutOf(header, 0);
    if (!layout || file.size() != layout->fileBytes)
        return false;
    writeHeaders(file.data(), *layout, header, {});
    writeBgrxRows(source, file.data() + layout->pixelOffset, static_cast<std::size_t>(layout->stride),
                  rowsRead ? &rowsRead : nullptr);
    return true;
}

}  // namespace quillora::runtime
