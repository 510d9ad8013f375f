// The canvases drawn for real in the program's progress window: the preview page at one pixel per
// millimetre, and the export loop's pages at one pixel per 0.1 mm.
#include <gtest/gtest.h>

#include <vector>

#include <QTimer>

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/unit_calls.h"
#include "quillora/control_unit_commands.h"
#include "form_ids.h"
#include "layout_test_support.h"
#include "pagesetup/preview_page.h"
#include "pagesetup/render_state.h"
#include "printjob/export_pages.h"
#include "printjob/page_output.h"
#include "printjob/progress_window.h"
#include "quillora/draw_panel_commands.h"
#include "runtime/core/window_loader.h"

namespace quillora::app {

// The pages the export loop hands out, taken from its panel as they are finished. This stands in
// for the page output (which writes files) in this test program.
namespace {
std::vector<layout_test::BmpPicture> exportedPages;
std::vector<std::int32_t> exportedNumbers;
bool exportWriteSucceeds = true;
}  // namespace

bool OutputExportPage(const UnitRef& panel, const std::string&, std::int32_t pageNumber, std::int32_t, std::int32_t)
{
    const ByteSet data = ByteSet::adopt(callMethod(panel, &drawPanelGetPicture));
    exportedPages.emplace_back(layout_test::Bytes(data.bytes().begin(), data.bytes().end()));
    exportedNumbers.push_back(pageNumber);
    return exportWriteSucceeds;
}

namespace {

using layout_test::BmpPicture;
using layout_test::plainBmp;
using layout_test::TempFolder;
using layout_test::writePicture;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// The closed progress window goes once the events after its close have run.
bool progressWindowGone()
{
    for (int round = 0; round < 3 && progressWindowLoaded(); ++round)
        processEvents();
    return !progressWindowLoaded();
}

class PageRendering : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout_test::installProgramWindows();
        printSettings() = PrintSettings{};
        exportedPages.clear();
        exportedNumbers.clear();
        exportWriteSucceeds = true;
    }
    void TearDown() override { layout_test::unloadProgramWindows(); }

    // A 2 × 2 page of A4 with 10 mm margins and no spacing: cells of 95 × 138.5 mm.
    PreviewPageInput twoByTwo(std::vector<std::string> paths)
    {
        PreviewPageInput input;
        input.pageWidth = 210;
        input.pageHeight = 297;
        input.rows = 2;
        input.columns = 2;
        input.marginTop = input.marginBottom = input.marginLeft = input.marginRight = 10;
        input.photoMode = 1;
        input.paths = std::move(paths);
        return input;
    }

    TempFolder folder_;
};

TEST_F(PageRendering, TheProgressWindowComesUpReadyAndItsCancelButtonAsksToStop)
{
    renderState().scalingObject = 0;
    showProgressWindow();
    ASSERT_TRUE(progressWindowLoaded());
    EXPECT_NE(renderState().scalingObject, 0);
    EXPECT_FALSE(asBool(readProperty(progressPagePanel(), kPropertyVisible)));
    const UnitRef bar{forms::unit_type::ProcessBar, forms::ProgressWindow::id, forms::ProgressWindow::进度条_当前进度};
    EXPECT_EQ(asInt(readProperty(bar, kindProperty(kProgressMaximum))), 100);
    EXPECT_EQ(asInt(readProperty(bar, kindProperty(kProgressPosition))), 0);
    EXPECT_FALSE(renderState().renderCancel);
    按钮_取消打印_被单击(EventArguments{});
    EXPECT_TRUE(renderState().renderCancel);
    renderState().renderCancel = false;
}

TEST_F(PageRendering, ThePreviewFillsEachCellWithItsPicture)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    const std::string blue = writePicture(folder_.path() / "blue.bmp", plainBmp(40, 30, kBlue));
    PreviewPageInput input = twoByTwo({red, blue, "", blue});
    const ByteSet data = RenderPreviewPage(input);
    const BmpPicture page(layout_test::Bytes(data.bytes().begin(), data.bytes().end()));
    ASSERT_TRUE(page.valid());
    EXPECT_EQ(page.width(), 210);
    EXPECT_EQ(page.height(), 297);
    // Cell (0, 0) is (10, 10, 95, 138 - caption line); cell (0, 1) starts at 105.
    EXPECT_EQ(page.pixel(11, 11), kRed);
    EXPECT_EQ(page.pixel(103, 100), kRed);
    EXPECT_EQ(page.pixel(106, 11), kBlue);
    EXPECT_EQ(page.pixel(5, 5), 0xFFFFFFu);  // the margin stays white
    // The missing picture leaves its cell (1, 0) empty; cell (1, 1) has its picture.
    EXPECT_FALSE(page.inkIn(11, 150, 90, 100));
    EXPECT_EQ(page.pixel(150, 200), kBlue);
    // The render leaves nothing behind.
    EXPECT_FALSE(renderState().renderCancel);
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ALandscapePreviewIsTurnedIntoThePortraitPanel)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    PreviewPageInput input = twoByTwo({red});
    input.landscape = true;
    input.rows = input.columns = 1;
    input.marginLeft = 50;  // on the landscape page the left margin is wide
    const ByteSet data = RenderPreviewPage(input);
    const BmpPicture page(layout_test::Bytes(data.bytes().begin(), data.bytes().end()));
    ASSERT_TRUE(page.valid());
    EXPECT_EQ(page.width(), 210);
    EXPECT_EQ(page.height(), 297);
    // Turned clockwise, the landscape page's left edge is the top of the portrait picture: its
    // top 50 rows are margin, below them the picture.
    EXPECT_FALSE(page.inkIn(20, 5, 170, 40));
    EXPECT_EQ(page.pixel(105, 150), kRed);
}

TEST_F(PageRendering, ARenderRightAfterAnotherGetsAFreshProgressWindow)
{
    // The first render's progress window is closed but not yet destroyed when the second starts;
    // the second must not draw on a window that goes away under it.
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    const ByteSet first = RenderPreviewPage(twoByTwo({red}));
    const ByteSet second = RenderPreviewPage(twoByTwo({red, red}));
    const BmpPicture page(layout_test::Bytes(second.bytes().begin(), second.bytes().end()));
    ASSERT_TRUE(page.valid());
    EXPECT_EQ(page.pixel(106, 11), kRed);
    EXPECT_TRUE(progressWindowGone());
}

// Closes the progress window as soon as a render has it up, as a user's close box would.
class ProgressWindowCloser {
public:
    ProgressWindowCloser()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (progressWindowLoaded()) {
                runtime::requestWindowClose(forms::ProgressWindow::id);
                timer_.stop();
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

TEST_F(PageRendering, ClosingTheProgressWindowMidRenderEndsThePreviewCleanly)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    PreviewPageInput input = twoByTwo(std::vector<std::string>(4, red));
    input.rows = input.columns = 5;
    const ProgressWindowCloser closer;
    const ByteSet data = RenderPreviewPage(input);
    EXPECT_FALSE(renderState().renderCancel);
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ClosingTheProgressWindowMidExportEndsTheBatch)
{
    FontSpec font;
    const ProgressWindowCloser closer;
    ExportBatchToPictures("D:\\album", 2100, 2970, 0, 1, 1, 0, 0, 0, font, 100, 100, 100, 100, 50, 50, 0, 5, 1,
                          std::vector<std::string>(6), {}, {}, "head", "foot");
    EXPECT_LT(exportedPages.size(), 6u);
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ThePreviewDefaultsAnEmptyLayout)
{
    PreviewPageInput input;  // no size, no rows: 210 × 297 and 5 × 5
    input.captions = {"one", "two"};
    const ByteSet data = RenderPreviewPage(input);
    const BmpPicture page(layout_test::Bytes(data.bytes().begin(), data.bytes().end()));
    ASSERT_TRUE(page.valid());
    EXPECT_EQ(page.width(), 210);
    EXPECT_EQ(page.height(), 297);
}

TEST_F(PageRendering, TheExportDrawsEveryPageOfTheBatch)
{
    const std::string red = writePicture(folder_.path() / "red.png.bmp", plainBmp(40, 30, kRed));
    std::vector<std::string> paths(25, red);
    std::vector<std::string> captions(25, "a");
    FontSpec font;
    ExportBatchToPictures("D:\\album", 2100, 2970, 1, 2, 3, 10, 10, 2, font, 200, 180, 50, 150, 110, 140, 0, 5, 1,
                          paths, {}, captions, "", "");
    ASSERT_EQ(exportedPages.size(), 5u);
    EXPECT_EQ(exportedNumbers, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    for (const BmpPicture& page : exportedPages) {
        ASSERT_TRUE(page.valid());
        EXPECT_EQ(page.width(), 2100);
        EXPECT_EQ(page.height(), 2970);
    }
    // Cells of (1900 - 20) / 3 = 626.7 × (2590 - 10) / 2 = 1290 at (50, 200); the last page holds
    // one picture in its first cell.
    EXPECT_EQ(exportedPages[0].pixel(60, 210), kRed);
    EXPECT_EQ(exportedPages[0].pixel(1500, 1700), kRed);
    EXPECT_EQ(exportedPages[4].pixel(60, 210), kRed);
    EXPECT_FALSE(exportedPages[4].inkIn(700, 210, 40, 40));
    EXPECT_FALSE(exportedPages[4].inkIn(60, 1600, 40, 40));
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ALandscapeExportPageIsDrawnOnTheWidePanel)
{
    FontSpec font;
    ExportBatchToPictures("D:\\album", 2100, 2970, 0, 2, 2, 0, 0, 0, font, 100, 100, 100, 100, 50, 50, 1, 5, 1,
                          {"", ""}, {}, {}, "", "");
    ASSERT_EQ(exportedPages.size(), 1u);
    EXPECT_EQ(exportedPages[0].width(), 2970);
    EXPECT_EQ(exportedPages[0].height(), 2100);
}

TEST_F(PageRendering, APageThatCannotBeWrittenEndsTheBatch)
{
    exportWriteSucceeds = false;
    FontSpec font;
    ExportBatchToPictures("D:\\album", 2100, 2970, 0, 1, 1, 0, 0, 0, font, 100, 100, 100, 100, 50, 50, 0, 5, 1,
                          {"", "", ""}, {}, {}, "", "");
    EXPECT_EQ(exportedPages.size(), 1u);
    EXPECT_FALSE(renderState().renderCancel);
}

TEST_F(PageRendering, CancelDuringAPageFinishesItAndEndsTheBatch)
{
    // The cancel button is pressed before the loop runs its first picture: the flag is cleared
    // at the start, so all pages come out; a flag set while the first picture loads stops after it.
    renderState().renderCancel = true;
    FontSpec font;
    ExportBatchToPictures("D:\\album", 2100, 2970, 0, 1, 1, 0, 0, 0, font, 100, 100, 100, 100, 50, 50, 0, 5, 1,
                          {"", ""}, {}, {}, "", "");
    EXPECT_EQ(exportedPages.size(), 2u);
    EXPECT_FALSE(renderState().renderCancel);
}

}  // namespace
}  // namespace quillora::app
