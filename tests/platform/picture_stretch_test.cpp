#include "platform/device_context.h"

#include "surface_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quillora::platform {
namespace {

using test::countPixels;
using test::pixelAt;

constexpr ColourRef kWhite = rgbColour(255, 255, 255);
constexpr ColourRef kBlack = rgbColour(0, 0, 0);
constexpr ColourRef kRed = rgbColour(255, 0, 0);
constexpr ColourRef kGreen = rgbColour(0, 255, 0);
constexpr ColourRef kBlue = rgbColour(0, 0, 255);

// Packed rows of blue, green, red bytes, top-down, built from colours.
std::vector<std::uint8_t> bgrRows(const std::vector<ColourRef>& colours)
{
    std::vector<std::uint8_t> bytes;
    for (const ColourRef colour : colours) {
        bytes.push_back(static_cast<std::uint8_t>(colour >> 16));
        bytes.push_back(static_cast<std::uint8_t>(colour >> 8));
        bytes.push_back(static_cast<std::uint8_t>(colour));
    }
    return bytes;
}

PictureView bgrView(const std::vector<std::uint8_t>& bytes, int width, int height)
{
    return PictureView{bytes.data(), width, height, width * 3, PictureFormat::Bgr24};
}

struct RasterCase {
    PictureRasterMode mode;
    ColourRef expected;
};

class PictureRasterModes : public ::testing::TestWithParam<RasterCase> {};

TEST_P(PictureRasterModes, CombineWithTheSurface)
{
    constexpr ColourRef surfaceColour = rgbColour(0xC3, 0x3C, 0x0F);
    const std::vector<std::uint8_t> picture = bgrRows({rgbColour(0x5A, 0xF0, 0x66)});
    OffscreenSurface surface(4, 4, surfaceColour);
    DeviceContext context(surface);
    context.drawPicture(bgrView(picture, 1, 1), 1, 1, 2, 2, GetParam().mode);
    EXPECT_EQ(pixelAt(surface, 1, 1), GetParam().expected);
    EXPECT_EQ(pixelAt(surface, 2, 2), GetParam().expected);
    EXPECT_EQ(pixelAt(surface, 3, 3), surfaceColour);
    EXPECT_EQ(test::fourthByteAt(surface, 1, 1), 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    FiveModes, PictureRasterModes,
    ::testing::Values(RasterCase{PictureRasterMode::Copy, rgbColour(0x5A, 0xF0, 0x66)},
                      RasterCase{PictureRasterMode::InvertedCopy, rgbColour(0xA5, 0x0F, 0x99)},
                      RasterCase{PictureRasterMode::ExclusiveOr, rgbColour(0x99, 0xCC, 0x69)},
                      RasterCase{PictureRasterMode::Or, rgbColour(0xDB, 0xFC, 0x6F)},
                      RasterCase{PictureRasterMode::And, rgbColour(0x42, 0x30, 0x06)}));

TEST(PictureStretch, EnlargingRepeatsPixels)
{
    const std::vector<std::uint8_t> picture = bgrRows({kRed, kGreen, kBlue, kBlack});
    OffscreenSurface surface(6, 6, kWhite);
    DeviceContext context(surface);
    context.drawPicture(bgrView(picture, 2, 2), 1, 1, 4, 4, PictureRasterMode::Copy);
    EXPECT_EQ(pixelAt(surface, 1, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 2, 2), kRed);
    EXPECT_EQ(pixelAt(surface, 3, 1), kGreen);
    EXPECT_EQ(pixelAt(surface, 4, 2), kGreen);
    EXPECT_EQ(pixelAt(surface, 1, 4), kBlue);
    EXPECT_EQ(pixelAt(surface, 4, 4), kBlack);
    EXPECT_EQ(countPixels(surface, kWhite), 36 - 16);
}

TEST(PictureStretch, ShrinkingAveragesThePixelsCovered)
{
    std::vector<ColourRef> stripes;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            stripes.push_back(column % 2 ? kWhite : kBlack);
    const std::vector<std::uint8_t> picture = bgrRows(stripes);
    OffscreenSurface surface(4, 4, kRed);
    DeviceContext context(surface);
    context.drawPicture(bgrView(picture, 8, 8), 0, 0, 2, 2, PictureRasterMode::Copy);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 1}}) {
        const ColourRef grey = pixelAt(surface, x, y);
        EXPECT_NEAR(static_cast<int>(grey & 0xFF), 128, 3);
        EXPECT_EQ(grey, rgbColour(grey & 0xFF, grey & 0xFF, grey & 0xFF));
    }
    EXPECT_EQ(pixelAt(surface, 2, 2), kRed);

    // Three pixels into two: each target pixel covers one and a half source pixels.
    const std::vector<std::uint8_t> ramp = bgrRows({rgbColour(0, 0, 0), rgbColour(90, 90, 90),
                                                    rgbColour(180, 180, 180)});
    context.drawPicture(bgrView(ramp, 3, 1), 0, 3, 2, 1, PictureRasterMode::Copy);
    EXPECT_EQ(pixelAt(surface, 0, 3), rgbColour(30, 30, 30));
    EXPECT_EQ(pixelAt(surface, 1, 3), rgbColour(150, 150, 150));
}

TEST(PictureLayouts, PaddedBottomUpRowsLandTheRightWayUp)
{
    // Three pixels of 9 bytes in rows of 12, the bottom row first, as in a BMP file.
    std::vector<std::uint8_t> rows(24, 0xEE);
    const std::vector<std::uint8_t> bottom = bgrRows({kBlue, kBlack, kWhite});
    const std::vector<std::uint8_t> top = bgrRows({kRed, kGreen, kBlue});
    std::copy(bottom.begin(), bottom.end(), rows.begin());
    std::copy(top.begin(), top.end(), rows.begin() + 12);
    OffscreenSurface surface(3, 2, kWhite);
    DeviceContext context(surface);
    context.drawPicture(PictureView{rows.data(), 3, 2, 12, PictureFormat::Bgr24, true}, 0, 0, 3, 2,
                        PictureRasterMode::Copy);
    EXPECT_EQ(pixelAt(surface, 0, 0), kRed);
    EXPECT_EQ(pixelAt(surface, 1, 0), kGreen);
    EXPECT_EQ(pixelAt(surface, 2, 0), kBlue);
    EXPECT_EQ(pixelAt(surface, 0, 1), kBlue);
    EXPECT_EQ(pixelAt(surface, 1, 1), kBlack);
}

TEST(PictureLayouts, ThirtyTwoBitPalettedAndMonochromePixels)
{
    OffscreenSurface surface(4, 3, kWhite);
    DeviceContext context(surface);
    // The fourth byte is 0 as bitmap files leave it; the surface must still read as opaque.
    const std::uint8_t bgrx[] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00};
    context.drawPicture(PictureView{bgrx, 2, 1, 8, PictureFormat::Bgrx32}, 0, 0, 2, 1,
                        PictureRasterMode::Copy);
    const std::uint8_t indexes[] = {2, 0, 1, 7};  // 7 lies past the palette
    const std::uint32_t palette[] = {0x00FF0000, 0x0000FF00, 0x000000FF};  // table entries
    context.drawPicture(PictureView{indexes, 4, 1, 4, PictureFormat::Indexed8, false, palette, 3}, 0, 1,
                        4, 1, PictureRasterMode::Copy);
    const std::uint8_t bits[] = {0b0101'0000};
    context.drawPicture(PictureView{bits, 4, 1, 1, PictureFormat::Mono1}, 0, 2, 4, 1,
                        PictureRasterMode::Copy);
    EXPECT_EQ(pixelAt(surface, 0, 0), kRed);
    EXPECT_EQ(pixelAt(surface, 1, 0), kBlue);
    EXPECT_EQ(test::fourthByteAt(surface, 0, 0), 0xFF);
    EXPECT_EQ(pixelAt(surface, 0, 1), kBlue);
    EXPECT_EQ(pixelAt(surface, 1, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 2, 1), kGreen);
    EXPECT_EQ(pixelAt(surface, 3, 1), kBlack);
    EXPECT_EQ(pixelAt(surface, 0, 2), kBlack);
    EXPECT_EQ(pixelAt(surface, 1, 2), kWhite);
}

TEST(PictureStretch, InconsistentPicturesAndEmptyTargetsDrawNothing)
{
    const std::vector<std::uint8_t> picture = bgrRows({kRed, kRed});
    OffscreenSurface surface(4, 4, kWhite);
    DeviceContext context(surface);
    context.drawPicture(PictureView{nullptr, 2, 1, 6, PictureFormat::Bgr24}, 0, 0, 4, 4,
                        PictureRasterMode::Copy);
    context.drawPicture(PictureView{picture.data(), 2, 1, 5, PictureFormat::Bgr24}, 0, 0, 4, 4,
                        PictureRasterMode::Copy);
    context.drawPicture(bgrView(picture, 2, 1), 0, 0, 0, 4, PictureRasterMode::Copy);
    context.drawPicture(bgrView(picture, 2, 1), 0, 0, 4, -4, PictureRasterMode::Copy);
    EXPECT_EQ(countPixels(surface, kWhite), 16);
}

TEST(PictureStretch, PartlyOutsideTheSurfaceDrawsTheVisiblePart)
{
    const std::vector<std::uint8_t> picture = bgrRows({kRed, kGreen, kBlue, kBlack});
    OffscreenSurface surface(4, 4, kWhite);
    DeviceContext context(surface);
    context.drawPicture(bgrView(picture, 2, 2), -2, -2, 4, 4, PictureRasterMode::Copy);
    EXPECT_EQ(pixelAt(surface, 0, 0), kBlack);
    EXPECT_EQ(pixelAt(surface, 1, 1), kBlack);
    EXPECT_EQ(pixelAt(surface, 2, 2), kWhite);
}

}  // namespace
}  // namespace quillora::platform
