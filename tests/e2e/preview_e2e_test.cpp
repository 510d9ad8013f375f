// The live preview of the settings window, driven as a user drives it: search a folder of
// photos, open "预览与设置", edit the page and watch 画板_预览.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>

namespace quillora::e2e {
namespace {

// 画板_预览 lies at (331, 7), 240 × 340, in the window; an A4 page of 210 × 297 pixels is shown
// centred in it.
constexpr int kPageLeft = 331 + (240 - 210) / 2;
constexpr int kPageTop = 7 + (340 - 297) / 2;

// True when some pixel of the page rectangle (page pixels, i.e. millimetres) is neither white
// nor close to it.
bool inkOnPage(const QImage& shot, int left, int top, int width, int height)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            const QRgb pixel = shot.pixel(kPageLeft + x, kPageTop + y);
            if (qRed(pixel) < 200 || qGreen(pixel) < 200 || qBlue(pixel) < 200)
                return true;
        }
    return false;
}

class PreviewTest : public testing::Test {
protected:
    TestMachine machine;

    void SetUp() override
    {
        machine.addDrive('D', "fixed", "Data");
        // Nine strong colours, so every cell of a 3 × 3 page is plainly not white.
        const unsigned char colours[9][3] = {{200, 0, 0},   {0, 150, 0},   {0, 0, 200},  {150, 150, 0}, {150, 0, 150},
                                             {0, 150, 150}, {100, 50, 0},  {0, 50, 100}, {60, 60, 60}};
        for (int i = 0; i < 9; ++i)
            machine.writeFile(machine.drive('D') / "Photos" / ("p" + std::to_string(i) + ".bmp"),
                              tinyBmp(120, 90, colours[i][0], colours[i][1], colours[i][2]));
    }

    std::string shot(const std::string& name) const { return (machine.root() / name).string(); }

    // Searches D:\Photos and opens the settings window with a 3 × 3 page.
    // The settings window opened on the found photos; `untickFirst` turns the live preview off
    // before anything is typed, since leaving a count box already redraws the preview.
    static std::string openSettings(bool untickFirst = false)
    {
        return std::string("tree MainWindow.树型框_文件夹 Data(D:)\n"
                           "tree MainWindow.树型框_文件夹 Data(D:)/Photos\n"
                           "click MainWindow.按钮_文件夹搜索\n"
                           "wait-idle\n"
                           "click MainWindow.按钮_打印预览\n"
                           "wait-loaded PrintSettingsWindow\n")
               + (untickFirst ? "check PrintSettingsWindow.选择框_实时预览 off\n" : "")
               + "type PrintSettingsWindow.编辑框_行数 3\n"
                 "type PrintSettingsWindow.编辑框_列数 3\n";
    }
};

TEST_F(PreviewTest, EditingAMarginRedrawsThePreview)
{
    const RunResult run = machine.run(openSettings() +
                                      "type PrintSettingsWindow.编辑框_右边距 15\n"
                                      "focus PrintSettingsWindow.编辑框_下边距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("narrow.png") + "\n"
                                      "type PrintSettingsWindow.编辑框_右边距 90\n"
                                      "focus PrintSettingsWindow.编辑框_下边距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("wide.png") + "\n"
                                      "close PrintSettingsWindow\n"
                                      "wait-closed ProgressWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage narrow(QString::fromStdString(shot("narrow.png")));
    const QImage wide(QString::fromStdString(shot("wide.png")));
    ASSERT_FALSE(narrow.isNull());
    ASSERT_FALSE(wide.isNull());
    // With a right margin of 15 mm the third column reaches x = 195; with 90 mm the pictures end
    // at 120 and the right of the page stays white.
    EXPECT_TRUE(inkOnPage(narrow, 140, 40, 40, 200));
    EXPECT_FALSE(inkOnPage(wide, 125, 25, 70, 260));
    // Both show pictures at the left.
    EXPECT_TRUE(inkOnPage(narrow, 10, 40, 30, 60));
    EXPECT_TRUE(inkOnPage(wide, 10, 40, 30, 60));
}

TEST_F(PreviewTest, WithoutLivePreviewNothingIsDrawn)
{
    const RunResult run = machine.run(openSettings(true) +
                                      "type PrintSettingsWindow.编辑框_右边距 15\n"
                                      "focus PrintSettingsWindow.编辑框_下边距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("off.png") + "\n"
                                      "close PrintSettingsWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage off(QString::fromStdString(shot("off.png")));
    ASSERT_FALSE(off.isNull());
    EXPECT_FALSE(inkOnPage(off, 10, 30, 180, 250));
}

TEST_F(PreviewTest, LandscapeShowsTheTurnedPage)
{
    // A wide left margin: on the portrait page the left 60 mm stay white; on the landscape page
    // that margin runs down the left of a 297 × 210 page, which turned clockwise lies along the
    // top of the picture in the panel.
    const RunResult run = machine.run(openSettings() +
                                      "type PrintSettingsWindow.编辑框_左边距 60\n"
                                      "type PrintSettingsWindow.编辑框_右边距 5\n"
                                      "focus PrintSettingsWindow.编辑框_下边距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("portrait.png") + "\n"
                                      "click PrintSettingsWindow.单选框_横向打印\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("landscape.png") + "\n"
                                      "close PrintSettingsWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage portrait(QString::fromStdString(shot("portrait.png")));
    const QImage landscape(QString::fromStdString(shot("landscape.png")));
    ASSERT_FALSE(portrait.isNull());
    ASSERT_FALSE(landscape.isNull());
    EXPECT_FALSE(inkOnPage(portrait, 5, 30, 50, 240));
    EXPECT_TRUE(inkOnPage(portrait, 70, 30, 120, 240));
    EXPECT_FALSE(inkOnPage(landscape, 20, 2, 170, 55));
    EXPECT_TRUE(inkOnPage(landscape, 30, 70, 150, 200));
}

TEST_F(PreviewTest, TheFirstPreviewCentresTheHeaderAsItsComboSays)
{
    // The combos of a first opening show "居中"; the preview draws the header there before any
    // combo is touched.
    const RunResult run = machine.run("type MainWindow.编辑框_页眉 HHHHHHHH\n" + openSettings() +
                                      "focus PrintSettingsWindow.编辑框_行间距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("first.png") + "\n"
                                      "close PrintSettingsWindow\n"
                                      "wait-closed ProgressWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage first(QString::fromStdString(shot("first.png")));
    ASSERT_FALSE(first.isNull());
    // The header line hangs 11 mm below the top: around the middle of the page, not at its left.
    EXPECT_TRUE(inkOnPage(first, 80, 8, 50, 8));
    EXPECT_FALSE(inkOnPage(first, 3, 8, 40, 8));
}

// Mode 5 and the date captions in the preview: choosing them redraws the page. The 120 × 90
// pictures fitted into the tall cells of a 3 × 3 page (62 × 82 mm) leave white above and below
// themselves; filled and cropped they cover their cells; the date captions change only the
// caption lines.
TEST_F(PreviewTest, ModeFiveFillsTheCellsAndTheDateCaptionsShow)
{
    const RunResult run = machine.run(openSettings() +
                                      "focus PrintSettingsWindow.编辑框_行间距\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("fitted.png") + "\n"
                                      "select PrintSettingsWindow.组合框_照片打印方式 5\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("filled.png") + "\n"
                                      "select PrintSettingsWindow.组合框_照片说明 1\n"
                                      "wait-closed ProgressWindow\n"
                                      "screenshot PrintSettingsWindow " + shot("dated.png") + "\n"
                                      "close PrintSettingsWindow\n"
                                      "wait-closed ProgressWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage fitted(QString::fromStdString(shot("fitted.png")));
    const QImage filled(QString::fromStdString(shot("filled.png")));
    const QImage dated(QString::fromStdString(shot("dated.png")));
    ASSERT_FALSE(fitted.isNull());
    ASSERT_FALSE(filled.isNull());
    ASSERT_FALSE(dated.isNull());
    // The top of the first cell (from the 20 mm margin, 5 mm from the left).
    EXPECT_FALSE(inkOnPage(fitted, 8, 22, 50, 12));
    EXPECT_TRUE(inkOnPage(filled, 8, 22, 50, 12));
    // The pictures are the same with either caption; the page is not.
    EXPECT_TRUE(inkOnPage(dated, 8, 22, 50, 12));
    EXPECT_NE(filled.copy(kPageLeft, kPageTop, 210, 297), dated.copy(kPageLeft, kPageTop, 210, 297));
}

}  // namespace
}  // namespace quillora::e2e
