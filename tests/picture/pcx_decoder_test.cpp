#include <cstring>

#include "picture_test_support.h"
#include "runtime/picture/indexed_picture.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

struct PcxSpec {
    std::uint8_t version = 5;
    std::uint8_t bitsPerPixel = 8;
    std::uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::uint8_t planes = 1;
    std::uint16_t bytesPerLine = 2;
};

Bytes pcxFile(const PcxSpec& spec, const Bytes& encoded, bool trailingPalette)
{
    ByteWriter out;
    out.u8(0x0A).u8(spec.version).u8(1).u8(spec.bitsPerPixel);
    out.u16(spec.xMin).u16(spec.yMin).u16(spec.xMax).u16(spec.yMax).u16(72).u16(72);
    // The header's 16 colours: entry i is red i, green 100 + i, blue 200 + i.
    for (int index = 0; index < 16; ++index)
        out.u8(index).u8(100 + index).u8(200 + index);
    out.u8(0).u8(spec.planes).u16(spec.bytesPerLine).u16(1).u16(0).u16(0).fill(54);
    out.raw(encoded);
    if (trailingPalette) {
        // Entry i of the 256-colour table: red i, green 255 - i, blue i / 2.
        out.u8(0x0C);
        for (int index = 0; index < 256; ++index)
            out.u8(index).u8(255 - index).u8(index / 2);
    }
    return out.bytes;
}

Bgra trailingColour(int index)
{
    return {static_cast<std::uint8_t>(index / 2), static_cast<std::uint8_t>(255 - index),
            static_cast<std::uint8_t>(index), 255};
}

PcxSpec colourSpec(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerLine)
{
    PcxSpec spec;
    spec.xMax = width - 1;
    spec.yMax = height - 1;
    spec.bytesPerLine = bytesPerLine;
    return spec;
}

TEST(PcxDecoder, EightBitThreeByTwoWithRunsAndTrailingPalette)
{
    // Row 0: literals 1 2 3 and a padding byte; row 1: a run of four 200s (200 needs a run).
    const Bytes encoded = {1, 2, 3, 0, 0xC4, 200};
    LoadedPicture picture(pcxFile(colourSpec(3, 2, 4), encoded, true));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Pcx8);
    EXPECT_EQ(picture.width(), 3);
    EXPECT_EQ(picture.height(), 2);
    const auto image = picture.image();
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), trailingColour(x + 1));
        EXPECT_EQ(pixelAt(image, x, 1), trailingColour(200));
    }
    const auto& data = picture.record().data;
    ASSERT_EQ(data.size(), runtime::kIndexedPixelOffset + 2 * 4);
    runtime::BitmapInfoHeader header;
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, -2);
    EXPECT_EQ(header.planes, 1);
    EXPECT_EQ(header.bitCount, 8);
}

TEST(PcxDecoder, RunByte192IsALiteralPixel)
{
    const Bytes encoded = {192, 0xC1, 193};
    LoadedPicture picture(pcxFile(colourSpec(2, 1, 2), encoded, true));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), trailingColour(192));
    EXPECT_EQ(pixelAt(image, 1, 0), trailingColour(193));
}

TEST(PcxDecoder, RunsCarryAcrossScanLinesAndLongLinesAreCut)
{
    // One run of six 7s covers both rows of a 2 x 2 picture with three bytes a line.
    LoadedPicture picture(pcxFile(colourSpec(2, 2, 3), {0xC6, 7}, true));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 1, 1), trailingColour(7));
}

TEST(PcxDecoder, WithoutTrailingPaletteTheHeaderColoursAreUsed)
{
    PcxSpec spec = colourSpec(2, 1, 2);
    spec.version = 2;
    LoadedPicture picture(pcxFile(spec, {2, 15}, false));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{202, 102, 2, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{215, 115, 15, 255}));
}

TEST(PcxDecoder, OneBitRowsArePaddedToAnEvenNumberOfBytes)
{
    PcxSpec spec = colourSpec(10, 2, 2);
    spec.version = 3;
    spec.bitsPerPixel = 1;
    // Row 0: FF C0 (0xFF as a run, 0xC0 = 192 a literal); row 1: 80 40.
    LoadedPicture picture(pcxFile(spec, {0xC1, 0xFF, 0xC0, 0x80, 0x40}, false));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Pcx1);
    EXPECT_EQ(picture.record().data, (Bytes{0xFF, 0xC0, 0x80, 0x40}));
    const auto image = picture.image();
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), kWhite) << x;
        EXPECT_EQ(pixelAt(image, x, 1), (x == 0 || x == 9) ? kWhite : kBlack) << x;
    }

    PcxSpec wide = colourSpec(17, 1, 4);
    wide.version = 3;
    wide.bitsPerPixel = 1;
    LoadedPicture widePicture(pcxFile(wide, {0xC4, 0xFF}, false));
    ASSERT_TRUE(widePicture);
    EXPECT_EQ(widePicture.record().data, (Bytes{0xFF, 0xFF, 0xFF, 0}));
}

TEST(PcxDecoder, MalformedFilesGiveNoPicture)
{
    PcxSpec inverted = colourSpec(2, 1, 2);
    inverted.xMin = 5;
    inverted.xMax = 4;
    PcxSpec threePlanes = colourSpec(2, 1, 2);
    threePlanes.planes = 3;
    PcxSpec shortLines = colourSpec(4, 1, 2);
    PcxSpec huge = colourSpec(65535, 65535, 65535);
    Bytes headerOnly = pcxFile(colourSpec(2, 1, 2), {}, false);

    EXPECT_EQ(runtime::loadPicture(pcxFile(colourSpec(2, 2, 2), {1, 2, 3}, false)), 0) << "data ends early";
    EXPECT_EQ(runtime::loadPicture(pcxFile(colourSpec(2, 1, 2), {0xC2}, false)), 0) << "run without value";
    EXPECT_EQ(runtime::loadPicture(headerOnly), 0) << "header only";
    EXPECT_EQ(runtime::loadPicture(pcxFile(inverted, {1, 2}, false)), 0) << "xMax below xMin";
    EXPECT_EQ(runtime::loadPicture(pcxFile(threePlanes, {1, 2, 3, 4, 5, 6}, false)), 0) << "24-bit";
    EXPECT_EQ(runtime::loadPicture(pcxFile(shortLines, {1, 2}, false)), 0) << "lines shorter than the width";
    EXPECT_EQ(runtime::loadPicture(pcxFile(huge, {0xFF, 1}, false)), 0) << "forged size";
}

}  // namespace
}  // namespace quillora::test
