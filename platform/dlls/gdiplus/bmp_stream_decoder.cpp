#include "platform/dlls/gdiplus/bmp_stream_decoder.h"

#include "platform/dlls/gdiplus/stream_block.h"
#include "platform/dlls/gdiplus/stream_io.h"
#include "platform/dlls/shared/global_memory.h"
#include "platform/formats/bmp_reader.h"

#include <new>

namespace quillora::dlls {
namespace {

// The most a stream that is not on a global block is read for one bitmap: the largest bitmap
// allowed (128 megapixels at four bytes) with room to spare for headers and a gap.
constexpr std::size_t kMaxStreamBytes = std::size_t{1} << 30;

win::GpStatus statusOf(formats::BmpProblem problem)
{
    switch (problem) {
    case formats::BmpProblem::None:
        return win::Ok;
    case formats::BmpProblem::NotBmp:
    case formats::BmpProblem::Unsupported:
        return win::UnknownImageFormat;
    case formats::BmpProblem::TooLarge:
        return win::OutOfMemory;
    case formats::BmpProblem::Malformed:
        break;
    }
    return win::InvalidParameter;
}

// Fills everything but where the rows are.
void describe(const formats::BmpImage& image, ServiceBitmap& bitmap)
{
    bitmap.width = image.width();
    bitmap.height = image.height();
    if (image.header.xPixelsPerMetre > 0)
        bitmap.xPixelsPerMetre = image.header.xPixelsPerMetre;
    if (image.header.yPixelsPerMetre > 0)
        bitmap.yPixelsPerMetre = image.header.yPixelsPerMetre;
    bitmap.bitCount = image.bitCount();
    bitmap.topDown = image.topDown;
    bitmap.palette = image.palette;
    bitmap.pixelBytes = image.pixels.size();
}

// The rows stay in the stream's block; the block is read only while it is locked.
win::GpStatus readInPlace(win::IStream* stream, win::HGLOBAL block, std::uint64_t start, ServiceBitmap& bitmap)
{
    formats::BmpReadResult read;
    if (const auto* data = static_cast<const std::uint8_t*>(lockGlobal(block))) {
        const win::SIZE_T size = globalSize(block);
        read = formats::readBmp(start < size ? std::span(data + start, size - start) : std::span<const std::uint8_t>{},
                                formats::kImageServiceBmpRules);
        unlockGlobal(block);
    } else {
        read.problem = formats::BmpProblem::NotBmp;  // an empty block holds no data
    }
    if (!read.image)
        return statusOf(read.problem);
    describe(*read.image, bitmap);
    bitmap.block = block;
    bitmap.pixelStart = static_cast<std::size_t>(start) + read.image->pixelOffset;
    stream->AddRef();
    bitmap.stream = stream;
    const win::LARGE_INTEGER end{static_cast<std::int64_t>(start + read.image->pixelEnd())};
    stream->Seek(end, win::STREAM_SEEK_SET, nullptr);
    return win::Ok;
}

// Any other stream is read into the bitmap's own memory, the file as it comes.
win::GpStatus readCopy(win::IStream* stream, ServiceBitmap& bitmap)
{
    const auto start = streamPosition(stream);
    bitmap.ownData = readToEnd(stream, kMaxStreamBytes);
    const formats::BmpReadResult read = formats::readBmp(bitmap.ownData, formats::kImageServiceBmpRules);
    if (!read.image)
        return statusOf(read.problem);
    describe(*read.image, bitmap);
    bitmap.pixelStart = read.image->pixelOffset;
    if (start) {
        const win::LARGE_INTEGER end{static_cast<std::int64_t>(*start + read.image->pixelEnd())};
        stream->Seek(end, win::STREAM_SEEK_SET, nullptr);
    }
    return win::Ok;
}

}  // namespace

win::GpStatus decodeBmpStream(win::IStream* stream, std::unique_ptr<ServiceBitmap>& bitmap)
{
    try {
        auto made = std::make_unique<ServiceBitmap>();
        const win::HGLOBAL block = blockUnderStream(stream);
        const auto start = block ? streamPosition(stream) : std::nullopt;
        const win::GpStatus status = block && start ? readInPlace(stream, block, *start, *made) : readCopy(stream, *made);
        if (status != win::Ok)
            return status;
        bitmap = std::move(made);
        return win::Ok;
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
}

}  // namespace quillora::dlls
