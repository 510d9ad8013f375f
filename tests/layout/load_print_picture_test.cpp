// Loading pictures for a page: the reduction decision and zoom on the documented sizes, and real
// reductions through the progress window's scaling object.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "common/picture_calls.h"
#include "layout_test_support.h"
#include "pages/load_print_picture.h"
#include "pages/progress_window.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/picture/read_ahead.h"
#include "tests/picture/exif_test_files.h"

namespace quillora::app {
namespace {

using layout_test::plainBmp;
using layout_test::TempFolder;
using layout_test::writePicture;

// {file size, level, reduced?, zoom per mille when reduced}
class ReductionDecision : public ::testing::TestWithParam<std::tuple<std::int64_t, int, bool, int>> {};

TEST_P(ReductionDecision, RatioThresholdAndZoom)
{
    const auto [size, level, reduced, zoom] = GetParam();
    const float ratio = optimisationRatio(size, level);
    EXPECT_EQ(needsReduction(ratio), reduced) << "ratio " << ratio;
    if (reduced) {
        EXPECT_EQ(reductionZoom(ratio), zoom);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DocumentedSizes, ReductionDecision,
    ::testing::Values(std::tuple{60000, 1, false, 0},      // ratio 1.17
                      std::tuple{61439, 1, false, 0},      // just below 1.2
                      std::tuple{61440, 1, true, 912},     // 1.2 as a float lies a little above
                      std::tuple{2560000, 5, true, 316},   // ratio 10
                      std::tuple{409600, 2, true, 500},    // ratio 4
                      std::tuple{400000, 2, true, 505},    // ratio 3.90625
                      std::tuple{0, 1, false, 0},          // an empty file has ratio 0
                      std::tuple{5000000, 0, false, 0}));  // level 0 never reduces

TEST(ReductionDecision, OnlyExactBmpEndingsAreExempt)
{
    EXPECT_TRUE(exemptFromReduction("C:\\a\\PHOTO.BMP"));
    EXPECT_TRUE(exemptFromReduction("C:\\a\\photo.bmp"));
    EXPECT_FALSE(exemptFromReduction("C:\\a\\photo.Bmp"));
    EXPECT_FALSE(exemptFromReduction("C:\\a\\photo.jpg"));
    EXPECT_FALSE(exemptFromReduction("bmp"));
}

class PictureLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout_test::installProgramWindows();
        showProgressWindow();
        ASSERT_TRUE(progressWindowLoaded());
        ASSERT_NE(scalingObject(), 0);
    }
    void TearDown() override { layout_test::unloadProgramWindows(); }

    // Loads, reads the pixel size and releases.
    static std::pair<int, int> loadedSize(const std::string& path, int level)
    {
        const std::int32_t picture = LoadPrintPicture(path, level);
        if (picture == 0)
            return {0, 0};
        const std::pair<int, int> size{picturePixelWidth(picture), picturePixelHeight(picture)};
        unloadPicture(picture);
        return size;
    }

    TempFolder folder_;
};

// 160 × 128 pixels at 24 bits are 61 494 bytes: ratio 1.201 at level 1, zoom 912, and the box
// truncates 160 × 0.912 and 128 × 0.912 to 145 × 116.
TEST_F(PictureLoading, ABmpWithAnExactLowerCaseOrUpperCaseEndingIsLoadedUnchanged)
{
    const layout_test::Bytes bytes = plainBmp(160, 128, 0x2040C0);
    ASSERT_EQ(bytes.size(), 61494u);
    EXPECT_EQ(loadedSize(writePicture(folder_.path() / "PHOTO.BMP", bytes), 1), (std::pair{160, 128}));
    EXPECT_EQ(loadedSize(writePicture(folder_.path() / "other.bmp", bytes), 1), (std::pair{160, 128}));
}

TEST_F(PictureLoading, AnyOtherEndingIsRedrawnAtTheZoom)
{
    const layout_test::Bytes bytes = plainBmp(160, 128, 0x2040C0);
    const std::string path = writePicture(folder_.path() / "photo.Bmp", bytes);
    EXPECT_EQ(loadedSize(path, 1), (std::pair{145, 116}));
    // Level 0, and a level whose target the file does not exceed 1.2 times, load it as it is.
    EXPECT_EQ(loadedSize(path, 0), (std::pair{160, 128}));
    EXPECT_EQ(loadedSize(path, 2), (std::pair{160, 128}));
    // A level the settings window cannot give loads every picture as it is.
    EXPECT_EQ(loadedSize(path, 6), (std::pair{160, 128}));
}

TEST_F(PictureLoading, BothSidesShrinkByTheSameZoom)
{
    const std::string path = writePicture(folder_.path() / "red.Bmp", plainBmp(300, 100, 0xFF0000));
    const std::int32_t picture = LoadPrintPicture(path, 1);
    ASSERT_NE(picture, 0);
    // 90 054 bytes: ratio 1.7589, zoom 754: 226 × 75.
    EXPECT_EQ(picturePixelWidth(picture), 226);
    EXPECT_EQ(picturePixelHeight(picture), 75);
    unloadPicture(picture);
}

// The reduced copy is redrawn from the upright photo, and as a plain bitmap it carries no
// orientation of its own, so it is turned exactly once.
TEST_F(PictureLoading, TheReducedCopyOfATurnedPhotoStandsUprightAndIsTurnedOnce)
{
    // Stored 160 x 96 and turned a quarter clockwise; a comment makes the file large enough to be
    // reduced at level 1.
    const test::Bytes photo =
        test::withSegment(test::quadrantPhoto(160, 96, 6), 0xFE, test::Bytes(62000, 'x'));
    const std::string path = writePicture(folder_.path() / "portrait.jpg", photo);
    const float ratio = optimisationRatio(static_cast<std::int64_t>(photo.size()), 1);
    ASSERT_TRUE(needsReduction(ratio));
    const std::int32_t zoom = reductionZoom(ratio);

    const std::int32_t picture = LoadPrintPicture(path, 1);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(picturePixelWidth(picture), 96 * zoom / 1000);
    EXPECT_EQ(picturePixelHeight(picture), 160 * zoom / 1000);
    EXPECT_EQ(runtime::pictureKind(picture), runtime::PictureKind::Bmp);
    const auto image = runtime::pictureForDrawing(picture);
    unloadPicture(picture);
    ASSERT_TRUE(image);
    const auto quadrantAt = [&](int x, int y) {
        const std::uint8_t* bgra = image->pixels.data() + (static_cast<std::size_t>(y) * image->width + x) * 4;
        return test::quadrantOf(bgra[2], bgra[1], bgra[0]);
    };
    const auto& expected = test::kUprightCorners[6];
    EXPECT_EQ(quadrantAt(0, 0), expected[0]);
    EXPECT_EQ(quadrantAt(image->width - 1, 0), expected[1]);
    EXPECT_EQ(quadrantAt(0, image->height - 1), expected[2]);
    EXPECT_EQ(quadrantAt(image->width - 1, image->height - 1), expected[3]);
}

// Photos named ahead to be shrunk are decoded on another core for the zoom they are redrawn at;
// the reduced pictures are the ones made without naming them, and no photo is decoded twice.
TEST_F(PictureLoading, PhotosReadAheadForShrinkingGiveTheSameReducedPictures)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(writePicture(folder_.path() / ("photo" + std::to_string(i) + ".jpg"),
                                     test::withSegment(test::quadrantPhoto(320 + 16 * i, 240, 1 + 5 * (i % 2)), 0xFE,
                                                       test::Bytes(62000, 'x'))));
    const auto reducedPixels = [](const std::string& path) {
        const std::int32_t picture = LoadPrintPicture(path, 1);
        auto image = runtime::pictureForDrawing(picture);
        unloadPicture(picture);
        return image;
    };
    std::vector<runtime::BgraImage> expected;
    for (const std::string& path : paths) {
        auto image = reducedPixels(path);
        ASSERT_TRUE(image);
        expected.push_back(std::move(*image));
    }

    const std::uint64_t decodesBefore = runtime::jpegDecodeCount();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ReadNextPrintPicturesAhead(paths, i, 1);
        const auto image = reducedPixels(paths[i]);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, expected[i].width);
        EXPECT_EQ(image->pixels, expected[i].pixels);
    }
    EXPECT_EQ(runtime::jpegDecodeCount() - decodesBefore, paths.size());
    EXPECT_EQ(runtime::readAheadPending(), 0u);
}

TEST_F(PictureLoading, MissingEmptyAndUndecodableFilesGiveNoPicture)
{
    EXPECT_EQ(LoadPrintPicture(writePicture(folder_.path() / "gone.jpg", {}) + "x", 1), 0);
    EXPECT_EQ(LoadPrintPicture("", 1), 0);
    EXPECT_EQ(LoadPrintPicture(writePicture(folder_.path() / "empty.jpg", {}), 1), 0);
    // Large enough to be reduced, but not a picture.
    EXPECT_EQ(LoadPrintPicture(writePicture(folder_.path() / "noise.jpg", layout_test::Bytes(200000, 0x5A)), 1), 0);
    // A truncated picture file.
    layout_test::Bytes cut = plainBmp(300, 300, 0x00FF00);
    cut.resize(100000);
    EXPECT_EQ(LoadPrintPicture(writePicture(folder_.path() / "cut.jpg", cut), 1), 0);
}

}  // namespace
}  // namespace quillora::app
