#include "platform/device_context.h"

#include "surface_pixels.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace quillora::platform {
namespace {

using test::countPixels;
using test::pixelAt;

constexpr ColourRef kWhite = rgbColour(255, 255, 255);
constexpr ColourRef kRed = rgbColour(255, 0, 0);
constexpr ColourRef kBlue = rgbColour(0, 0, 255);

struct MappingCase {
    ScaleMode mode;
    double dotsPerInch;
    int logical;
    int device;
};

class ScaleModeMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(ScaleModeMapping, LogicalUnitsBecomeDevicePixelsAndBack)
{
    const MappingCase& mapping = GetParam();
    OffscreenSurface surface(4, 4, kWhite, mapping.dotsPerInch);
    DeviceContext context(surface);
    context.setScaleMode(mapping.mode);
    EXPECT_EQ(context.toDeviceX(mapping.logical), mapping.device);
    EXPECT_EQ(context.toDeviceY(mapping.logical), mapping.device);
    EXPECT_NEAR(context.toLogicalX(mapping.device), mapping.logical,
                logicalUnitsPerInch(mapping.mode, mapping.dotsPerInch) / mapping.dotsPerInch);
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, ScaleModeMapping,
    ::testing::Values(MappingCase{ScaleMode::Pixel, 300, 37, 37},
                      MappingCase{ScaleMode::TenthMillimetre, 254, 100, 100},
                      MappingCase{ScaleMode::TenthMillimetre, 96, 254, 96},
                      MappingCase{ScaleMode::TenthMillimetre, 96, 2, 1},    // 0.76 px rounds up
                      MappingCase{ScaleMode::TenthMillimetre, 96, -2, -1},  // and symmetrically
                      MappingCase{ScaleMode::HundredthMillimetre, 254, 1000, 100},
                      MappingCase{ScaleMode::HundredthInch, 300, 100, 300},
                      MappingCase{ScaleMode::ThousandthInch, 600, 1000, 600},
                      MappingCase{ScaleMode::Twip, 96, 1440, 96}));

TEST(DeviceContextFill, TenthMillimetreSquareCoversExactlyItsPixels)
{
    OffscreenSurface surface(200, 200, kWhite, 254);
    DeviceContext context(surface);
    context.setScaleMode(ScaleMode::TenthMillimetre);
    context.fillRectangle(50, 60, 100, 100, kRed);
    EXPECT_EQ(countPixels(surface, kRed), 100 * 100);
    EXPECT_EQ(pixelAt(surface, 50, 60), kRed);
    EXPECT_EQ(pixelAt(surface, 149, 159), kRed);
    EXPECT_EQ(pixelAt(surface, 150, 159), kWhite);
    EXPECT_EQ(pixelAt(surface, 149, 160), kWhite);
    EXPECT_EQ(pixelAt(surface, 49, 60), kWhite);
}

TEST(DeviceContextFill, AdjoiningRectanglesNeitherOverlapNorLeaveGaps)
{
    // At 96 dpi a tenth of a millimetre is 0.378 px: mapping widths instead of edges would make
    // neighbouring cells overlap or leave white seams.
    OffscreenSurface surface(40, 2, kWhite, 96);
    DeviceContext context(surface);
    context.setScaleMode(ScaleMode::TenthMillimetre);
    for (int cell = 0; cell < 7; ++cell)
        context.fillRectangle(cell * 13, 0, 13, 2, cell % 2 ? kBlue : kRed);
    const int right = context.toDeviceX(7 * 13);
    for (int x = 0; x < right; ++x)
        EXPECT_NE(pixelAt(surface, x, 0), kWhite) << "seam at x = " << x;
    EXPECT_EQ(pixelAt(surface, right, 0), kWhite);
}

TEST(DeviceContextShapes, RectangleOutlineAndFillStayInsideTheRectangle)
{
    OffscreenSurface surface(20, 20, kWhite);
    DeviceContext context(surface);
    context.setPen(PenType::Solid, 0, kRed);
    context.setBrush(kSolidBrush, kBlue);
    context.drawRectangle(2, 3, 10, 8);
    EXPECT_EQ(pixelAt(surface, 2, 3), kRed);
    EXPECT_EQ(pixelAt(surface, 11, 10), kRed);
    EXPECT_EQ(pixelAt(surface, 6, 10), kRed);
    EXPECT_EQ(pixelAt(surface, 5, 6), kBlue);
    EXPECT_EQ(pixelAt(surface, 12, 10), kWhite);
    EXPECT_EQ(pixelAt(surface, 11, 11), kWhite);
    EXPECT_EQ(countPixels(surface, kRed) + countPixels(surface, kBlue), 10 * 8);
}

TEST(DeviceContextShapes, ThinLineLeavesOutItsLastPixel)
{
    OffscreenSurface surface(20, 5, kWhite);
    DeviceContext context(surface);
    context.setPen(PenType::Solid, 0, kRed);
    context.drawLine(2, 1, 12, 1);
    EXPECT_EQ(pixelAt(surface, 2, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 11, 1), kRed);
    EXPECT_EQ(pixelAt(surface, 12, 1), kWhite);
    EXPECT_EQ(countPixels(surface, kRed), 10);
}

TEST(DeviceContextShapes, CoordinatesFarOutsideTheSurfaceAreHarmless)
{
    OffscreenSurface surface(10, 10, kWhite);
    DeviceContext context(surface);
    context.setScaleMode(ScaleMode::TenthMillimetre);
    context.setBrush(kSolidBrush, kRed);
    context.drawRectangle(-2'000'000'000, -2'000'000'000, 2'100'000'000, 2'100'000'000);
    context.drawLine(-2'000'000'000, 5, 2'000'000'000, 5);
    context.fillRectangle(2'000'000'000, 0, 2'000'000'000, 10, kBlue);
    EXPECT_EQ(countPixels(surface, kBlue), 0);
    EXPECT_EQ(pixelAt(surface, 5, 5), kRed);
}

// Binary raster operations as the codes define them, bit by bit; P is the brush, D the surface.
struct DrawModeCase {
    int value;
    std::function<std::uint32_t(std::uint32_t, std::uint32_t)> result;
};

class DrawModes : public ::testing::TestWithParam<DrawModeCase> {};

TEST_P(DrawModes, BrushCombinesWithTheSurface)
{
    constexpr ColourRef destination = rgbColour(0xC3, 0x3C, 0x0F);
    constexpr ColourRef brush = rgbColour(0x5A, 0xF0, 0x66);
    OffscreenSurface surface(6, 6, destination);
    DeviceContext context(surface);
    context.setPen(PenType::Null, 0, 0);
    context.setBrush(kSolidBrush, brush);
    context.setDrawMode(GetParam().value);
    context.drawRectangle(0, 0, 6, 6);
    EXPECT_EQ(pixelAt(surface, 3, 3), GetParam().result(brush, destination) & 0x00FFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(
    AllSixteen, DrawModes,
    ::testing::Values(DrawModeCase{0, [](std::uint32_t, std::uint32_t) { return 0u; }},
                      DrawModeCase{1, [](std::uint32_t p, std::uint32_t d) { return ~(p | d); }},
                      DrawModeCase{2, [](std::uint32_t p, std::uint32_t d) { return ~p & d; }},
                      DrawModeCase{3, [](std::uint32_t p, std::uint32_t) { return ~p; }},
                      DrawModeCase{4, [](std::uint32_t p, std::uint32_t d) { return p & ~d; }},
                      DrawModeCase{5, [](std::uint32_t, std::uint32_t d) { return ~d; }},
                      DrawModeCase{6, [](std::uint32_t p, std::uint32_t d) { return p ^ d; }},
                      DrawModeCase{7, [](std::uint32_t p, std::uint32_t d) { return ~(p & d); }},
                      DrawModeCase{8, [](std::uint32_t p, std::uint32_t d) { return p & d; }},
                      DrawModeCase{9, [](std::uint32_t p, std::uint32_t d) { return ~(p ^ d); }},
                      DrawModeCase{10, [](std::uint32_t, std::uint32_t d) { return d; }},
                      DrawModeCase{11, [](std::uint32_t p, std::uint32_t d) { return ~p | d; }},
                      DrawModeCase{12, [](std::uint32_t p, std::uint32_t) { return p; }},
                      DrawModeCase{13, [](std::uint32_t p, std::uint32_t d) { return p | ~d; }},
                      DrawModeCase{14, [](std::uint32_t p, std::uint32_t d) { return p | d; }},
                      DrawModeCase{15, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }}));

TEST(DeviceContextOnOwnersPainter, DrawsThroughTheOwnersTransformAndLeavesItsStateAlone)
{
    QImage page(40, 40, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.translate(10, 5);  // a printer unit's margin offset, say
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    DeviceContext context(painter, 254, 254);
    context.setScaleMode(ScaleMode::TenthMillimetre);
    context.setDrawMode(6);
    context.setBrush(kSolidBrush, kRed);
    context.setPen(PenType::Null, 0, 0);
    context.drawRectangle(0, 0, 4, 4);
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_Multiply);
    painter.end();
    EXPECT_EQ(page.pixel(10, 5), qRgb(0, 255, 255));  // red exclusive-or white
    EXPECT_EQ(page.pixel(13, 8), qRgb(0, 255, 255));
    EXPECT_EQ(page.pixel(14, 8), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace quillora::platform
