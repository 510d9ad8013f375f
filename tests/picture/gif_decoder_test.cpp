#include <cstring>

#include <gif_lib.h>

#include "picture_test_support.h"
#include "runtime/picture/indexed_picture.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

// The GIFs are written by giflib, an encoder independent of the decoder under test.
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<GifColorType> localPalette;
    std::vector<std::uint8_t> pixels;  // rows top to bottom
    int transparentIndex = -1;
};

int appendToBytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

Bytes encodeGif(int screenWidth, int screenHeight, std::vector<GifColorType> globalPalette, GifFrame frame)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendToBytes, &error);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = globalPalette.empty()
                                 ? nullptr
                                 : GifMakeMapObject(static_cast<int>(globalPalette.size()), globalPalette.data());
    EXPECT_EQ(EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, global), GIF_OK);
    if (frame.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = frame.transparentIndex;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension), GIF_OK);
    }
    ColorMapObject* local = frame.localPalette.empty()
                                ? nullptr
                                : GifMakeMapObject(static_cast<int>(frame.localPalette.size()),
                                                   frame.localPalette.data());
    EXPECT_EQ(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local),
              GIF_OK);
    std::vector<int> rowOrder;
    if (frame.interlaced) {
        for (int pass = 0; pass < 4; ++pass) {
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int row = start[pass]; row < frame.height; row += step[pass])
                rowOrder.push_back(row);
        }
    } else {
        for (int row = 0; row < frame.height; ++row)
            rowOrder.push_back(row);
    }
    for (int row : rowOrder)
        EXPECT_EQ(EGifPutLine(gif, frame.pixels.data() + row * frame.width, frame.width), GIF_OK);
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}

std::vector<GifColorType> rampPalette(int count)
{
    std::vector<GifColorType> palette;
    for (int index = 0; index < count; ++index)
        palette.push_back({static_cast<GifByteType>(index), static_cast<GifByteType>(255 - index),
                           static_cast<GifByteType>(index * 7)});
    return palette;
}

Bgra rampColour(int index)
{
    return {static_cast<std::uint8_t>(index * 7), static_cast<std::uint8_t>(255 - index),
            static_cast<std::uint8_t>(index), 255};
}

GifFrame fullFrame(int width, int height, std::vector<std::uint8_t> pixels)
{
    GifFrame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels = std::move(pixels);
    return frame;
}

TEST(GifDecoder, ThreeByTwoKeepsTheIndexedLayout)
{
    LoadedPicture picture(encodeGif(3, 2, rampPalette(4), fullFrame(3, 2, {0, 1, 2, 3, 2, 1})));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Gif);
    EXPECT_EQ(picture.width(), 3);
    EXPECT_EQ(picture.height(), 2);
    const auto image = picture.image();
    const int expected[2][3] = {{0, 1, 2}, {3, 2, 1}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pixelAt(image, x, y), rampColour(expected[y][x])) << x << ',' << y;

    // Header with a negative height, then the colour table, then rows padded to 4 bytes.
    const auto& data = picture.record().data;
    ASSERT_EQ(data.size(), runtime::kIndexedPixelOffset + 2 * 4);
    runtime::BitmapInfoHeader header;
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, -2);
    EXPECT_EQ(header.bitCount, 8);
    EXPECT_EQ(data[runtime::kIndexedPixelOffset + 4], 3);
}

TEST(GifDecoder, InterlacedRowsLandInTheirPlace)
{
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < 10; ++row)
        pixels.push_back(static_cast<std::uint8_t>(row));
    GifFrame frame = fullFrame(1, 10, pixels);
    frame.interlaced = true;
    LoadedPicture picture(encodeGif(1, 10, rampPalette(16), frame));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(pixelAt(image, 0, row), rampColour(row)) << "row " << row;
}

TEST(GifDecoder, LocalPaletteTakesPrecedence)
{
    GifFrame frame = fullFrame(2, 1, {0, 1});
    frame.localPalette = {{200, 100, 50}, {1, 2, 3}};
    LoadedPicture picture(encodeGif(2, 1, rampPalette(2), frame));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{50, 100, 200, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Bgra{3, 2, 1, 255}));
}

TEST(GifDecoder, TransparentAndUncoveredPixelsArePaperWhite)
{
    GifFrame frame = fullFrame(2, 1, {0, 1});
    frame.left = 1;
    frame.top = 1;
    frame.transparentIndex = 1;
    LoadedPicture picture(encodeGif(4, 3, {{10, 20, 30}, {40, 50, 60}}, frame));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), 4);
    EXPECT_EQ(picture.height(), 3);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 1, 1), (Bgra{30, 20, 10, 255}));
    EXPECT_EQ(pixelAt(image, 2, 1), kWhite);
    EXPECT_EQ(pixelAt(image, 0, 0), kWhite);
    EXPECT_EQ(pixelAt(image, 3, 2), kWhite);
}

TEST(GifDecoder, FrameWithoutTransparencyLeavesTheRestWhite)
{
    GifFrame frame = fullFrame(1, 1, {1});
    LoadedPicture picture(encodeGif(2, 1, {{10, 20, 30}, {40, 50, 60}}, frame));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0), (Bgra{60, 50, 40, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), kWhite);
}

std::vector<std::uint8_t> busyPattern(int width, int height)
{
    // Varied enough to fill the 4096-entry string table several times over.
    std::vector<std::uint8_t> pixels;
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            pixels.push_back(static_cast<std::uint8_t>((x / 3 + y / 5) % 7 == 0 ? state >> 24 : (x ^ y)));
        }
    return pixels;
}

TEST(GifDecoder, LargePictureRoundTripsThroughAFullStringTable)
{
    const int width = 300, height = 200;
    const auto pixels = busyPattern(width, height);
    LoadedPicture picture(encodeGif(width, height, rampPalette(256), fullFrame(width, height, pixels)));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mismatches += pixelAt(image, x, y) != rampColour(pixels[y * width + x]);
    EXPECT_EQ(mismatches, 0);
}

TEST(GifDecoder, MissingTrailerStillDecodes)
{
    Bytes file = encodeGif(3, 2, rampPalette(4), fullFrame(3, 2, {0, 1, 2, 3, 2, 1}));
    ASSERT_EQ(file.back(), 0x3B);
    file.pop_back();
    LoadedPicture picture(file);
    EXPECT_TRUE(picture);
}

TEST(GifDecoder, BrokenFilesGiveNoPicture)
{
    const auto pixels = busyPattern(50, 50);
    Bytes truncated = encodeGif(50, 50, rampPalette(256), fullFrame(50, 50, pixels));
    truncated.resize(truncated.size() * 6 / 10);

    ByteWriter noFrame;
    noFrame.raw({'G', 'I', 'F', '8', '9', 'a'}).u16(1).u16(1).u8(0).u8(0).u8(0).u8(0x3B);

    ByteWriter badFirstCode;  // after the clear code comes code 6, which is not yet defined
    badFirstCode.raw({'G', 'I', 'F', '8', '7', 'a'}).u16(1).u16(1).u8(0).u8(0).u8(0);
    badFirstCode.u8(0x2C).u16(0).u16(0).u16(1).u16(1).u8(0).u8(2).u8(1).u8(0x34).u8(0).u8(0x3B);

    ByteWriter hugeScreen;
    hugeScreen.raw({'G', 'I', 'F', '8', '7', 'a'}).u16(65535).u16(65535).u8(0).u8(0).u8(0);
    hugeScreen.u8(0x2C).u16(0).u16(0).u16(1).u16(1).u8(0).u8(2).u8(2).u8(0x44).u8(0x01).u8(0).u8(0x3B);

    EXPECT_EQ(runtime::loadPicture(truncated), 0);
    EXPECT_EQ(runtime::loadPicture(noFrame.bytes), 0);
    EXPECT_EQ(runtime::loadPicture(badFirstCode.bytes), 0);
    EXPECT_EQ(runtime::loadPicture(hugeScreen.bytes), 0);
}

}  // namespace
}  // namespace quillora::test
