// What a loaded picture keeps, and what happens when what it was loaded from is gone: a picture
// loaded from a file holds only the file's name and identity and is read again when drawn; a
// file that changed in between draws nothing; a picture that failed to decode is not decoded
// again.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "jpeg_test_files.h"
#include "picture_test_support.h"
#include "platform/offscreen_surface.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_drawing.h"
#include "runtime/picture/recent_drawings.h"

namespace quillora::test {
namespace {

namespace fs = std::filesystem;

bool isRedOverBlue(const runtime::BgraImage& image)
{
    const Bgra top = pixelAt(image, image.width / 2, 0);
    const Bgra bottom = pixelAt(image, image.width / 2, image.height - 1);
    return top.red > 200 && top.blue < 60 && bottom.blue > 200 && bottom.red < 60;
}

// A progressive JPEG whose second scan names a component the frame does not have: the header
// reads, the decoding fails.
Bytes jpegFailingInItsSecondScan()
{
    Bytes bytes = redOverBlue(64, 48, true);
    int scans = 0;
    for (std::size_t i = 0; i + 5 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA && ++scans == 2) {
            bytes[i + 5] = 0x55;  // the first component selector of the scan
            return bytes;
        }
    }
    return {};
}

// A temp folder mapped as drive C:, holding photo.jpg (64 x 48, red over blue).
class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        photo_ = redOverBlue(64, 48);
        writeFile(folder_ + "/photo.jpg", photo_);
    }

    DriveFolder drive_{"quillora-held"};
    const std::string folder_ = drive_.path();
    Bytes photo_;
};

TEST_F(PictureFileTest, JpegFromAFileHoldsItsNameNotItsBytesAndDrawsFromTheFile)
{
    LoadedPicture picture(runtime::loadPictureFile("C:\\photo.jpg"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), 64);
    const std::size_t held = runtime::pictureHeldBytes(picture.handle());
    EXPECT_LT(held, 1024u);
    const auto image = runtime::pictureForDrawing(picture.handle(), 8, 6);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 8);
    EXPECT_TRUE(isRedOverBlue(*image));
    // Drawing leaves the picture as small as before; its pixels are among the few kept.
    EXPECT_EQ(runtime::pictureHeldBytes(picture.handle()), held);
}

// How a file may change between loading and drawing.
struct FileChange {
    const char* name;
    void (*apply)(const std::string& path, const Bytes& original);
};

class ChangedPictureFile : public PictureFileTest, public ::testing::WithParamInterface<FileChange> {};

TEST_P(ChangedPictureFile, DrawsNothingAndStaysSo)
{
    LoadedPicture picture(runtime::loadPictureFile("C:\\photo.jpg"));
    ASSERT_TRUE(picture);
    const std::string path = folder_ + "/photo.jpg";
    GetParam().apply(path, photo_);
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 8, 6));
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle()));
    EXPECT_EQ(runtime::decodedPicture(picture.handle()), nullptr);
    // Putting the original content back makes a new file, not the one that was loaded.
    writeFile(path, photo_);
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 8, 6));
    // The picture keeps its size and stays loaded until it is unloaded.
    EXPECT_EQ(picture.width(), 64);
    EXPECT_TRUE(runtime::isLoadedPicture(picture.handle()));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedPictureFile,
    ::testing::Values(
        FileChange{"Truncated", [](const std::string& path, const Bytes&) { ASSERT_EQ(truncate(path.c_str(), 100), 0); }},
        FileChange{"Emptied", [](const std::string& path, const Bytes&) { ASSERT_EQ(truncate(path.c_str(), 0), 0); }},
        FileChange{"Deleted", [](const std::string& path, const Bytes&) { ASSERT_EQ(unlink(path.c_str()), 0); }},
        FileChange{"ReplacedByAnotherPicture",
                   [](const std::string& path, const Bytes&) {
                       // Same size in pixels, other colours, moved over the name as a new file.
                       writeFile(path + ".new", encodeJpeg(64, 48, 3, JCS_RGB, [](int, int, std::uint8_t* rgb) {
                                     rgb[0] = 0;
                                     rgb[1] = 255;
                                     rgb[2] = 0;
                                 }));
                       ASSERT_EQ(rename((path + ".new").c_str(), path.c_str()), 0);
                   }},
        FileChange{"AppendedTo",
                   [](const std::string& path, const Bytes&) { std::ofstream(path, std::ios::app) << "more"; }},
        FileChange{"ReplacedByAFolder",
                   [](const std::string& path, const Bytes&) {
                       ASSERT_EQ(unlink(path.c_str()), 0);
                       ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
                   }}),
    [](const ::testing::TestParamInfo<FileChange>& info) { return std::string(info.param.name); });

TEST_F(PictureFileTest, LargeBmpFromAFileIsReadAgainWhenDrawn)
{
    // 300 x 300 at 24 bits: 270,000 bytes of pixels, more than a picture from a file keeps.
    constexpr int kSide = 300;
    Bytes rows;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x)
            rows.insert(rows.end(), {std::uint8_t(y < kSide / 2 ? 255 : 0), 0, std::uint8_t(y < kSide / 2 ? 0 : 255)});
    }
    writeFile(folder_ + "/big.bmp", bmpFile(kSide, kSide, 24, {}, rows));
    LoadedPicture picture(runtime::loadPictureFile("C:\\big.bmp"));
    ASSERT_TRUE(picture);
    EXPECT_LT(runtime::pictureHeldBytes(picture.handle()), 1024u);
    // Rows are stored bottom-up: the first half of the file is the bottom (blue) half.
    const auto image = runtime::pictureForDrawing(picture.handle(), 30, 30);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, kSide);
    EXPECT_EQ(pixelAt(*image, 0, kSide - 1), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bgra{0, 0, 255, 255}));

    ASSERT_EQ(truncate((folder_ + "/big.bmp").c_str(), 1000), 0);
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 31, 31));
}

TEST(HeldPicture, JpegFromDataKeepsItsBytesAfterTheCallerFreedThem)
{
    runtime::PictureHandle handle = 0;
    std::size_t size = 0;
    {
        const Bytes bytes = redOverBlue(64, 48);
        size = bytes.size();
        handle = runtime::loadPicture(bytes);
    }
    LoadedPicture picture(handle);
    ASSERT_TRUE(picture);
    EXPECT_GE(runtime::pictureHeldBytes(handle), size);
    EXPECT_LT(runtime::pictureHeldBytes(handle), size + 1024);
    const auto image = runtime::pictureForDrawing(handle, 16, 12);
    ASSERT_TRUE(image);
    EXPECT_TRUE(isRedOverBlue(*image));
}

TEST(HeldPicture, IndexedBmpFromDataKeepsItsFewerBytesAndDrawsTheSame)
{
    // 64 x 64 at 8 bits: 4 KB of rows against 12 KB of 24-bit pixels.
    Bytes palette;
    for (int index = 0; index < 256; ++index)
        palette.insert(palette.end(), {std::uint8_t(index), 0, std::uint8_t(255 - index), 0});
    Bytes rows;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            rows.push_back(static_cast<std::uint8_t>(x * 4));
    const Bytes file = bmpFile(64, 64, 8, palette, rows);
    LoadedPicture picture(file);
    ASSERT_TRUE(picture);
    EXPECT_LT(runtime::pictureHeldBytes(picture.handle()), file.size() + 1024);
    const auto image = runtime::pictureForDrawing(picture.handle());
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelAt(*image, 10, 5), (Bgra{40, 0, 215, 255}));
    // The full record is still there when asked for.
    EXPECT_EQ(picture.record().data.size(), 64u * 64 * 3);
}

TEST(HeldPicture, FailedDecodeIsRememberedNotRepeated)
{
    const Bytes broken = jpegFailingInItsSecondScan();
    ASSERT_FALSE(broken.empty());
    LoadedPicture picture(broken);
    // Loading reads the header only, so the picture loads.
    ASSERT_TRUE(picture);
    const std::uint64_t before = runtime::jpegDecodeCount();
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 8, 6));
    EXPECT_EQ(runtime::jpegDecodeCount(), before + 1);
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 8, 6));
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle(), 64, 48));
    EXPECT_FALSE(runtime::pictureForDrawing(picture.handle()));
    EXPECT_EQ(runtime::decodedPicture(picture.handle()), nullptr);
    EXPECT_EQ(runtime::jpegDecodeCount(), before + 1);
}

// A part of a JPEG drawn into a rectangle is decoded at the scale that covers the whole picture
// at that stretch, so the part is never enlarged: the left half of a 64 × 64 photo drawn 8 wide
// needs the photo 16 wide, at 2/8 (16 × 16), where the rectangle alone would take 1/8 (8 × 8).
TEST(HeldPicture, APartIsDecodedForTheWholePicturesDrawnSize)
{
    LoadedPicture picture(redOverBlue(64, 64));
    ASSERT_TRUE(picture);
    platform::OffscreenSurface surface(8, 8, 0);
    platform::DeviceContext context(surface);
    const std::size_t before = runtime::recentDrawingBytes();
    runtime::drawDecodedPicture(picture.handle(), context, 0, 0, 8, 8, platform::PictureRasterMode::Copy,
                                runtime::PicturePart{0, 0, 32, 64});
    EXPECT_EQ(runtime::recentDrawingBytes() - before, 16u * 16 * 4);
}

TEST(HeldPicture, RedrawAtTheSameSizeTakesTheKeptPixels)
{
    LoadedPicture picture(redOverBlue(64, 48));
    ASSERT_TRUE(picture);
    const std::uint64_t before = runtime::jpegDecodeCount();
    ASSERT_TRUE(runtime::pictureForDrawing(picture.handle(), 8, 6));
    ASSERT_TRUE(runtime::pictureForDrawing(picture.handle(), 7, 5));  // the same 1/8 scale
    EXPECT_EQ(runtime::jpegDecodeCount(), before + 1);
    ASSERT_TRUE(runtime::pictureForDrawing(picture.handle(), 16, 12));
    EXPECT_EQ(runtime::jpegDecodeCount(), before + 2);
    // Unloading lets go of the kept pixels.
    const runtime::PictureHandle handle = picture.handle();
    EXPECT_GT(runtime::recentDrawingBytes(), 0u);
    runtime::unloadPicture(handle);
    EXPECT_FALSE(runtime::pictureForDrawing(handle, 16, 12));
}

TEST(HeldPicture, KeptPixelsStayWithinTheirBudgetOverManyPictures)
{
    const Bytes bytes = redOverBlue(640, 480);
    for (int i = 0; i < 40; ++i) {
        LoadedPicture picture(bytes);
        ASSERT_TRUE(picture);
        ASSERT_TRUE(runtime::pictureForDrawing(picture.handle(), 640, 480));
        EXPECT_LE(runtime::recentDrawingBytes(), runtime::kRecentDrawingBytes);
    }
}

}  // namespace
}  // namespace quillora::test
