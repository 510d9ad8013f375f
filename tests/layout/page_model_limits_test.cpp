// The page model at the ends of what a job can hold: the longest spacings the settings allow on the
// largest paper with the most cells, and values past every limit (a job that bypassed the check),
// all worked out without a signed overflow (the sanitizer build reports any) and giving either
// cells on the page or no room.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "pages/page_model.h"

namespace quillora::app {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(PageModelLimits, TheLongestSpacingsOnTheLargestPaperKeepTheCellsOnThePage)
{
    // 2000 mm of paper, no margins, 100 columns: 99 spacings of 201 tenths leave 101 tenths for
    // the cells, 1.01 each; the last column ends on the page's edge.
    const PageLayout layout =
        computePageLayout({20000, 20000, 0, 0, 0, 0, 100, 100, 201, 201, 0, 0}, exportRules());
    ASSERT_TRUE(layout.hasRoom());
    EXPECT_NEAR(layout.cellW, 1.01f, 1e-4);
    const PictureRect last = layout.pictureBox(99, 99);
    EXPECT_EQ(last.x, 19998);
    EXPECT_LE(last.x + last.width, 20000);
    EXPECT_LE(last.y + last.height, 20000);
    // One spacing more and the cells have no unit left.
    EXPECT_FALSE(computePageLayout({20000, 20000, 0, 0, 0, 0, 100, 100, 203, 203, 0, 0}, exportRules()).hasRoom());
}

TEST(PageModelLimits, ThreeColumnsWithTheWidestSpacingOnAFourPage)
{
    // The settings allow 948 tenths between 3 columns on A4 with margins 5 and 15 mm: cells of
    // (1900 - 1896) / 3 = 1.33 on the export canvas, 1 on the printer; the third column still on the paper.
    for (const PageRules& rules : {exportRules(), printerRules()}) {
        const PageLayout layout = computePageLayout({2100, 2970, 200, 180, 50, 150, 5, 3, 10, 948, 2, 0}, rules);
        ASSERT_TRUE(layout.hasRoom());
        const PictureRect third = layout.pictureBox(0, 2);
        EXPECT_LE((rules.originAtMargins ? 0 : 50) + third.x + third.width, 2100 - 150);
    }
}

TEST(PageModelLimits, SpacingsPastEveryLimitLeaveNoRoomInsteadOfOverflowing)
{
    // (columns - 1) × spacing: 2 × 2147483647 and 99 × 2147483647 pass 32 bits.
    for (const PageRules& rules : {previewRules(), exportRules(), printerRules()}) {
        const PageLayout wide = computePageLayout({2100, 2970, 200, 180, 50, 150, 5, 3, 10, kMax, 2, 40}, rules);
        EXPECT_FALSE(wide.hasRoom());
        EXPECT_LT(wide.cellW, 0.0f);
        const PageLayout tall = computePageLayout({2100, 2970, 200, 180, 50, 150, 100, 100, kMax, kMax, kMax, 40}, rules);
        EXPECT_FALSE(tall.hasRoom());
        // Spacings below zero that would overflow the other way: 99 × -2147483648 taken off the
        // room makes cells of about 2.1 × 10^9 units, not a wrapped negative size.
        const PageLayout negative = computePageLayout({2100, 2970, 0, 0, 0, 0, 100, 100, kMin, kMin, kMin, 40}, rules);
        const PictureRect box = negative.pictureBox(99, 99);
        EXPECT_GT(box.width, 2000000000);
        EXPECT_LT(box.x, 0);
    }
}

TEST(PageModelLimits, MarginsAndPaperAtTheThirtyTwoBitEnds)
{
    // page − left − right in 64 bits, kept in 32 bits at the nearest end.
    const PageLayout overflowing = computePageLayout({kMax, kMax, kMin, kMin, kMin, kMin, 1, 1, 0, 0, 0, 0}, exportRules());
    EXPECT_EQ(overflowing.availW, kMax);
    EXPECT_EQ(overflowing.availH, kMax);
    const PageLayout underflowing = computePageLayout({kMin, kMin, kMax, kMax, kMax, kMax, 1, 1, 0, 0, 0, 0}, exportRules());
    EXPECT_EQ(underflowing.availW, kMin);
    EXPECT_FALSE(underflowing.hasRoom());
    std::int32_t x = 0;
    std::int32_t y = 0;
    overflowing.captionPosition(0, 0, kMax, x, y);
    underflowing.captionPosition(0, 0, kMin, x, y);
}

TEST(PageModelLimits, PicturesOfTheLargestSizesInTheLargestBoxes)
{
    // Natural sizes far larger than the box, centred: the offsets are worked out in floating point.
    for (std::int32_t mode = 0; mode <= 4; ++mode) {
        EXPECT_TRUE(fitPictureInBox({kMin, kMin, kMax, kMax}, kMax, kMax, 0.0f, mode).has_value());
        (void)fitPictureInBox({kMax, kMax, 1, 1}, kMax, 1, 0.0f, mode);
        (void)fitPictureInBox({0, 0, kMax, 1}, 1, kMax, 1e30f, mode);
    }
    const auto centred = fitPictureInBox({0, 0, 10, 10}, kMax, kMax, 0.0f, kPhotoNaturalCentred);
    ASSERT_TRUE(centred.has_value());
    EXPECT_EQ(centred->x, truncated((10.0 - kMax) / 2.0));
}

TEST(PageModelLimits, SaturationKeepsThirtyTwoBits)
{
    EXPECT_EQ(saturated(std::int64_t{kMax} + 1), kMax);
    EXPECT_EQ(saturated(std::int64_t{kMin} - 1), kMin);
    EXPECT_EQ(saturated(-5), -5);
}

}  // namespace
}  // namespace quillora::app
