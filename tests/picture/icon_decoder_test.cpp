#include "picture_test_support.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

// One image of an icon file: a bitmap header of twice the height, the colour rows and the
// transparency mask rows, both bottom-up and padded to four bytes. `colour` is the one colour
// every pixel gets; `transparentTopLeft` sets the mask bit of the top-left pixel.
Bytes iconImage(int width, int height, int bits, Bgra colour, bool transparentTopLeft = false)
{
    ByteWriter out;
    writeInfoHeader(out, width, height * 2, static_cast<std::uint16_t>(bits));
    if (bits == 4) {
        out.u32(0);
        out.u8(colour.blue).u8(colour.green).u8(colour.red).u8(0);
        out.fill(14 * 4);
    }
    const int colourStride = (width * bits + 31) / 32 * 4;
    const int maskStride = (width + 31) / 32 * 4;
    for (int row = 0; row < height; ++row) {
        Bytes line(static_cast<std::size_t>(colourStride), 0);
        for (int x = 0; x < width; ++x) {
            if (bits == 4) {
                line[x / 2] |= x % 2 ? 0x01 : 0x10;
                continue;
            }
            const int bytesPerPixel = bits / 8;
            const std::uint8_t stored[4] = {colour.blue, colour.green, colour.red, colour.alpha};
            for (int channel = 0; channel < bytesPerPixel; ++channel)
                line[x * bytesPerPixel + channel] = stored[channel];
        }
        out.raw(line);
    }
    for (int row = 0; row < height; ++row) {
        Bytes line(static_cast<std::size_t>(maskStride), 0);
        // The last stored row is the top one.
        if (transparentTopLeft && row == height - 1)
            line[0] = 0x80;
        out.raw(line);
    }
    return out.bytes;
}

struct IconEntry {
    int width;
    int height;
    Bytes image;
    std::uint16_t hotspotX = 0;
    std::uint16_t hotspotY = 0;
};

Bytes iconFile(std::uint16_t type, const std::vector<IconEntry>& entries)
{
    ByteWriter out;
    out.u16(0).u16(type).u16(static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const IconEntry& entry : entries) {
        out.u8(entry.width & 0xFF).u8(entry.height & 0xFF).u8(0).u8(0).u16(entry.hotspotX).u16(entry.hotspotY);
        out.u32(static_cast<std::uint32_t>(entry.image.size())).u32(offset);
        offset += static_cast<std::uint32_t>(entry.image.size());
    }
    for (const IconEntry& entry : entries)
        out.raw(entry.image);
    return out.bytes;
}

Bgra sizeColour(int size) { return {static_cast<std::uint8_t>(size), 0, 0, 255}; }

TEST(IconDecoder, ChoosesTheImageNearestTheIconSize)
{
    LoadedPicture picture(iconFile(1, {{16, 16, iconImage(16, 16, 24, sizeColour(16))},
                                       {48, 48, iconImage(48, 48, 24, sizeColour(48))},
                                       {32, 32, iconImage(32, 32, 24, sizeColour(32))}}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Icon);
    EXPECT_EQ(picture.width(), 32);
    EXPECT_EQ(picture.height(), 32);
    EXPECT_EQ(pixelAt(picture.image(), 5, 5), sizeColour(32));
}

TEST(IconDecoder, AtEqualSizeMoreColoursWinAndTheirAlphaIsKept)
{
    const Bgra translucent{10, 20, 30, 128};
    LoadedPicture picture(iconFile(1, {{32, 32, iconImage(32, 32, 4, {1, 1, 1, 255})},
                                       {32, 32, iconImage(32, 32, 32, translucent)}}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelAt(picture.image(), 0, 0), translucent);
}

TEST(IconDecoder, MaskBitMakesAPixelTransparent)
{
    const Bgra colour{10, 20, 30, 255};
    LoadedPicture picture(iconFile(1, {{2, 2, iconImage(2, 2, 24, colour, true)}}));
    ASSERT_TRUE(picture);
    const auto image = picture.image();
    EXPECT_EQ(pixelAt(image, 0, 0).alpha, 0);
    EXPECT_EQ(pixelAt(image, 1, 0), colour);
    EXPECT_EQ(pixelAt(image, 0, 1), colour);
}

TEST(IconDecoder, CursorKeepsItsHotspot)
{
    IconEntry entry{4, 4, iconImage(4, 4, 24, kWhite)};
    entry.hotspotX = 1;
    entry.hotspotY = 3;
    LoadedPicture picture(iconFile(2, {entry}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Cursor);
    EXPECT_EQ(picture.record().icon.hotspotX, 1);
    EXPECT_EQ(picture.record().icon.hotspotY, 3);
}

TEST(IconDecoder, UnusableImagesGiveWayOrGiveNoPicture)
{
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
    Bytes cutShort = iconImage(32, 32, 24, sizeColour(32));
    cutShort.resize(cutShort.size() - 10);

    LoadedPicture fallback(iconFile(1, {{32, 32, png}, {32, 32, cutShort}, {16, 16, iconImage(16, 16, 24, sizeColour(16))}}));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback.width(), 16);

    EXPECT_EQ(runtime::loadPicture(iconFile(1, {{32, 32, png}})), 0);
    Bytes outside = iconFile(1, {{2, 2, iconImage(2, 2, 24, kWhite)}});
    outside[6 + 12] = 0xFF;  // image offset far past the end
    EXPECT_EQ(runtime::loadPicture(outside), 0);
    Bytes forged = iconFile(1, {{2, 2, iconImage(2, 2, 24, kWhite)}});
    // A bitmap header claiming a width of 2^31 - 1 pixels.
    forged[6 + 16 + 4] = forged[6 + 16 + 5] = forged[6 + 16 + 6] = 0xFF;
    forged[6 + 16 + 7] = 0x7F;
    EXPECT_EQ(runtime::loadPicture(forged), 0);
}

}  // namespace
}  // namespace quillora::test
