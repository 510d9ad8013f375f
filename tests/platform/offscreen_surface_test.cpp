#include "platform/offscreen_surface.h"

#include "platform/device_context.h"
#include "surface_pixels.h"

#include <QImage>

#include <gtest/gtest.h>

namespace quillora::platform {
namespace {

using test::pixelAt;

constexpr ColourRef kWhite = rgbColour(255, 255, 255);
constexpr ColourRef kRed = rgbColour(255, 0, 0);

TEST(OffscreenSurface, PixelsAreTopDownBlueGreenRedOpaqueRows)
{
    OffscreenSurface surface(3, 2, rgbColour(1, 2, 3));
    surface.image().setPixel(2, 1, 0xFF0A0B0C);
    ASSERT_NE(surface.pixels(), nullptr);
    EXPECT_GE(surface.stride(), 3 * 4);
    const std::uint8_t* first = surface.pixels();
    EXPECT_EQ(first[0], 3);
    EXPECT_EQ(first[1], 2);
    EXPECT_EQ(first[2], 1);
    EXPECT_EQ(first[3], 0xFF);
    const std::uint8_t* last = surface.pixels() + surface.stride() + 2 * 4;
    EXPECT_EQ(last[0], 0x0C);
    EXPECT_EQ(last[2], 0x0A);
}

TEST(OffscreenSurface, ResizeKeepsTheTopLeftAndFillsTheRest)
{
    OffscreenSurface surface(2, 2, kRed);
    ASSERT_TRUE(surface.resize(4, 3, kWhite));
    EXPECT_EQ(surface.width(), 4);
    EXPECT_EQ(surface.height(), 3);
    EXPECT_EQ(pixelAt(surface, 1, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 2, 1), kWhite);
    EXPECT_EQ(pixelAt(surface, 1, 2), kWhite);
}

TEST(OffscreenSurface, RefusedSizesLeaveItEmptyOrUnchanged)
{
    EXPECT_TRUE(OffscreenSurface(0, 10).isEmpty());
    EXPECT_TRUE(OffscreenSurface(-5, 10).isEmpty());
    EXPECT_TRUE(OffscreenSurface(65535, 65535).isEmpty());  // 16 GB of pixels
    OffscreenSurface surface(2, 2, kRed);
    EXPECT_FALSE(surface.resize(65535, 65535));
    EXPECT_EQ(surface.width(), 2);
    EXPECT_EQ(pixelAt(surface, 0, 0), kRed);
    EXPECT_TRUE(surface.resize(0, 0));
    EXPECT_TRUE(surface.isEmpty());
    EXPECT_EQ(surface.pixels(), nullptr);
}

TEST(OffscreenSurface, DrawingOnAnEmptySurfaceDoesNothing)
{
    OffscreenSurface surface;
    DeviceContext context(surface);
    context.fillRectangle(0, 0, 10, 10, kRed);
    context.drawText(0, 0, "大");
    EXPECT_GT(context.textExtent("大").height, 0);
    EXPECT_TRUE(surface.isEmpty());
}

}  // namespace
}  // namespace quillora::platform
