#include "platform/formats/bmp_reader.h"

#include <limits>

namespace quillora::formats {
namespace {

BmpReadResult refuse(BmpProblem problem)
{
    return BmpReadResult{std::nullopt, problem};
}

bool supportedBitCount(unsigned bitCount, const BmpRules& rules)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32 ||
           (bitCount == 16 && rules.sixteenBitPixels);
}

BitmapInfoHeader widenCoreHeader(const BitmapCoreHeader& core)
{
    BitmapInfoHeader header{};
    header.size = kBitmapInfoHeaderBytes;
    header.width = core.width;
    header.height = core.height;
    header.planes = core.planes;
    header.bitCount = core.bitCount;
    return header;
}

// Checks the sizes and makes them positive.
BmpProblem checkGeometry(const BmpRules& rules, BmpImage& image)
{
    BitmapInfoHeader& header = image.header;
    if (header.compression != kBmpUncompressed || !supportedBitCount(header.bitCount, rules))
        return BmpProblem::Unsupported;
    // The smallest 32-bit number has no positive counterpart and is no real size.
    constexpr std::int32_t kNoSize = std::numeric_limits<std::int32_t>::min();
    if (header.planes != 1 || header.width == 0 || header.width == kNoSize || header.height == 0 ||
        header.height == kNoSize)
        return BmpProblem::Malformed;
    if (header.width < 0) {
        if (!rules.widthMagnitude)
            return BmpProblem::Malformed;
        header.width = -header.width;
    }
    image.topDown = header.height < 0;
    if (image.topDown)
        header.height = -header.height;
    if (!bmpSizeAllowed(image.width(), image.height()))
        return BmpProblem::TooLarge;
    return BmpProblem::None;
}

BmpProblem readColourTable(ByteReader& reader, std::size_t entryBytes, BmpImage& image)
{
    const unsigned bitCount = image.bitCount();
    // A count of 0 means the full table for an indexed bitmap and none for a deeper one. No
    // index can reach past 2^bitCount entries, so a larger table is a forged one.
    const std::uint64_t indexes = bitCount <= 8 ? 1ull << bitCount : kMaxBmpColours;
    const std::uint64_t colours =
        image.header.coloursUsed != 0 ? image.header.coloursUsed : (bitCount <= 8 ? indexes : 0);
    if (colours > indexes)
        return BmpProblem::Malformed;
    image.palette = readBmpPalette(reader, static_cast<std::size_t>(colours), entryBytes);
    return reader.ok() ? BmpProblem::None : BmpProblem::Malformed;
}

BmpProblem locatePixels(std::span<const std::uint8_t> data, std::size_t tableEnd, std::uint32_t pixelOffset,
                        const BmpRules& rules, BmpImage& image)
{
    // The pixels may not overlap the headers and colour table already read.
    if (pixelOffset < tableEnd || pixelOffset > data.size())
        return BmpProblem::Malformed;
    const std::uint64_t available = data.size() - pixelOffset;
    const std::uint64_t stride = image.stride();
    const std::uint64_t lastRow = rules.shortLastRow ? image.rowBytes() : stride;
    // Divided first, so a forged height cannot overflow the product.
    if (available / stride < image.height() - 1 || available - stride * (image.height() - 1) < lastRow)
        return BmpProblem::Malformed;
    const std::uint64_t full = stride * image.height();
    image.pixelOffset = pixelOffset;
    image.pixels = data.subspan(pixelOffset, static_cast<std::size_t>(full <= available ? full : available));
    return BmpProblem::None;
}

}  // namespace

BmpProblem readBitmapInfoHeader(ByteReader& reader, const BmpRules& rules, BitmapInfoHeader& header,
                                std::size_t& entryBytes)
{
    const std::size_t start = reader.position();
    const std::uint32_t headerBytes = reader.u32();
    reader.seek(start);
    if (!reader.ok())
        return BmpProblem::Malformed;
    entryBytes = 4;
    if (headerBytes == kBitmapCoreHeaderBytes) {
        BitmapCoreHeader core{};
        if (!reader.read(core))
            return BmpProblem::Malformed;
        header = widenCoreHeader(core);
        entryBytes = 3;
    } else if (headerBytes == kBitmapInfoHeaderBytes || (headerBytes > kBitmapInfoHeaderBytes && rules.laterHeaderVersions)) {
        if (!reader.read(header))
            return BmpProblem::Malformed;
        // The colour table follows the whole header, however long it is.
        reader.seek(start + headerBytes);
        if (!reader.ok())
            return BmpProblem::Malformed;
    } else {
        return BmpProblem::Unsupported;
    }
    return BmpProblem::None;
}

BmpReadResult readBmp(std::span<const std::uint8_t> data, const BmpRules& rules)
{
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
        return refuse(BmpProblem::NotBmp);
    ByteReader reader(data);
    BmpFileHeader fileHeader{};
    if (!reader.read(fileHeader))
        return refuse(BmpProblem::Malformed);

    BmpImage image;
    std::size_t entryBytes = 4;
    if (const BmpProblem problem = readBitmapInfoHeader(reader, rules, image.header, entryBytes);
        problem != BmpProblem::None)
        return refuse(problem);
    image.header.size = kBitmapInfoHeaderBytes;
    if (const BmpProblem problem = checkGeometry(rules, image); problem != BmpProblem::None)
        return refuse(problem);
    if (const BmpProblem problem = readColourTable(reader, entryBytes, image); problem != BmpProblem::None)
        return refuse(problem);
    if (const BmpProblem problem = locatePixels(data, reader.position(), fileHeader.pixelOffset, rules, image);
        problem != BmpProblem::None)
        return refuse(problem);
    return BmpReadResult{std::move(image), BmpProblem::None};
}

}  // namespace quillora::formats
