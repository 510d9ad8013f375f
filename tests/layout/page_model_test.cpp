// The page model's arithmetic on exact numbers: derived values of a page, the caption gap rule,
// the five photo modes, captions and page counts.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "pages/page_model.h"

namespace quillora::app {
namespace {

// The default settings in the preview's whole millimetres: A4 portrait, margins 20/18/5/15,
// 5 × 5, spacings of 10 tenths (1 mm), a caption gap of 2 tenths (0 mm).
PageInput defaultPreviewPage(std::int32_t textH)
{
    return {210, 297, 20, 18, 5, 15, 5, 5, 10 / 10, 10 / 10, 2 / 10, textH};
}

TEST(PageLayout, DefaultSettingsOnThePreviewCanvas)
{
    const PageLayout layout = computePageLayout(defaultPreviewPage(3), previewRules());
    EXPECT_EQ(layout.availW, 190);
    EXPECT_EQ(layout.availH, 259);
    EXPECT_FLOAT_EQ(layout.cellW, 37.2f);
    EXPECT_FLOAT_EQ(layout.cellH, 51.0f);
    EXPECT_EQ(layout.gap, 0);
    EXPECT_EQ(layout.originX, 5);
    EXPECT_EQ(layout.originY, 20);
    // Cell (1, 2): x = 5 + 2 × 38.2, y = 20 + 1 × 52, height 51 - the caption line.
    EXPECT_EQ(layout.pictureBox(1, 2), (PictureRect{81, 72, 37, 48}));
    EXPECT_EQ(layout.pictureBox(0, 0), (PictureRect{5, 20, 37, 48}));
}

TEST(PageLayout, ThePrinterKeepsWholeCellsFromTheMarginBox)
{
    // The same page in 0.1 mm: (1900 - 40) / 5 = 372, (2590 - 40) / 5 = 510.
    const PageLayout layout =
        computePageLayout({2100, 2970, 200, 180, 50, 150, 5, 5, 10, 10, 2, 40}, printerRules());
    EXPECT_FLOAT_EQ(layout.cellW, 372.0f);
    EXPECT_FLOAT_EQ(layout.cellH, 510.0f);
    EXPECT_EQ(layout.gap, 2);
    EXPECT_EQ(layout.pictureBox(0, 0), (PictureRect{0, 0, 372, 470}));
    EXPECT_EQ(layout.pictureBox(2, 1), (PictureRect{382, 1040, 372, 470}));

    // Three columns of an uneven width are cut to whole units: (1900 - 20) / 3 = 626.67.
    const PageLayout uneven =
        computePageLayout({2100, 2970, 200, 180, 50, 150, 5, 3, 10, 10, 0, 40}, printerRules());
    EXPECT_FLOAT_EQ(uneven.cellW, 626.0f);
    // The export canvas keeps the fraction and counts from the margins.
    const PageLayout exported =
        computePageLayout({2100, 2970, 200, 180, 50, 150, 5, 3, 10, 10, 0, 40}, exportRules());
    EXPECT_NEAR(exported.cellW, 626.6667f, 1e-3);
    EXPECT_EQ(exported.pictureBox(0, 1).x, 50 + 636);
}

TEST(PageLayout, APageWithoutCellsHasNoRoom)
{
    EXPECT_FALSE(computePageLayout({2100, 2970, 0, 0, 0, 0, 0, 5, 0, 0, 0, 40}, printerRules()).hasRoom());
    EXPECT_FALSE(computePageLayout({2100, 2970, 0, 0, 0, 0, 5, 0, 0, 0, 0, 40}, printerRules()).hasRoom());
    // Margins wider than the paper.
    EXPECT_FALSE(computePageLayout({2100, 2970, 0, 0, 1500, 1500, 5, 5, 0, 0, 0, 40}, printerRules()).hasRoom());
    EXPECT_TRUE(computePageLayout({2100, 2970, 0, 0, 0, 0, 1, 1, 0, 0, 0, 40}, printerRules()).hasRoom());
    // Cells below one unit: 297 rows fit a 297 mm page, 298 do not.
    EXPECT_TRUE(computePageLayout({210, 297, 0, 0, 0, 0, 297, 210, 0, 0, 0, 3}, previewRules()).hasRoom());
    EXPECT_FALSE(computePageLayout({210, 297, 0, 0, 0, 0, 298, 5, 0, 0, 0, 3}, previewRules()).hasRoom());
    EXPECT_FALSE(computePageLayout({210, 297, 0, 0, 0, 0, 100000, 100000, 0, 0, 0, 3}, previewRules()).hasRoom());
}

class CaptionGapRule : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(CaptionGapRule, TheGapIsUsedOnlyBelowHalfTheLine)
{
    const auto [gap, textH, used] = GetParam();
    EXPECT_EQ(captionGapRule(gap, textH), used);
}

INSTANTIATE_TEST_SUITE_P(FourMillimetreLine, CaptionGapRule,
                         ::testing::Values(std::tuple{0, 4, 0}, std::tuple{1, 4, 1}, std::tuple{2, 4, 0},
                                           std::tuple{3, 4, 0}, std::tuple{1, 3, 1}, std::tuple{2, 3, 0},
                                           std::tuple{1, 0, 0}, std::tuple{20, 41, 20}));

// One box, one picture, one mode, the rectangle drawn.
struct FitCase {
    const char* name;
    PictureRect box;
    int picW;
    int picH;
    float ratio;
    int mode;
    PictureRect drawn;
};

class PhotoModes : public ::testing::TestWithParam<FitCase> {};

TEST_P(PhotoModes, DrawTheExactRectangle)
{
    const FitCase& c = GetParam();
    const auto drawn = fitPictureInBox(c.box, c.picW, c.picH, c.ratio, c.mode);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(*drawn, c.drawn);
}

// A wide box (120 × 60) and a tall box (60 × 120) at (10, 20); a wide picture of 300 × 100 and a
// tall one of 40 × 160 in natural size.
constexpr PictureRect kWideBox{10, 20, 120, 60};
constexpr PictureRect kTallBox{10, 20, 60, 120};

INSTANTIATE_TEST_SUITE_P(
    WideAndTall, PhotoModes,
    ::testing::Values(
        FitCase{"WidePictureWideBoxFitCentred", kWideBox, 300, 100, 0, 0, {10, 30, 120, 40}},
        FitCase{"WidePictureWideBoxFill", kWideBox, 300, 100, 0, 1, {10, 20, 120, 60}},
        FitCase{"WidePictureWideBoxNaturalCentred", kWideBox, 300, 100, 0, 2, {-80, 0, 300, 100}},
        FitCase{"WidePictureWideBoxFitTopLeft", kWideBox, 300, 100, 0, 3, {10, 20, 120, 40}},
        FitCase{"WidePictureWideBoxNaturalTopLeft", kWideBox, 300, 100, 0, 4, {10, 20, 300, 100}},
        FitCase{"WidePictureTallBoxFitCentred", kTallBox, 300, 100, 0, 0, {10, 70, 60, 20}},
        FitCase{"WidePictureTallBoxFill", kTallBox, 300, 100, 0, 1, {10, 20, 60, 120}},
        FitCase{"WidePictureTallBoxNaturalCentred", kTallBox, 300, 100, 0, 2, {-110, 30, 300, 100}},
        FitCase{"WidePictureTallBoxFitTopLeft", kTallBox, 300, 100, 0, 3, {10, 20, 60, 20}},
        FitCase{"WidePictureTallBoxNaturalTopLeft", kTallBox, 300, 100, 0, 4, {10, 20, 300, 100}},
        FitCase{"TallPictureWideBoxFitCentred", kWideBox, 40, 160, 0, 0, {62, 20, 15, 60}},
        FitCase{"TallPictureWideBoxFill", kWideBox, 40, 160, 0, 1, {10, 20, 120, 60}},
        FitCase{"TallPictureWideBoxNaturalCentred", kWideBox, 40, 160, 0, 2, {50, -30, 40, 160}},
        FitCase{"TallPictureWideBoxFitTopLeft", kWideBox, 40, 160, 0, 3, {10, 20, 15, 60}},
        FitCase{"TallPictureWideBoxNaturalTopLeft", kWideBox, 40, 160, 0, 4, {10, 20, 40, 160}},
        FitCase{"TallPictureTallBoxFitCentred", kTallBox, 40, 160, 0, 0, {25, 20, 30, 120}},
        FitCase{"TallPictureTallBoxFill", kTallBox, 40, 160, 0, 1, {10, 20, 60, 120}},
        FitCase{"TallPictureTallBoxNaturalCentred", kTallBox, 40, 160, 0, 2, {20, 0, 40, 160}},
        FitCase{"TallPictureTallBoxFitTopLeft", kTallBox, 40, 160, 0, 3, {10, 20, 30, 120}},
        FitCase{"TallPictureTallBoxNaturalTopLeft", kTallBox, 40, 160, 0, 4, {10, 20, 40, 160}},
        // Mode 5 draws into the whole box, from a cropped part of the picture (CropFill below).
        FitCase{"WidePictureTallBoxCropFill", kTallBox, 300, 100, 0, 5, {10, 20, 60, 120}},
        FitCase{"TallPictureWideBoxCropFill", kWideBox, 40, 160, 0, 5, {10, 20, 120, 60}},
        // Out-of-range modes draw as mode 0.
        FitCase{"ModeSixIsModeZero", kWideBox, 300, 100, 0, 6, {10, 30, 120, 40}},
        FitCase{"ModeSevenIsModeZero", kWideBox, 300, 100, 0, 7, {10, 30, 120, 40}},
        FitCase{"NegativeModeIsModeZero", kTallBox, 40, 160, 0, -1, {25, 20, 30, 120}},
        // A given ratio wins over the picture's own; a tiny one does not.
        FitCase{"GivenRatioSquare", kWideBox, 300, 100, 1.0f, 0, {40, 20, 60, 60}},
        FitCase{"TinyRatioIsThePictures", kWideBox, 300, 100, 0.0005f, 3, {10, 20, 120, 40}},
        // Centring truncates toward zero: 0 + (10 - 15) / 2 = -2.5 gives -2, not -3.
        FitCase{"NegativeCentringTruncatesTowardZero", {0, 0, 10, 10}, 15, 15, 0, 2, {-2, -2, 15, 15}},
        // An odd room: 10 + (120 - 45) / 2 = 47.5 gives 47.
        FitCase{"OddRoomTruncates", kWideBox, 45, 60, 0, 0, {47, 20, 45, 60}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

// Mode 5: the picture scaled by the larger of the two box ÷ picture ratios, centred, and only the
// part inside the box drawn. A picture of `pixelW` × `pixelH` pixels; the part of it that shows.
struct CropCase {
    const char* name;
    PictureRect box;
    float ratio;
    int pixelW;
    int pixelH;
    PictureRect source;
};

class CropFill : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropFill, ShowsTheCentredPartThatFillsTheBox)
{
    const CropCase& c = GetParam();
    const auto source = cropSourceForBox(c.box, c.ratio, c.pixelW, c.pixelH);
    ASSERT_TRUE(source);
    EXPECT_EQ(*source, c.source);
    // The part lies inside the picture and has the box's proportions (to a pixel).
    EXPECT_GE(source->x, 0);
    EXPECT_GE(source->y, 0);
    EXPECT_LE(source->x + source->width, c.pixelW);
    EXPECT_LE(source->y + source->height, c.pixelH);
}

INSTANTIATE_TEST_SUITE_P(
    WideAndTall, CropFill,
    ::testing::Values(
        // A 600 × 200 picture (ratio 3) in the 120 × 60 box: scaled by 60 ÷ 200 to 180 × 60, the
        // middle 120 of 180 shows, i.e. 400 of the 600 pixels from 100.
        CropCase{"WidePictureWideBox", kWideBox, 3.0f, 600, 200, {100, 0, 400, 200}},
        // In the 60 × 120 box: scaled by 120 ÷ 200 to 360 × 120; 60 of 360 show: 100 pixels from 250.
        CropCase{"WidePictureTallBox", kTallBox, 3.0f, 600, 200, {250, 0, 100, 200}},
        // A 40 × 160 picture (ratio 0.25) in the wide box: scaled by 120 ÷ 40 to 120 × 480; 60 of
        // 480 show: 20 rows of 160 from 70.
        CropCase{"TallPictureWideBox", kWideBox, 0.25f, 40, 160, {0, 70, 40, 20}},
        // In the tall box: scaled by 60 ÷ 40 to 60 × 240; 120 of 240 show: 80 rows from 40.
        CropCase{"TallPictureTallBox", kTallBox, 0.25f, 40, 160, {0, 40, 40, 80}},
        // A picture of the box's own shape is drawn whole.
        CropCase{"SameShapeWhole", kWideBox, 2.0f, 300, 150, {0, 0, 300, 150}},
        // A given ratio is how the picture is shown: a square-shown 300 × 100 picture in the wide
        // box keeps half its height, whatever its pixels' shape.
        CropCase{"GivenRatio", kWideBox, 1.0f, 300, 100, {0, 25, 300, 50}},
        // A sliver never crops to nothing: one pixel is the least that shows.
        CropCase{"SliverKeepsOnePixel", kTallBox, 1000.0f, 3, 1, {1, 0, 1, 1}}),
    [](const ::testing::TestParamInfo<CropCase>& info) { return std::string(info.param.name); });

TEST(CropFill, NothingWithoutAreaOrRatio)
{
    EXPECT_FALSE(cropSourceForBox({0, 0, 0, 10}, 1.0f, 10, 10));
    EXPECT_FALSE(cropSourceForBox(kWideBox, 1.0f, 0, 10));
    EXPECT_FALSE(cropSourceForBox(kWideBox, 0.0f, 10, 10));
    EXPECT_FALSE(cropSourceForBox(kWideBox, std::numeric_limits<float>::quiet_NaN(), 10, 10));
}

TEST(PhotoModes, NothingIsDrawnInABoxWithoutArea)
{
    EXPECT_FALSE(fitPictureInBox({0, 0, 0, 50}, 100, 100, 0, 0));
    EXPECT_FALSE(fitPictureInBox({0, 0, 50, -3}, 100, 100, 0, 0));
    // A picture without size and without a given ratio has nothing to fit.
    EXPECT_FALSE(fitPictureInBox({0, 0, 50, 50}, 0, 0, 0, 1));
}

class NaturalSize : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(NaturalSize, PixelsAtElevenPointEightPerMillimetre)
{
    const auto [pixels, previewMm, exportTenths] = GetParam();
    EXPECT_EQ(naturalLength(pixels, previewRules()), previewMm);
    EXPECT_EQ(naturalLength(pixels, exportRules()), exportTenths);
}

// 1180 × 590 pixels are 100 × 50 mm, on the export canvas 1000 × 500 tenths. 177 pixels are
// exactly 15 mm (a plain floating-point division by 11.8 would give 14.999...).
INSTANTIATE_TEST_SUITE_P(Pictures, NaturalSize,
                         ::testing::Values(std::tuple{1180, 100, 1000}, std::tuple{590, 50, 500},
                                           std::tuple{177, 15, 150}, std::tuple{11, 0, 9}, std::tuple{0, 0, 0},
                                           std::tuple{100000, 8474, 84745}));

TEST(Captions, CentredUnderTheCellOrFromItsLeftEdgeWhenWider)
{
    const PageLayout layout = computePageLayout(defaultPreviewPage(3), previewRules());
    std::int32_t x = 0;
    std::int32_t y = 0;
    // Cell (0, 1) starts at 5 + 38.2 = 43.2; a caption 10 wide: 43.2 + 13.6 = 56.8 → 56.
    layout.captionPosition(0, 1, 10, x, y);
    EXPECT_EQ(x, 56);
    // y = 20 + 1 × 52 - 1 - 3 + 0 = 68: the bottom line of the cell.
    EXPECT_EQ(y, 68);
    // Wider than the cell (or exactly as wide): from the cell's left edge.
    layout.captionPosition(0, 1, 60, x, y);
    EXPECT_EQ(x, 43);
    layout.captionPosition(2, 0, 38, x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 20 + 3 * 52 - 1 - 3);
}

TEST(Captions, TheGapMovesTheCaptionDown)
{
    PageInput input = defaultPreviewPage(4);
    input.captionGap = 1;
    const PageLayout layout = computePageLayout(input, previewRules());
    EXPECT_EQ(layout.gap, 1);
    std::int32_t x = 0;
    std::int32_t y = 0;
    layout.captionPosition(0, 0, 10, x, y);
    EXPECT_EQ(y, 20 + 52 - 1 - 4 + 1);
    // The picture box does not shrink by the gap, only by the line.
    EXPECT_EQ(layout.pictureBox(0, 0).height, 47);
}

class PageCount : public ::testing::TestWithParam<std::tuple<int, std::int64_t, int>> {};

TEST_P(PageCount, WholePagesForThePictures)
{
    const auto [pictures, perPage, pages] = GetParam();
    EXPECT_EQ(pagesNeeded(pictures, perPage), pages);
}

INSTANTIATE_TEST_SUITE_P(Grids, PageCount,
                         ::testing::Values(std::tuple{10, 9ll, 2}, std::tuple{9, 9ll, 1}, std::tuple{8, 4ll, 2},
                                           std::tuple{25, 6ll, 5}, std::tuple{1, 25ll, 1}, std::tuple{0, 9ll, 0},
                                           std::tuple{5, 0ll, 0}, std::tuple{3, 10000000000ll, 1}));

TEST(Truncation, TowardZeroAndSafeAtTheEnds)
{
    EXPECT_EQ(truncated(2.9), 2);
    EXPECT_EQ(truncated(-2.9), -2);
    EXPECT_EQ(truncated(1e300), 2147483647);
    EXPECT_EQ(truncated(-1e300), -2147483647 - 1);
    EXPECT_EQ(truncated(0.0 / 0.0 * 0 + __builtin_nan("")), 0);
}

}  // namespace
}  // namespace quillora::app
