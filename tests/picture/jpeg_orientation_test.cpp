// A photo stored turned or mirrored, with its EXIF orientation, stands upright wherever it is
// drawn: its size, its pixels at full and at reduced size, the full record, drawn on a surface,
// loaded from a file and read ahead. Each of the eight orientations on a 64 x 32 photo whose
// quadrants are red, green, blue and yellow as stored.
#include <string>

#include "exif_test_files.h"
#include "picture_test_support.h"
#include "platform/device_context.h"
#include "platform/offscreen_surface.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_drawing.h"
#include "runtime/picture/read_ahead.h"

namespace quillora::test {
namespace {

constexpr int kStoredWidth = 64;
constexpr int kStoredHeight = 32;

struct Corners {
    int topLeft, topRight, bottomLeft, bottomRight;
    friend bool operator==(const Corners&, const Corners&) = default;
    friend std::ostream& operator<<(std::ostream& stream, const Corners& corners)
    {
        return stream << kQuadrantNames[corners.topLeft] << ' ' << kQuadrantNames[corners.topRight] << " / "
                      << kQuadrantNames[corners.bottomLeft] << ' ' << kQuadrantNames[corners.bottomRight];
    }
};

Corners expectedCorners(int orientation)
{
    const auto& corners = kUprightCorners[static_cast<std::size_t>(orientation)];
    return {corners[0], corners[1], corners[2], corners[3]};
}

// The quadrant colours in the four corners of anything with pixels at (x, y).
template <typename ColourAt>
Corners cornersOf(int width, int height, ColourAt colourAt)
{
    return {colourAt(0, 0), colourAt(width - 1, 0), colourAt(0, height - 1), colourAt(width - 1, height - 1)};
}

Corners cornersOf(const runtime::BgraImage& image)
{
    return cornersOf(image.width, image.height, [&](int x, int y) {
        const Bgra pixel = pixelAt(image, x, y);
        return quadrantOf(pixel.red, pixel.green, pixel.blue);
    });
}

class UprightPhoto : public ::testing::TestWithParam<int> {
protected:
    int orientation() const { return GetParam(); }
    bool turned() const { return orientation() >= 5; }
    int uprightWidth() const { return turned() ? kStoredHeight : kStoredWidth; }
    int uprightHeight() const { return turned() ? kStoredWidth : kStoredHeight; }
    Bytes photo() const { return quadrantPhoto(kStoredWidth, kStoredHeight, static_cast<std::uint16_t>(orientation())); }
};

TEST_P(UprightPhoto, SizeAndRatioAreTheUprightOnes)
{
    LoadedPicture picture(photo());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), uprightWidth());
    EXPECT_EQ(picture.height(), uprightHeight());
    const auto header = runtime::readJpegHeader(photo());
    ASSERT_TRUE(header);
    EXPECT_EQ(static_cast<int>(header->orientation), orientation());
    EXPECT_EQ(header->width, static_cast<std::uint32_t>(uprightWidth()));
}

TEST_P(UprightPhoto, PixelsStandUprightAtFullAndReducedSizeInBothByteOrders)
{
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        LoadedPicture picture(quadrantPhoto(kStoredWidth, kStoredHeight, static_cast<std::uint16_t>(orientation()),
                                            bigEndian));
        ASSERT_TRUE(picture);
        const auto full = runtime::pictureForDrawing(picture.handle());
        ASSERT_TRUE(full);
        EXPECT_EQ(full->width, uprightWidth());
        EXPECT_EQ(full->height, uprightHeight());
        EXPECT_EQ(cornersOf(*full), expectedCorners(orientation()));

        // A quarter of the upright size decodes at 2/8, chosen against the upright sides: against
        // the stored ones a turned photo would need 4/8.
        const auto reduced = runtime::pictureForDrawing(picture.handle(), uprightWidth() / 4, uprightHeight() / 4);
        ASSERT_TRUE(reduced);
        EXPECT_EQ(reduced->width, uprightWidth() / 4);
        EXPECT_EQ(reduced->height, uprightHeight() / 4);
        EXPECT_EQ(cornersOf(*reduced), expectedCorners(orientation()));
    }
}

TEST_P(UprightPhoto, TheFullRecordHoldsUprightRowsBottomUp)
{
    LoadedPicture picture(photo());
    ASSERT_TRUE(picture);
    const runtime::PictureRecord& record = picture.record();
    EXPECT_EQ(record.width, uprightWidth());
    ASSERT_EQ(record.data.size(), static_cast<std::size_t>(uprightWidth() * uprightHeight() * 3));
    const Corners corners = cornersOf(record.width, record.height, [&](int x, int y) {
        const std::uint8_t* bgr = record.data.data() + (static_cast<std::size_t>(record.height - 1 - y) * record.width + x) * 3;
        return quadrantOf(bgr[2], bgr[1], bgr[0]);
    });
    EXPECT_EQ(corners, expectedCorners(orientation()));
}

TEST_P(UprightPhoto, DrawnIntoACellEachCornerIsWhereItBelongs)
{
    LoadedPicture picture(photo());
    ASSERT_TRUE(picture);
    // The cell is half the upright size, a little off the surface's corner.
    const int cellWidth = uprightWidth() / 2;
    const int cellHeight = uprightHeight() / 2;
    platform::OffscreenSurface surface(cellWidth + 4, cellHeight + 4, platform::rgbColour(255, 255, 255));
    platform::DeviceContext context(surface);
    runtime::drawDecodedPicture(picture.handle(), context, 2, 2, cellWidth, cellHeight,
                                platform::PictureRasterMode::Copy);
    const Corners corners = cornersOf(cellWidth, cellHeight, [&](int x, int y) {
        const std::uint8_t* bgra = surface.pixels() + (y + 2) * surface.stride() + (x + 2) * 4;
        return quadrantOf(bgra[2], bgra[1], bgra[0]);
    });
    EXPECT_EQ(corners, expectedCorners(orientation()));
}

TEST_P(UprightPhoto, FromAFileReadAgainAndReadAheadItStaysUpright)
{
    DriveFolder drive("quillora-upright");
    writeFile(drive.path() + "/photo.jpg", photo());

    // Read ahead for a destination of a quarter of the upright size.
    const auto ahead = runtime::readPictureFileAhead(drive.path() + "/photo.jpg", static_cast<std::uint32_t>(uprightWidth() / 4),
                                                     static_cast<std::uint32_t>(uprightHeight() / 4));
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->width, static_cast<std::uint32_t>(uprightWidth()));
    EXPECT_EQ(static_cast<int>(ahead->orientation), orientation());
    ASSERT_TRUE(ahead->image);
    EXPECT_EQ(ahead->image->width, uprightWidth() / 4);
    EXPECT_EQ(cornersOf(*ahead->image), expectedCorners(orientation()));

    // Loaded from the file, which is read again (not parsed again) for each drawing size.
    runtime::noteJpegDrawingSize(static_cast<std::uint32_t>(uprightWidth() / 2), static_cast<std::uint32_t>(uprightHeight() / 2));
    runtime::readPictureFileAheadNamed("C:\\photo.jpg");
    LoadedPicture picture(runtime::loadPictureFile("C:\\photo.jpg"));
    runtime::noteJpegDrawingSize(0, 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), uprightWidth());
    EXPECT_EQ(picture.height(), uprightHeight());
    for (const int divisor : {2, 1, 8}) {
        SCOPED_TRACE(divisor);
        const auto image = runtime::pictureForDrawing(picture.handle(), uprightWidth() / divisor, uprightHeight() / divisor);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, uprightWidth() / divisor);
        EXPECT_EQ(cornersOf(*image), expectedCorners(orientation()));
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, UprightPhoto, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& info) { return "Exif" + std::to_string(info.param); });

TEST(UprightPhoto, EveryEighthOfOddAndOnePixelSidesFillsTheWholeTurnedPicture)
{
    for (const auto& [width, height] : {std::pair{61, 45}, std::pair{1, 19}, std::pair{19, 1}}) {
        const Bytes photo = redOverBlue(width, height);
        for (int value = 1; value <= 8; ++value) {
            const auto orientation = static_cast<runtime::ExifOrientation>(value);
            const bool turned = value >= 5;
            for (unsigned eighths = 1; eighths <= runtime::kJpegFullScale; ++eighths) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " orientation " +
                             std::to_string(value) + " eighths " + std::to_string(eighths));
                const auto pixels = runtime::decodeJpeg(photo, eighths, runtime::JpegLayout::BgraTopDown, orientation);
                ASSERT_TRUE(pixels);
                const auto storedWidth = runtime::jpegScaledSide(static_cast<std::uint32_t>(width), eighths);
                const auto storedHeight = runtime::jpegScaledSide(static_cast<std::uint32_t>(height), eighths);
                EXPECT_EQ(pixels->width, turned ? storedHeight : storedWidth);
                EXPECT_EQ(pixels->height, turned ? storedWidth : storedHeight);
                // Every pixel was written: the buffer starts zeroed and decoded pixels are opaque.
                std::size_t unwritten = 0;
                for (std::size_t alpha = 3; alpha < pixels->pixels.size(); alpha += 4)
                    unwritten += pixels->pixels[alpha] != 255;
                EXPECT_EQ(unwritten, 0u);
                const auto record = runtime::decodeJpeg(photo, eighths, runtime::JpegLayout::BgrBottomUp, orientation);
                ASSERT_TRUE(record);
                EXPECT_EQ(record->pixels.size(), pixels->pixels.size() / 4 * 3);
            }
        }
    }
}

TEST(UprightPhoto, ARecordedOrientationIsNotParsedAgainWhenDrawn)
{
    // The decoder turns the rows by the orientation it is given, not by the block in the bytes:
    // a picture read again from its file is not parsed twice, and never turned twice.
    const Bytes photo = quadrantPhoto(kStoredWidth, kStoredHeight, 6);
    const auto asStored = runtime::decodeJpeg(photo, runtime::kJpegFullScale, runtime::JpegLayout::BgraTopDown);
    ASSERT_TRUE(asStored);
    EXPECT_EQ(asStored->width, static_cast<std::uint32_t>(kStoredWidth));
    runtime::BgraImage image{kStoredWidth, kStoredHeight, asStored->pixels};
    EXPECT_EQ(cornersOf(image), expectedCorners(1));
}

}  // namespace
}  // namespace quillora::test
