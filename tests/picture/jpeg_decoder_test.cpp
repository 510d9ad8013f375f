#include <cstdio>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

#include "picture_test_support.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

// Writes a JPEG with libjpeg; `pixel` fills the components of pixel (x, y).
Bytes encodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                 const std::function<void(int, int, std::uint8_t*)>& pixel, bool progressive = false)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width * components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, static_cast<int>(info.next_scanline), row.data() + x * components);
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return out;
}

// Top half red, bottom half blue.
Bytes redOverBlue(int width, int height, bool progressive = false)
{
    return encodeJpeg(
        width, height, 3, JCS_RGB,
        [height](int, int y, std::uint8_t* rgb) {
            const bool top = y < height / 2;
            rgb[0] = top ? 255 : 0;
            rgb[1] = 0;
            rgb[2] = top ? 0 : 255;
        },
        progressive);
}

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
        for (const Case& c : {Case{8, 6, 8, 6}, Case{9, 6, 16, 12}, Case{-8, -6, 8, 6}, Case{33, 1, 64, 48},
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
