#include "picture_test_support.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

// Six distinct colours for a 3 x 2 picture, top row first, as blue-green-red.
constexpr Bgra kTopRow[3] = {{1, 2, 3, 255}, {4, 5, 6, 255}, {7, 8, 9, 255}};
constexpr Bgra kBottomRow[3] = {{10, 11, 12, 255}, {13, 14, 15, 255}, {16, 17, 18, 255}};

Bytes row24(const Bgra (&row)[3])
{
    // Nine bytes of pixels, then three of padding: BMP rows are padded to four bytes.
    Bytes bytes;
    for (const Bgra& pixel : row)
        bytes.insert(bytes.end(), {pixel.blue, pixel.green, pixel.red});
    bytes.insert(bytes.end(), {0xEE, 0xEE, 0xEE});
    return bytes;
}

void expectThreeByTwo(const LoadedPicture& picture)
{
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Bmp);
    EXPECT_EQ(picture.width(), 3);
    EXPECT_EQ(picture.height(), 2);
    const auto image = picture.image();
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), kTopRow[x]) << "top row, x " << x;
        EXPECT_EQ(pixelAt(image, x, 1), kBottomRow[x]) << "bottom row, x " << x;
    }
}

TEST(BmpDecoder, TwentyFourBitBottomUpRowsArePaddedToFourBytes)
{
    Bytes pixels = row24(kBottomRow);
    const Bytes top = row24(kTopRow);
    pixels.insert(pixels.end(), top.begin(), top.end());
    LoadedPicture picture(bmpFile(3, 2, 24, {}, pixels));
    expectThreeByTwo(picture);

    // The record keeps the rows bottom-up and packed: 9 bytes a row, bottom row first.
    const auto& data = picture.record().data;
    ASSERT_EQ(data.size(), 18u);
    EXPECT_EQ(data[0], 10);
    EXPECT_EQ(data[8], 18);
    EXPECT_EQ(data[9], 1);
}

TEST(BmpDecoder, NegativeHeightMeansTopDownRowsAndDecodesTheRightWayUp)
{
    Bytes pixels = row24(kTopRow);
    const Bytes bottom = row24(kBottomRow);
    pixels.insert(pixels.end(), bottom.begin(), bottom.end());
    LoadedPicture picture(bmpFile(3, -2, 24, {}, pixels));
    expectThreeByTwo(picture);
}

TEST(BmpDecoder, ThirtyTwoBitIgnoresTheFourthByte)
{
    const Bytes pixels = {1, 2, 3, 0x00, 4, 5, 6, 0x7F,    // bottom row
                          7, 8, 9, 0xFF, 10, 11, 12, 0x01}; // top row
    LoadedPicture picture(bmpFile(2, 2, 32, {}, pixels));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{7, 8, 9, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{10, 11, 12, 255}));
    EXPECT_EQ(pixelAt(image, 0, 1), (Bgra{1, 2, 3, 255}));
    EXPECT_EQ(pixelAt(image, 1, 1), (Bgra{4, 5, 6, 255}));
}

TEST(BmpDecoder, EightBitExpandsThroughTheColourTableAndReadsOutOfRangeIndexesAsBlack)
{
    // Two colours in the table; index 5 points past it.
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};
    const Bytes pixels = {1, 0, 5, 0};
    LoadedPicture picture(bmpFile(3, 1, 8, palette, pixels, 2));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(image, 2, 0), kBlack);
}

TEST(BmpDecoder, FourBitTakesTheHighNibbleFirst)
{
    ByteWriter palette;
    for (int index = 0; index < 16; ++index)
        palette.u8(index * 16).u8(index).u8(0).u8(0);
    const Bytes pixels = {0x3A, 0xF0, 0, 0};
    LoadedPicture picture(bmpFile(3, 1, 4, palette.bytes, pixels));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{0x30, 3, 0, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{0xA0, 10, 0, 255}));
    EXPECT_EQ(pixelAt(image, 2, 0), (Bgra{0xF0, 15, 0, 255}));
}

TEST(BmpDecoder, OneBitFourByTwo)
{
    const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0};
    // Bottom row 1001, top row 0110, each padded to four bytes.
    const Bytes pixels = {0x90, 0, 0, 0, 0x60, 0, 0, 0};
    LoadedPicture picture(bmpFile(4, 2, 1, palette, pixels));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    const Bgra expectedTop[4] = {kBlack, kWhite, kWhite, kBlack};
    const Bgra expectedBottom[4] = {kWhite, kBlack, kBlack, kWhite};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), expectedTop[x]);
        EXPECT_EQ(pixelAt(image, x, 1), expectedBottom[x]);
    }
}

TEST(BmpDecoder, ColourTableFollowsALongerHeader)
{
    // A 124-byte header: the colour table starts after all of it, not at byte 54.
    ByteWriter out;
    const std::uint32_t offset = 14 + 124 + 8;
    out.raw({'B', 'M'}).u32(offset + 4).u32(0).u32(offset);
    out.u32(124).i32(1).i32(1).u16(1).u16(8).u32(0).u32(0).i32(0).i32(0).u32(2).u32(0);
    out.fill(124 - 40, 0xAB);
    out.raw({9, 9, 9, 0, 40, 50, 60, 0});
    out.raw({1, 0, 0, 0});
    LoadedPicture picture(out.bytes);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelAt(picture.image(), 0, 0), (Bgra{40, 50, 60, 255}));
}

TEST(BmpDecoder, OldCoreHeaderWithThreeByteColours)
{
    ByteWriter out;
    const std::uint32_t offset = 14 + 12 + 6;
    out.raw({'B', 'M'}).u32(offset + 4).u32(0).u32(offset);
    out.u32(12).u16(2).u16(1).u16(1).u16(1);
    out.raw({1, 2, 3, 4, 5, 6});
    out.raw({0x40, 0, 0, 0});
    LoadedPicture picture(out.bytes);
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{1, 2, 3, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{4, 5, 6, 255}));
}

TEST(BmpDecoder, MissingPaddingOfTheLastRowIsTolerated)
{
    Bytes pixels = row24(kBottomRow);
    const Bytes top = row24(kTopRow);
    pixels.insert(pixels.end(), top.begin(), top.end() - 3);
    LoadedPicture picture(bmpFile(3, 2, 24, {}, pixels));
    expectThreeByTwo(picture);
}

TEST(BmpDecoder, MalformedFilesGiveNoPicture)
{
    const Bytes goodPixels = {1, 2, 3, 0, 4, 5, 6, 0};
    struct Case {
        const char* what;
        Bytes file;
    };
    Bytes truncated = bmpFile(1, 2, 24, {}, goodPixels);
    truncated.resize(truncated.size() - 4);
    Bytes compressed = bmpFile(1, 2, 24, {}, goodPixels);
    compressed[14 + 16] = 1;
    Bytes offsetInsideHeader = bmpFile(1, 2, 24, {}, goodPixels);
    offsetInsideHeader[10] = 40;
    Bytes shortPalette = bmpFile(1, 1, 8, {0, 0, 0, 0}, {}, 200);
    Bytes headerOnly = bmpFile(1, 1, 24, {}, {});
    headerOnly.resize(14);
    const Case cases[] = {
        {"cut inside the pixels", truncated},
        {"run-length compressed", compressed},
        {"pixel offset inside the header", offsetInsideHeader},
        {"16 bits a pixel", bmpFile(1, 1, 16, {}, {1, 2, 0, 0})},
        {"zero width", bmpFile(0, 1, 24, {}, {0, 0, 0, 0})},
        {"forged 65535 x 65535 header", bmpFile(65535, 65535, 24, {}, goodPixels)},
        {"width of INT_MIN", bmpFile(INT32_MIN, 1, 24, {}, goodPixels)},
        {"colour table cut short", shortPalette},
        {"five bytes starting BM", {'B', 'M', 0, 0, 0}},
        {"only the file header", headerOnly},
    };
    const std::size_t before = runtime::loadedPictureCount();
    for (const Case& c : cases)
        EXPECT_EQ(runtime::loadPicture(c.file), 0) << c.what;
    EXPECT_EQ(runtime::loadedPictureCount(), before);
}

}  // namespace
}  // namespace quillora::test
