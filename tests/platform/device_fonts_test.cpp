#include "platform/device_fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace quillora::platform {
namespace {

TEST(FontHeightRules, PointsBecomeDisplayPixels)
{
    EXPECT_EQ(displayFontHeight(9, 96), 12);
    EXPECT_EQ(displayFontHeight(10.5, 96), 14);
    EXPECT_EQ(displayFontHeight(8, 96), 11);  // 10.67 rounds up
    EXPECT_EQ(displayFontHeight(9, 120), 15);
}

struct HeightCase {
    ScaleMode mode;
    int panelHeight;
    int printerHeight;
};

class FontHeightByScaleMode : public ::testing::TestWithParam<HeightCase> {};

// A 9-point font is 12 display pixels at 96 dpi; the printer prints at 600 dpi.
TEST_P(FontHeightByScaleMode, NinePointFontOnPanelAndPrinter)
{
    const HeightCase& height = GetParam();
    EXPECT_EQ(panelFontHeight(12, height.mode, 96), height.panelHeight);
    EXPECT_EQ(panelFontHeight(-12, height.mode, 96), height.panelHeight);
    EXPECT_EQ(printerFontHeight(-12, height.mode, 96, 600), height.printerHeight);
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, FontHeightByScaleMode,
    ::testing::Values(HeightCase{ScaleMode::Pixel, 12, 75},
                      HeightCase{ScaleMode::TenthMillimetre, 31, 31},
                      HeightCase{ScaleMode::HundredthMillimetre, 317, 317},
                      HeightCase{ScaleMode::HundredthInch, 12, 12},
                      // The printer's factor for thousandths of an inch lies just below 1000 ÷ 72.
                      HeightCase{ScaleMode::ThousandthInch, 125, 124},
                      HeightCase{ScaleMode::Twip, 180, 180}));

QString resolvedFamily(const char* face)
{
    LogicalFont font;
    font.face = face;
    return QFontInfo(makeDeviceFont(font, 16)).family();
}

TEST(ChineseFaces, SongResolvesToAnInstalledSongFace)
{
    const QStringList families = QFontDatabase::families();
    if (!families.contains("AR PL UMing CN") && !families.contains("Noto Serif CJK SC"))
        GTEST_SKIP() << "no Song face installed";
    const QString family = resolvedFamily("宋体");
    EXPECT_TRUE(family == "AR PL UMing CN" || family == "Noto Serif CJK SC") << family.toStdString();
}

TEST(ChineseFaces, KaiResolvesToAnInstalledKaiFace)
{
    if (!QFontDatabase::families().contains("AR PL UKai CN"))
        GTEST_SKIP() << "no Kai face installed";
    EXPECT_EQ(resolvedFamily("楷体"), "AR PL UKai CN");
}

}  // namespace
}  // namespace quillora::platform
