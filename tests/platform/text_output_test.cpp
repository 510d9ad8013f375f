#include "platform/device_context.h"
#include "platform/device_fonts.h"

#include "surface_pixels.h"

#include <gtest/gtest.h>

namespace quillora::platform {
namespace {

using test::inkBounds;
using test::pixelAt;

constexpr ColourRef kWhite = rgbColour(255, 255, 255);
constexpr ColourRef kGreen = rgbColour(0, 200, 0);
constexpr ColourRef kBlue = rgbColour(0, 0, 255);
constexpr const char* kBig = "大";

LogicalFont songFont(int height)
{
    LogicalFont font;
    font.face = "宋体";
    font.height = height;
    return font;
}

TEST(TextBackground, TransparentLeavesTheSurfaceOpaqueFillsTheCell)
{
    OffscreenSurface surface(80, 40, kGreen);
    DeviceContext context(surface);
    context.setFont(songFont(20));
    context.setTextColour(rgbColour(0, 0, 0));
    context.setTextBackground(kTransparentTextBackground);
    const TextExtent extent = context.textExtent("i");
    context.drawText(10, 5, "i");
    EXPECT_EQ(pixelAt(surface, 10, 5), kGreen);
    EXPECT_EQ(pixelAt(surface, 10 + extent.width - 1, 5 + extent.height - 1), kGreen);

    context.setTextBackground(kBlue);
    context.drawText(40, 5, "i");
    EXPECT_EQ(pixelAt(surface, 40, 5), kBlue);
    EXPECT_EQ(pixelAt(surface, 40 + extent.width - 1, 5 + extent.height - 1), kBlue);
    EXPECT_EQ(pixelAt(surface, 40 + extent.width, 5), kGreen);
    EXPECT_EQ(pixelAt(surface, 40, 5 + extent.height), kGreen);
}

TEST(TextExtent, GrowsWithTheFontAndTheText)
{
    OffscreenSurface surface(10, 10, kWhite);
    DeviceContext context(surface);
    context.setFont(songFont(12));
    const TextExtent small = context.textExtent(kBig);
    const TextExtent twoCharacters = context.textExtent("大大");
    context.setFont(songFont(24));
    const TextExtent large = context.textExtent(kBig);
    EXPECT_GT(small.width, 0);
    EXPECT_EQ(twoCharacters.width, 2 * small.width);
    EXPECT_EQ(twoCharacters.height, small.height);
    EXPECT_NEAR(large.width, 2 * small.width, 2);
    EXPECT_NEAR(large.height, 2 * small.height, 3);
    EXPECT_EQ(context.textExtent("").width, 0);
}

// A line is a little higher than the character height in every scale mode; a font realised by
// point size inside scaled coordinates comes out many times too high.
TEST(TextExtent, LineHeightIsSaneInPixelsAndTenthsOfMillimetres)
{
    const int display = displayFontHeight(9, 96);
    OffscreenSurface panel(10, 10, kWhite, 96);
    DeviceContext panelContext(panel);
    panelContext.setFont(songFont(panelFontHeight(display, ScaleMode::Pixel, 96)));
    const int pixelLine = panelContext.textExtent(kBig).height;
    EXPECT_GE(pixelLine, 12);
    EXPECT_LE(pixelLine, 18);

    panelContext.setScaleMode(ScaleMode::TenthMillimetre);
    const int panelHeight = panelFontHeight(display, ScaleMode::TenthMillimetre, 96);
    panelContext.setFont(songFont(panelHeight));
    const int panelLine = panelContext.textExtent(kBig).height;
    EXPECT_GE(panelLine, panelHeight);
    EXPECT_LE(panelLine, panelHeight * 3 / 2);

    OffscreenSurface page(10, 10, kWhite, 600);
    DeviceContext printer(page);
    printer.setScaleMode(ScaleMode::TenthMillimetre);
    const int printerHeight = printerFontHeight(display, ScaleMode::TenthMillimetre, 96, 600);
    printer.setFont(songFont(printerHeight));
    const int printerLine = printer.textExtent(kBig).height;
    EXPECT_GE(printerLine, printerHeight);
    EXPECT_LE(printerLine, printerHeight * 3 / 2);
}

TEST(TextOutput, InkLiesInTheCellBelowAndRightOfTheAnchor)
{
    OffscreenSurface page(300, 200, kWhite, 254);
    DeviceContext context(page);
    context.setScaleMode(ScaleMode::TenthMillimetre);  // one pixel per unit at 254 dpi
    context.setTextBackground(kTransparentTextBackground);
    context.setTextColour(kBlue);
    context.setFont(songFont(40));
    const TextExtent extent = context.textExtent(kBig);
    context.drawText(50, 60, kBig);
    const QRect ink = inkBounds(page, kWhite);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 50);
    EXPECT_GE(ink.top(), 60);
    EXPECT_LE(ink.right(), 50 + extent.width);
    EXPECT_LE(ink.bottom(), 60 + extent.height);
    EXPECT_GT(ink.height(), 40 / 2);
}

TEST(TextOutput, EscapementTurnsTheLineCounterClockwise)
{
    OffscreenSurface page(200, 200, kWhite);
    DeviceContext context(page);
    context.setTextBackground(kTransparentTextBackground);
    LogicalFont font = songFont(20);
    font.escapement = 900;
    context.setFont(font);
    context.drawText(100, 150, "大大大");
    const QRect ink = inkBounds(page, kWhite);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.bottom(), 151);  // the line runs upward from the anchor
    EXPECT_LT(ink.top(), 150 - 40);
    EXPECT_GE(ink.left(), 99);     // with the characters' feet to the right
    EXPECT_LE(ink.right(), 100 + 25);
}

}  // namespace
}  // namespace quillora::platform
