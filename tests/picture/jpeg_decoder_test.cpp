#include "jpeg_test_files.h"
#include "picture_test_support.h"
#include "runtime/picture/jpeg_decoder.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

void expectNear(const Bgra& actual, const Bgra& expected)
{
    EXPECT_NEAR(actual.blue, expected.blue, 12) << actual;
    EXPECT_NEAR(actual.green, expected.green, 12) << actual;
    EXPECT_NEAR(actual.red, expected.red, 12) << actual;
    EXPECT_EQ(actual.alpha, 255);
}

constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kBlue{255, 0, 0, 255};

TEST(JpegDecoder, RecordHoldsBgrRowsBottomUp)
{
    LoadedPicture picture(redOverBlue(16, 16));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture.width(), 16);
    EXPECT_EQ(picture.height(), 16);
    const auto& data = picture.record().data;
    ASSERT_EQ(data.size(), 16u * 16 * 3);
    // The first stored row is the bottom one (blue), the last the top one (red).
    expectNear({data[0], data[1], data[2], 255}, kBlue);
    const std::size_t lastRow = 15 * 16 * 3;
    expectNear({data[lastRow], data[lastRow + 1], data[lastRow + 2], 255}, kRed);

    const auto image = picture.image();
    expectNear(pixelAt(image, 3, 1), kRed);
    expectNear(pixelAt(image, 3, 14), kBlue);
}

TEST(JpegDecoder, GreyPictureGivesThreeEqualBytes)
{
    LoadedPicture picture(encodeJpeg(4, 4, 1, JCS_GRAYSCALE, [](int x, int, std::uint8_t* grey) {
        *grey = static_cast<std::uint8_t>(60 + x * 40);
    }));
    ASSERT_TRUE(picture);
    const auto& data = picture.record().data;
    ASSERT_EQ(data.size(), 4u * 4 * 3);
    for (std::size_t pixel = 0; pixel < 16; ++pixel) {
        EXPECT_EQ(data[pixel * 3], data[pixel * 3 + 1]);
        EXPECT_EQ(data[pixel * 3], data[pixel * 3 + 2]);
    }
    EXPECT_NEAR(data[3 * 3], 180, 8);
}

TEST(JpegDecoder, ThreePixelWideRowsArePackedInTheRecord)
{
    LoadedPicture picture(redOverBlue(3, 2));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.record().data.size(), 9u * 2);
}

TEST(JpegDecoder, DrawingASmallCellDecodesAReducedPicture)
{
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        LoadedPicture picture(redOverBlue(64, 48, progressive));
        ASSERT_TRUE(picture);
        struct Case {
            int wantedWidth, wantedHeight, width, height;
        };
        // Eighths of 64 x 48: 1/8 is 8 x 6, 2/8 16 x 12, 5/8 40 x 30.
        for (const Case& c : {Case{8, 6, 8, 6}, Case{9, 6, 16, 12}, Case{-8, -6, 8, 6}, Case{33, 1, 40, 30},
                              Case{0, 0, 64, 48}, Case{100, 100, 64, 48}}) {
            const auto image = runtime::pictureForDrawing(picture.handle(), c.wantedWidth, c.wantedHeight);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width, c.width) << c.wantedWidth;
            EXPECT_EQ(image->height, c.height) << c.wantedWidth;
            expectNear(pixelAt(*image, 0, 0), kRed);
            expectNear(pixelAt(*image, 0, image->height - 1), kBlue);
        }
        // The picture's own size does not change with the size it is drawn at.
        EXPECT_EQ(picture.width(), 64);
        EXPECT_EQ(picture.height(), 48);
    }
}

// The scale in eighths for a destination: the smallest whose size covers the destination on both
// axes, the full size when none of 1/8 to 7/8 does.
struct ScaleCase {
    std::uint32_t width, height, wantedWidth, wantedHeight;
    unsigned eighths;
};

class JpegScaleTable : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScaleTable, SmallestEighthNotBelowTheDestination)
{
    const ScaleCase& c = GetParam();
    const unsigned eighths = runtime::jpegScaleFor(c.width, c.height, c.wantedWidth, c.wantedHeight);
    EXPECT_EQ(eighths, c.eighths);
    if (eighths < runtime::kJpegFullScale) {
        EXPECT_GE(runtime::jpegScaledSide(c.width, eighths), c.wantedWidth);
        EXPECT_GE(runtime::jpegScaledSide(c.height, eighths), c.wantedHeight);
    }
    if (eighths > 1) {
        // One eighth less would not cover the destination.
        EXPECT_TRUE(runtime::jpegScaledSide(c.width, eighths - 1) < c.wantedWidth ||
                    runtime::jpegScaledSide(c.height, eighths - 1) < c.wantedHeight);
    }
}

INSTANTIATE_TEST_SUITE_P(Destinations, JpegScaleTable,
                         ::testing::Values(ScaleCase{4000, 3000, 372, 279, 1},    // a camera photo fitted into a cell
                                           ScaleCase{4000, 3000, 500, 375, 1},    // exactly 1/8
                                           ScaleCase{4000, 3000, 501, 375, 2},
                                           ScaleCase{4000, 3000, 372, 510, 2},    // stretched to the whole cell
                                           ScaleCase{4000, 3000, 1001, 750, 3},
                                           ScaleCase{4000, 3000, 1750, 1313, 4},  // 1313 > 3000 x 3/8 = 1125
                                           ScaleCase{4000, 3000, 3000, 2250, 6},
                                           ScaleCase{4000, 3000, 3501, 10, 8},    // 7/8 is 3500 wide
                                           ScaleCase{4000, 3000, 4000, 3000, 8},
                                           ScaleCase{4000, 3000, 8000, 6000, 8},  // never enlarged
                                           ScaleCase{3000, 4000, 279, 372, 1},    // portrait
                                           ScaleCase{3, 3, 1, 1, 1},              // 3/8 rounds up to 1
                                           ScaleCase{9, 9, 2, 2, 1},
                                           ScaleCase{9, 9, 3, 1, 2},
                                           ScaleCase{1, 1, 1, 1, 1},
                                           ScaleCase{64, 48, 0, 0, 1}));

TEST(JpegDecoder, EveryEighthDecodesToItsRoundedUpSize)
{
    const Bytes photo = redOverBlue(61, 45);
    for (unsigned eighths = 1; eighths <= runtime::kJpegFullScale; ++eighths) {
        SCOPED_TRACE(eighths);
        const auto pixels = runtime::decodeJpeg(photo, eighths, runtime::JpegLayout::BgraTopDown);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(pixels->width, runtime::jpegScaledSide(61, eighths));
        EXPECT_EQ(pixels->height, runtime::jpegScaledSide(45, eighths));
    }
    EXPECT_FALSE(runtime::decodeJpeg(photo, 0, runtime::JpegLayout::BgraTopDown));
    EXPECT_FALSE(runtime::decodeJpeg(photo, 17, runtime::JpegLayout::BgraTopDown));
}

TEST(JpegDecoder, BrokenFilesGiveNoPicture)
{
    const Bytes good = redOverBlue(16, 16);
    const Bytes headerCut(good.begin(), good.begin() + 40);
    const Bytes garbage = {0xFF, 0xD8, 0xFF, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    const Bytes cmyk = encodeJpeg(4, 4, 4, JCS_CMYK, [](int, int, std::uint8_t* ink) { ink[0] = ink[3] = 200; });
    EXPECT_EQ(runtime::loadPicture(headerCut), 0);
    EXPECT_EQ(runtime::loadPicture(garbage), 0);
    EXPECT_EQ(runtime::loadPicture(cmyk), 0);
}

}  // namespace
}  // namespace quillora::test
