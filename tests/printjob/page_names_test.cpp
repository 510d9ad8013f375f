#include "printjob/page_names.h"

#include <gtest/gtest.h>

namespace quillora::app {
namespace {

TEST(PageNamesTest, DateAndTimeHaveNoLeadingZeros)
{
    EXPECT_EQ(pageBaseName("D:\\album", {2010, 4, 6, 9, 5, 3}, 3), "D:\\album\\20100406_90503_3");
    EXPECT_EQ(pageBaseName("D:\\album", {2010, 4, 6, 0, 0, 7}, 1) + std::string(pageExtensionOf(5)),
              "D:\\album\\20100406_7_1.png");
    EXPECT_EQ(pageBaseName("D:\\album", {2026, 12, 31, 23, 59, 59}, 12), "D:\\album\\20261231_235959_12");
}

TEST(PageNamesTest, ADriveRootGetsASingleBackslash)
{
    EXPECT_EQ(pageBaseName("D:\\", {2010, 4, 6, 9, 5, 3}, 1), "D:\\20100406_90503_1");
}

TEST(PageNamesTest, ExtensionsByFormatCode)
{
    EXPECT_EQ(pageExtensionOf(1), ".bmp");
    EXPECT_EQ(pageExtensionOf(2), ".jpg");
    EXPECT_EQ(pageExtensionOf(3), ".gif");
    EXPECT_EQ(pageExtensionOf(4), ".tiff");
    EXPECT_EQ(pageExtensionOf(5), ".png");
    EXPECT_EQ(pageExtensionOf(0), ".jpg");
    EXPECT_EQ(pageExtensionOf(9), ".jpg");
}

TEST(PageNamesTest, LaterAttemptsKeepThePatternAndAddASuffix)
{
    EXPECT_EQ(pageFileName("D:\\a\\20100406_90503_1", ".png", 1), "D:\\a\\20100406_90503_1.png");
    EXPECT_EQ(pageFileName("D:\\a\\20100406_90503_1", ".png", 2), "D:\\a\\20100406_90503_1-2.png");
    EXPECT_EQ(pageFileName("D:\\a\\20100406_90503_1", ".png", 13), "D:\\a\\20100406_90503_1-13.png");
}

}  // namespace
}  // namespace quillora::app
