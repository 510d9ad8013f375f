#include "runtime/picture/bmp_decoder.h"

#include "platform/formats/bmp_reader.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

std::optional<PictureRecord> decodeBmp(std::span<const std::uint8_t> bytes)
{
    const formats::BmpReadResult read = formats::readBmp(bytes, formats::kPictureDecoderBmpRules);
    if (!read.image)
        return std::nullopt;
    const formats::BmpImage& image = *read.image;

    const std::uint64_t outRowBytes = std::uint64_t{image.width()} * 3;
    auto pixels = newPixelBuffer(image.width(), image.height(), outRowBytes);
    if (!pixels)
        return std::nullopt;
    for (std::uint32_t y = 0; y < image.height(); ++y) {
        // The record keeps its rows bottom-up, as a bottom-up file stores them.
        std::uint8_t* out = pixels->data() + (image.height() - 1 - y) * outRowBytes;
        formats::expandBmpRow(image.rowFromTop(y), image.bitCount(), image.palette, image.width(), out,
                              formats::PixelOrder::Bgr);
    }

    PictureRecord record;
    record.kind = PictureKind::Bmp;
    record.width = static_cast<std::int32_t>(image.width());
    record.height = static_cast<std::int32_t>(image.height());
    record.data = std::move(*pixels);
    return record;
}

}  // namespace quillora::runtime
