// A landscape A4 page on its way to a PNG file, as the page export takes it: the panel's BMP
// data into the bitmap object, 300 dpi stamped on both axes, turned a quarter clockwise, and
// the object's data through the image-encoding service.
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/dib_bitmap.h"
#include "tests/encoder/encoder_test_support.h"

#include <gtest/gtest.h>

namespace quillora::test {
namespace {

constexpr std::int32_t kLandscapeWidth = 2970;
constexpr std::int32_t kLandscapeHeight = 2100;

// A white landscape page with a red top row and a blue left column, as 32-bit surface pixels.
std::vector<std::uint8_t> landscapeSurface()
{
    std::vector<std::uint8_t> pixels(std::size_t{kLandscapeWidth} * kLandscapeHeight * 4, 0xFF);
    for (std::int32_t x = 0; x < kLandscapeWidth; ++x) {
        std::uint8_t* pixel = &pixels[std::size_t(x) * 4];
        pixel[0] = 0;  // blue, green, red: red
        pixel[1] = 0;
    }
    for (std::int32_t y = 1; y < kLandscapeHeight; ++y) {
        std::uint8_t* pixel = &pixels[std::size_t(y) * kLandscapeWidth * 4];
        pixel[1] = 0;  // blue
        pixel[2] = 0;
    }
    return pixels;
}

TEST(PageExportPath, LandscapePageBecomesAPortraitPngAtThreeHundredDpi)
{
    const std::vector<std::uint8_t> surface = landscapeSurface();
    const std::vector<std::uint8_t> panelPicture =
        runtime::bmpFileFromBgrx({surface.data(), kLandscapeWidth, kLandscapeHeight, kLandscapeWidth * 4}, 3780, 3780);
    runtime::DibBitmap page;
    ASSERT_TRUE(page.loadFromData(panelPicture));
    ASSERT_TRUE(page.setHorizontalResolution(kPrintPixelsPerMetre));
    ASSERT_TRUE(page.setVerticalResolution(kPrintPixelsPerMetre));
    runtime::DibBitmap turned = page.rotate(90.0, 0);
    ASSERT_FALSE(turned.empty());
    const auto data = turned.data();

    const EncodeResult result = encodeThroughService(Bytes(data.begin(), data.end()), kPngEncoder);
    ASSERT_EQ(result.saved, win::Ok);
    const Decoded png = decodePng(result.file);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, 2100u);
    EXPECT_EQ(png.height, 2970u);
    EXPECT_EQ(png.xResolution, kPrintPixelsPerMetre);
    EXPECT_EQ(png.yResolution, kPrintPixelsPerMetre);
    EXPECT_EQ(png.resolutionUnit, 1);
    // Turned clockwise, the red top row is the right-hand column and the blue left column the
    // top row (the turn's half-pixel centring loses one edge, so the pixels inside are checked).
    EXPECT_EQ(png.pixel(2099, 1500), 0xFF0000u);
    EXPECT_EQ(png.pixel(1000, 0), 0x0000FFu);
    EXPECT_EQ(png.pixel(1000, 1500), 0xFFFFFFu);
}

}  // namespace
}  // namespace quillora::test
