// Files named ahead give exactly what loading and drawing them on the drawing thread gives, and
// a file that changes after it was read ahead is not drawn from what was read.
#include <filesystem>
#include <string>
#include <thread>
#include <vector>


#include "jpeg_test_files.h"
#include "picture_test_support.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/read_ahead.h"

namespace quillora::test {
namespace {

namespace fs = std::filesystem;

class ReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 4; ++i)
            writeFile(linuxName(i), redOverBlue(640 + 16 * i, 480));
    }
    void TearDown() override
    {
        // Whatever a test left named is taken, so the next test starts with an empty queue.
        for (int i = 0; i < 4; ++i)
            runtime::takeReadAhead(linuxName(i));
    }

    std::string linuxName(int i) const { return folder_ + "/photo" + std::to_string(i) + ".jpg"; }
    static std::string windowsName(int i) { return "C:\\photo" + std::to_string(i) + ".jpg"; }

    DriveFolder drive_{"quillora-ahead"};
    const std::string folder_ = drive_.path();
};

TEST_F(ReadAheadTest, ReadingAFileAheadGivesTheHeaderAndThePixelsOfDrawingItAtThatSize)
{
    const auto ahead = runtime::readPictureFileAhead(linuxName(1), 100, 60);
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->width, 656u);
    EXPECT_EQ(ahead->height, 480u);
    // 1/8 gives 82 x 60, which covers 100 x 60 in height only; 2/8 covers both.
    EXPECT_EQ(ahead->eighths, runtime::jpegScaleFor(656, 480, 100, 60));
    ASSERT_TRUE(ahead->image);

    const Bytes file = redOverBlue(656, 480);
    const auto direct = runtime::decodeJpeg(file, ahead->eighths, runtime::JpegLayout::BgraTopDown);
    ASSERT_TRUE(direct);
    EXPECT_EQ(static_cast<std::uint32_t>(ahead->image->width), direct->width);
    EXPECT_EQ(ahead->image->pixels, direct->pixels);

    // Without a drawing size only the header is read; a file that is not a JPEG gives nothing.
    const auto headerOnly = runtime::readPictureFileAhead(linuxName(1), 0, 0);
    ASSERT_TRUE(headerOnly);
    EXPECT_FALSE(headerOnly->image);
    writeFile(folder_ + "/note.jpg", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(runtime::readPictureFileAhead(folder_ + "/note.jpg", 100, 60));
    EXPECT_FALSE(runtime::readPictureFileAhead(folder_ + "/missing.jpg", 100, 60));
}

TEST_F(ReadAheadTest, PicturesNamedAheadLoadAndDrawAsIfReadNow)
{
    // The same pictures drawn without and with naming them ahead.
    std::vector<runtime::BgraImage> expected;
    for (int i = 0; i < 4; ++i) {
        const LoadedPicture picture(runtime::loadPictureFile(windowsName(i)));
        auto image = runtime::pictureForDrawing(picture.handle(), 80, 60);
        ASSERT_TRUE(image);
        expected.push_back(std::move(*image));
    }
    for (int i = 0; i < 4; ++i)
        runtime::readPictureFileAheadNamed(windowsName(i));
    for (int i = 0; i < 4; ++i) {
        const LoadedPicture picture(runtime::loadPictureFile(windowsName(i)));
        ASSERT_NE(picture.handle(), 0);
        EXPECT_EQ(runtime::pictureWidth(picture.handle()), 640 + 16 * i);
        const auto image = runtime::pictureForDrawing(picture.handle(), 80, 60);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, expected[static_cast<std::size_t>(i)].width);
        EXPECT_EQ(image->pixels, expected[static_cast<std::size_t>(i)].pixels);
    }
    EXPECT_EQ(runtime::readAheadPending(), 0u);
}

TEST_F(ReadAheadTest, AFileChangedAfterItWasReadAheadIsReadAgainOrDrawsNothing)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "a single core reads nothing ahead";
    runtime::noteJpegDrawingSize(80, 60);
    runtime::readPictureFileAheadNamed(windowsName(0));
    runtime::readPictureFileAheadNamed(windowsName(1));
    // Taking the second passes the first by; it is dropped.
    const auto second = runtime::takeReadAhead(linuxName(1));
    ASSERT_TRUE(second);
    EXPECT_EQ(runtime::readAheadPending(), 0u);

    // Replaced after being read ahead: loading finds the new file, not the one read.
    runtime::readPictureFileAheadNamed(windowsName(2));
    fs::remove(linuxName(2));
    writeFile(linuxName(2), redOverBlue(320, 200));
    const LoadedPicture replaced(runtime::loadPictureFile(windowsName(2)));
    EXPECT_EQ(runtime::pictureWidth(replaced.handle()), 320);

    // Deleted after being read ahead: nothing loads.
    runtime::readPictureFileAheadNamed(windowsName(3));
    fs::remove(linuxName(3));
    EXPECT_EQ(runtime::loadPictureFile(windowsName(3)), 0);
}

// A file named to be given as data is decoded for its zoom; its bytes, when they are given, draw
// from what was decoded ahead, and other bytes of the same length draw as themselves.
TEST_F(ReadAheadTest, AFileNamedAsDataIsTakenByItsBytesOnly)
{
    // 656 x 480 at 150 per mille is drawn 98 x 72: decoded at 2/8 (164 x 120).
    const auto ahead = runtime::readPictureDataAhead(linuxName(1), 150);
    ASSERT_TRUE(ahead);
    ASSERT_TRUE(ahead->image);
    EXPECT_EQ(ahead->eighths, 2u);
    EXPECT_EQ(ahead->content, redOverBlue(656, 480));
    EXPECT_FALSE(runtime::readPictureDataAhead(linuxName(1), 0));

    const Bytes file = redOverBlue(656, 480);
    const auto drawnAt150 = [](const Bytes& bytes) {
        const LoadedPicture picture(runtime::loadPicture(bytes));
        return runtime::pictureForDrawing(picture.handle(), 98, 72);
    };
    const auto expected = drawnAt150(file);
    ASSERT_TRUE(expected);
    // The same length, one byte of the scan changed: another picture, which must not be drawn
    // with the named file's pixels.
    Bytes other = file;
    other[other.size() - 40] ^= 0x5A;
    const auto otherExpected = drawnAt150(other);
    ASSERT_TRUE(otherExpected);
    ASSERT_NE(otherExpected->pixels, expected->pixels);

    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "a single core reads nothing ahead";
    runtime::readPictureFileAheadNamed(windowsName(1), 150);
    const std::uint64_t decodesBefore = runtime::jpegDecodeCount();
    const auto drawn = drawnAt150(file);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->pixels, expected->pixels);
    // Decoded once, ahead, and not again when drawn.
    EXPECT_EQ(runtime::jpegDecodeCount() - decodesBefore, 1u);
    EXPECT_EQ(runtime::readAheadPending(), 0u);

    runtime::readPictureFileAheadNamed(windowsName(1), 150);
    const auto drawnOther = drawnAt150(other);
    ASSERT_TRUE(drawnOther);
    EXPECT_EQ(drawnOther->pixels, otherExpected->pixels);
    EXPECT_EQ(runtime::readAheadPending(), 0u);

    // Named as data, the file is not handed to a load by its name.
    runtime::readPictureFileAheadNamed(windowsName(2), 150);
    EXPECT_FALSE(runtime::takeReadAhead(linuxName(2)));
    const auto taken = runtime::takeReadAheadOfData(redOverBlue(672, 480));
    ASSERT_TRUE(taken);
    EXPECT_TRUE(taken->image);
    EXPECT_TRUE(taken->content.empty());
}

}  // namespace
}  // namespace quillora::test
