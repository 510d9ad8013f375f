// A surface filled as a whole holds no pixels until something needs them, and then gives exactly
// the pixels a filled surface has.
#include "platform/offscreen_surface.h"

#include "platform/device_context.h"
#include "surface_pixels.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace quillora::platform {
namespace {

using test::countPixels;
using test::pixelAt;

constexpr ColourRef kWhite = rgbColour(255, 255, 255);
constexpr ColourRef kRed = rgbColour(255, 0, 0);
constexpr ColourRef kBlue = rgbColour(0, 0, 255);

// A 5 × 3 surface at 254 dots per inch, drawn on and then filled blue.
struct BlankSurface : ::testing::Test {
    void SetUp() override
    {
        surface.image().setPixel(1, 1, 0xFF123456);
        surface.fill(kBlue);
    }
    OffscreenSurface surface{5, 3, kRed, 254.0};
};

TEST_F(BlankSurface, FillLetsThePixelsGoAndKeepsSizeAndResolution)
{
    EXPECT_EQ(surface.blankColour(), kBlue);
    EXPECT_FALSE(surface.isEmpty());
    EXPECT_EQ(surface.width(), 5);
    EXPECT_EQ(surface.height(), 3);
    EXPECT_EQ(surface.dotsPerInch(), 254.0);
    // Filling again, in another colour, only changes the colour it will have.
    surface.fill(kWhite);
    EXPECT_EQ(surface.blankColour(), kWhite);
    EXPECT_EQ(countPixels(surface, kWhite), 15);
    EXPECT_EQ(surface.blankColour(), std::nullopt);
}

struct PixelAccess {
    const char* name;
    std::function<void(OffscreenSurface&)> access;
};

class BlankSurfaceAccess : public BlankSurface, public ::testing::WithParamInterface<PixelAccess> {};

TEST_P(BlankSurfaceAccess, MakesThePixelsInTheFillColour)
{
    GetParam().access(surface);
    EXPECT_EQ(surface.blankColour(), std::nullopt);
    ASSERT_NE(surface.pixels(), nullptr);
    EXPECT_GE(surface.stride(), 5 * 4);
    EXPECT_EQ(countPixels(surface, kBlue), 15);
    EXPECT_EQ(test::fourthByteAt(surface, 4, 2), 0xFF);
    // The image carries the surface's resolution, as one made at that size does.
    const QImage& image = std::as_const(surface).image();
    EXPECT_EQ(image.dotsPerMeterX(), static_cast<int>(std::lround(254.0 / 0.0254)));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
}

INSTANTIATE_TEST_SUITE_P(
    EveryAccessor, BlankSurfaceAccess,
    ::testing::Values(PixelAccess{"ConstPixels", [](OffscreenSurface& s) { (void)std::as_const(s).pixels(); }},
                      PixelAccess{"ConstStride", [](OffscreenSurface& s) { (void)std::as_const(s).stride(); }},
                      PixelAccess{"ConstImage", [](OffscreenSurface& s) { (void)std::as_const(s).image(); }},
                      PixelAccess{"Image", [](OffscreenSurface& s) { (void)s.image(); }},
                      PixelAccess{"DrawingNothingVisible",
                                  [](OffscreenSurface& s) {
                                      DeviceContext context(s);
                                      context.fillRectangle(0, 0, 0, 0, kRed);
                                      context.drawText(100, 100, "大");
                                  }}),
    [](const ::testing::TestParamInfo<PixelAccess>& info) { return info.param.name; });

TEST_F(BlankSurface, DrawingPaintsOnTheFillColour)
{
    DeviceContext context(surface);
    EXPECT_GT(context.textExtent("大").height, 0);
    context.fillRectangle(1, 1, 2, 1, kRed);
    EXPECT_EQ(pixelAt(surface, 1, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 2, 1), kRed);
    EXPECT_EQ(countPixels(surface, kBlue), 13);
    // The pixel set before the fill is gone for good.
    surface.fill(kWhite);
    context.fillRectangle(0, 0, 1, 1, kRed);
    EXPECT_EQ(pixelAt(surface, 1, 1), kWhite);
    EXPECT_EQ(countPixels(surface, kWhite), 14);
}

struct ResizeCase {
    const char* name;
    int width;
    int height;
    ColourRef fill;
    bool staysBlank;
};

class BlankSurfaceResize : public BlankSurface, public ::testing::WithParamInterface<ResizeCase> {};

// The kept top-left part is the blank colour and new area the fill colour, as on a filled
// surface; when they are the same colour no pixels are made for it.
TEST_P(BlankSurfaceResize, KeepsTheColourOfTheOldArea)
{
    const ResizeCase& resize = GetParam();
    ASSERT_TRUE(surface.resize(resize.width, resize.height, resize.fill));
    EXPECT_EQ(surface.width(), resize.width);
    EXPECT_EQ(surface.height(), resize.height);
    EXPECT_EQ(surface.blankColour().has_value(), resize.staysBlank);
    for (int y = 0; y < resize.height; ++y)
        for (int x = 0; x < resize.width; ++x)
            EXPECT_EQ(pixelAt(surface, x, y), x < 5 && y < 3 ? kBlue : resize.fill) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(SizesAndColours, BlankSurfaceResize,
                         ::testing::Values(ResizeCase{"GrownInItsColour", 8, 4, kBlue, true},
                                           ResizeCase{"ShrunkInItsColour", 2, 2, kBlue, true},
                                           ResizeCase{"GrownInAnotherColour", 7, 6, kRed, false},
                                           ResizeCase{"WiderAndLowerInAnotherColour", 9, 2, kWhite, false},
                                           ResizeCase{"ShrunkInAnotherColour", 3, 1, kRed, false}),
                         [](const ::testing::TestParamInfo<ResizeCase>& info) { return info.param.name; });

TEST_F(BlankSurface, RefusedSizesEmptySurfacesAndResolution)
{
    // Too large stays refused without pixels being made, and the blank surface is kept.
    EXPECT_FALSE(surface.resize(65535, 65535, kBlue));
    EXPECT_FALSE(surface.resize(65535, 65535, kRed));
    EXPECT_EQ(surface.width(), 5);
    EXPECT_EQ(surface.blankColour(), kBlue);

    // The resolution set while blank is the one the pixels get.
    surface.setDotsPerInch(96.0);
    EXPECT_EQ(surface.image().dotsPerMeterX(), static_cast<int>(std::lround(96.0 / 0.0254)));

    surface.fill(kRed);
    EXPECT_TRUE(surface.resize(0, 0));
    EXPECT_TRUE(surface.isEmpty());
    EXPECT_EQ(surface.pixels(), nullptr);
    // An empty surface has nothing to fill.
    surface.fill(kRed);
    EXPECT_TRUE(surface.isEmpty());
    EXPECT_EQ(surface.blankColour(), std::nullopt);
    EXPECT_EQ(surface.width(), 0);
}

}  // namespace
}  // namespace quillora::platform
