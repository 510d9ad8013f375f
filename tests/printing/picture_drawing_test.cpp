// Drawing loaded pictures on a device context.
#include "panel_test_support.h"

#include "platform/offscreen_surface.h"
#include "runtime/picture/picture_drawing.h"

namespace quillora::test {
namespace {

using platform::PictureRasterMode;

std::uint32_t surfacePixel(const platform::OffscreenSurface& surface, int x, int y)
{
    const std::uint8_t* pixel = surface.pixels() + y * surface.stride() + x * 4;
    return platform::rgbColour(pixel[2], pixel[1], pixel[0]);
}

// An icon file of one 32-bit image, 2 × 1: the left pixel transparent by its alpha and its mask.
Bytes twoPixelIcon(std::uint32_t colour)
{
    Bytes image;
    const auto put32 = [&image](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            image.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put32(40), put32(2), put32(2), put32(1 | (32 << 16)), put32(0), put32(0), put32(0), put32(0), put32(0), put32(0);
    const std::uint32_t stored = colour >> 16 | (colour & 0xFF00) | (colour & 0xFF) << 16;
    put32(stored);
    put32(stored | 0xFF000000u);
    put32(0x80u);  // mask row: the left pixel is transparent
    Bytes file = {0, 0, 1, 0, 1, 0, 2, 1, 0, 0, 1, 0, 32, 0};
    const auto size = static_cast<std::uint32_t>(image.size());
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    for (std::uint32_t offset = 22, i = 0; i < 4; ++i)
        file.push_back(static_cast<std::uint8_t>(offset >> (8 * i)));
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

TEST(DrawDecodedPicture, OwnSizeStretchShrinkAndNothing)
{
    TestPicture picture(bmpFile(2, 2, {kBlack, kWhite, kWhite, kBlack}));
    platform::OffscreenSurface surface(8, 8, kRed);
    platform::DeviceContext context(surface);

    runtime::drawDecodedPicture(picture.handle(), context, 1, 1, runtime::kOwnPictureSide, runtime::kOwnPictureSide,
                                PictureRasterMode::Copy);
    EXPECT_EQ(surfacePixel(surface, 1, 1), kBlack);
    EXPECT_EQ(surfacePixel(surface, 2, 1), kWhite);
    EXPECT_EQ(surfacePixel(surface, 3, 1), kRed);
    EXPECT_EQ(surfacePixel(surface, 1, 3), kRed);

    // One side of its own size, the other stretched.
    runtime::drawDecodedPicture(picture.handle(), context, 4, 0, runtime::kOwnPictureSide, 4, PictureRasterMode::Copy);
    EXPECT_EQ(surfacePixel(surface, 4, 1), kBlack);
    EXPECT_EQ(surfacePixel(surface, 4, 2), kWhite);
    EXPECT_EQ(surfacePixel(surface, 6, 0), kRed);

    // A side of 0 and a handle no longer loaded draw nothing.
    const std::int32_t unloaded = runtime::loadPicture(plainBmp(1, 1, kBlack));
    runtime::unloadPicture(unloaded);
    runtime::drawDecodedPicture(unloaded, context, 0, 7, 1, 1, PictureRasterMode::Copy);
    runtime::drawDecodedPicture(picture.handle(), context, 1, 7, 0, 1, PictureRasterMode::Copy);
    EXPECT_EQ(surfacePixel(surface, 0, 7), kRed);
    EXPECT_EQ(surfacePixel(surface, 1, 7), kRed);

    // Shrinking averages what each target pixel covers.
    runtime::drawDecodedPicture(picture.handle(), context, 7, 7, 1, 1, PictureRasterMode::Copy);
    const std::uint32_t grey = surfacePixel(surface, 7, 7);
    EXPECT_NEAR(static_cast<int>(grey & 0xFF), 128, 1);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
}

// Only the part is drawn, stretched to the rectangle; the surface around the rectangle keeps
// its colour, and a part reaching past the picture is cut to it.
TEST(DrawDecodedPicture, APartOfThePictureFillsTheRectangleAndNothingElse)
{
    // Four columns: black, white, green, blue; two rows alike.
    TestPicture picture(bmpFile(4, 2, {kBlack, kWhite, kGreen, kBlue, kBlack, kWhite, kGreen, kBlue}));
    platform::OffscreenSurface surface(8, 6, kRed);
    platform::DeviceContext context(surface);

    // The middle two columns, doubled into a 4 × 4 rectangle at (2, 1).
    runtime::drawDecodedPicture(picture.handle(), context, 2, 1, 4, 4, PictureRasterMode::Copy,
                                runtime::PicturePart{1, 0, 2, 2});
    for (int y = 1; y < 5; ++y) {
        EXPECT_EQ(surfacePixel(surface, 2, y), kWhite);
        EXPECT_EQ(surfacePixel(surface, 3, y), kWhite);
        EXPECT_EQ(surfacePixel(surface, 4, y), kGreen);
        EXPECT_EQ(surfacePixel(surface, 5, y), kGreen);
    }
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(surfacePixel(surface, x, 0), kRed) << x;
        EXPECT_EQ(surfacePixel(surface, x, 5), kRed) << x;
    }
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(surfacePixel(surface, 1, y), kRed) << y;
        EXPECT_EQ(surfacePixel(surface, 6, y), kRed) << y;
    }

    // A part reaching past the right edge is the last column only; a part wholly outside draws
    // nothing.
    runtime::drawDecodedPicture(picture.handle(), context, 0, 5, 1, 1, PictureRasterMode::Copy,
                                runtime::PicturePart{3, 0, 9, 1});
    EXPECT_EQ(surfacePixel(surface, 0, 5), kBlue);
    runtime::drawDecodedPicture(picture.handle(), context, 7, 5, 1, 1, PictureRasterMode::Copy,
                                runtime::PicturePart{4, 0, 2, 2});
    runtime::drawDecodedPicture(picture.handle(), context, 7, 5, 1, 1, PictureRasterMode::Copy,
                                runtime::PicturePart{0, 0, 0, 2});
    EXPECT_EQ(surfacePixel(surface, 7, 5), kRed);
}

TEST(DrawDecodedPicture, IconsKeepTheirTransparentParts)
{
    TestPicture icon(twoPixelIcon(kBlue));
    ASSERT_EQ(runtime::pictureKind(icon.handle()), runtime::PictureKind::Icon);
    platform::OffscreenSurface surface(4, 2, kRed);
    platform::DeviceContext context(surface);
    // The raster mode does not apply to icons.
    runtime::drawDecodedPicture(icon.handle(), context, 0, 0, 4, 2, PictureRasterMode::InvertedCopy);
    EXPECT_EQ(surfacePixel(surface, 0, 0), kRed);
    EXPECT_EQ(surfacePixel(surface, 1, 1), kRed);
    EXPECT_EQ(surfacePixel(surface, 2, 0), kBlue);
    EXPECT_EQ(surfacePixel(surface, 3, 1), kBlue);

    // A part of an icon is drawn as an icon too: the opaque right pixel alone fills the
    // rectangle, the transparent left one stays out.
    platform::OffscreenSurface part(2, 1, kRed);
    platform::DeviceContext partContext(part);
    runtime::drawDecodedPicture(icon.handle(), partContext, 0, 0, 2, 1, PictureRasterMode::Copy,
                                runtime::PicturePart{1, 0, 1, 1});
    EXPECT_EQ(surfacePixel(part, 0, 0), kBlue);
    EXPECT_EQ(surfacePixel(part, 1, 0), kBlue);
    runtime::drawDecodedPicture(icon.handle(), partContext, 0, 0, 2, 1, PictureRasterMode::Copy,
                                runtime::PicturePart{0, 0, 1, 1});
    EXPECT_EQ(surfacePixel(part, 0, 0), kBlue);
}

}  // namespace
}  // namespace quillora::test
