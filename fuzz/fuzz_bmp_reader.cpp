// Reads arbitrary bytes with the one BMP reader under the picture decoder's rules and under the
// bitmap object's (which the image-encoding stand-in shares), and expands every row of what it
// accepts in each pixel order, as the decoder, the icon decoder and the stand-in do.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/formats/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quillora::formats;
    for (const BmpRules& rules : {kPictureDecoderBmpRules, kBitmapObjectBmpRules}) {
        const BmpReadResult read = readBmp({data, size}, rules);
        if (!read.image)
            continue;
        const BmpImage& image = *read.image;
        std::vector<std::uint8_t> row(std::size_t{image.width()} * 4);
        for (std::uint32_t y = 0; y < image.height(); ++y)
            for (const PixelOrder order : {PixelOrder::Bgr, PixelOrder::Bgra, PixelOrder::Rgb})
                expandBmpRow(image.rowFromTop(y), image.bitCount(), image.palette, image.width(), row.data(), order, true);
    }
    return 0;
}
