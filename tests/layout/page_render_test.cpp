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
#include "pages/panel_sink.h"
#include "pages/preview_page.h"
#include "pages/progress_window.h"
#include "printjob/export_pages.h"
#include "quillora/draw_panel_commands.h"
#include "runtime/core/window_loader.h"

namespace quillora::app {

namespace {

using layout_test::BmpPicture;
using layout_test::plainBmp;
using layout_test::TempFolder;
using layout_test::writePicture;

// The pages the export loop hands out, taken from its panel as they are finished; this stands in
// for the page output, which writes files.
std::vector<layout_test::BmpPicture> exportedPages;
std::vector<std::int32_t> exportedNumbers;
bool exportWriteSucceeds = true;
// The user presses 取消 as this page is written (0: never).
std::int32_t cancelAsPageIsWritten = 0;

bool keepExportedPage(const UnitRef& panel, std::int32_t pageNumber)
{
    const ByteSet data = ByteSet::adopt(callMethod(panel, &drawPanelGetPicture));
    callMethod(panel, &drawPanelClear);
    exportedPages.emplace_back(layout_test::Bytes(data.bytes().begin(), data.bytes().end()));
    exportedNumbers.push_back(pageNumber);
    if (pageNumber == cancelAsPageIsWritten)
        按钮_取消打印_被单击(EventArguments{});
    return exportWriteSucceeds;
}

// An export job in 0.1 mm on A4 with margins of 10 mm and header and footer 5 mm from the edges.
PageJob exportJob(std::int32_t rows, std::int32_t columns, std::vector<std::string> paths)
{
    PageJob job;
    job.paperWidth = 2100;
    job.paperHeight = 2970;
    job.rows = rows;
    job.columns = columns;
    job.marginTop = job.marginBottom = job.marginLeft = job.marginRight = 100;
    job.header.offset = job.footer.offset = 50;
    job.output.kind = PageOutput::Kind::Files;
    job.output.pictureFormat = 5;
    job.paths = std::move(paths);
    return job;
}

RenderResult exportPages(const PageJob& job)
{
    ExportSink sink(keepExportedPage);
    return renderPages(job, sink);
}

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
        exportedPages.clear();
        exportedNumbers.clear();
        exportWriteSucceeds = true;
        cancelAsPageIsWritten = 0;
    }
    void TearDown() override { layout_test::unloadProgramWindows(); }

    // A 2 × 2 page of A4 with 10 mm margins and no spacing: cells of 95 × 138.5 mm.
    PageJob twoByTwo(std::vector<std::string> paths)
    {
        PageJob job;
        job.paperWidth = 210;
        job.paperHeight = 297;
        job.rows = 2;
        job.columns = 2;
        job.marginTop = job.marginBottom = job.marginLeft = job.marginRight = 10;
        job.photoMode = 1;
        job.optimisation = 1;
        job.paths = std::move(paths);
        return job;
    }

    TempFolder folder_;
};

TEST_F(PageRendering, TheProgressWindowComesUpReadyAndItsCancelButtonAsksToStop)
{
    showProgressWindow();
    ASSERT_TRUE(progressWindowLoaded());
    EXPECT_NE(scalingObject(), 0);
    EXPECT_FALSE(asBool(readProperty(progressPagePanel(), kPropertyVisible)));
    const UnitRef bar{forms::unit_type::ProcessBar, forms::ProgressWindow::id, forms::ProgressWindow::进度条_当前进度};
    EXPECT_EQ(asInt(readProperty(bar, kindProperty(kProgressMaximum))), 100);
    EXPECT_EQ(asInt(readProperty(bar, kindProperty(kProgressPosition))), 0);
    EXPECT_FALSE(cancelRequested());
    按钮_取消打印_被单击(EventArguments{});
    EXPECT_TRUE(cancelRequested());
    clearCancelRequest();
}

TEST_F(PageRendering, ThePreviewFillsEachCellWithItsPicture)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    const std::string blue = writePicture(folder_.path() / "blue.bmp", plainBmp(40, 30, kBlue));
    const ByteSet data = RenderPreviewPage(twoByTwo({red, blue, "", blue}));
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
    EXPECT_FALSE(cancelRequested());
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ALandscapePreviewIsTurnedIntoThePortraitPanel)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    PageJob job = twoByTwo({red});
    job.orientation = Orientation::Landscape;
    job.rows = job.columns = 1;
    job.marginLeft = 50;  // on the landscape page the left margin is wide
    const ByteSet data = RenderPreviewPage(job);
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

// The panel's surface, counting the pictures drawn on it; once `closeAfter` of them are drawn the
// user's close box asks the progress window to go (it goes at the loop's next event point).
class ClosingSurface final : public PageSurface {
public:
    explicit ClosingSurface(PageSurface& panel) : panel_(panel) {}

    void setFont(const FontSpec& font, std::int32_t size) override { panel_.setFont(font, size); }
    std::int32_t textWidth(const std::string& text) override { return panel_.textWidth(text); }
    std::int32_t textHeight(const std::string& text) override { return panel_.textHeight(text); }
    void writeText(std::int32_t x, std::int32_t y, const std::string& text) override { panel_.writeText(x, y, text); }
    std::int32_t pictureWidth(std::int32_t picture) override { return panel_.pictureWidth(picture); }
    std::int32_t pictureHeight(std::int32_t picture) override { return panel_.pictureHeight(picture); }
    void drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                     std::int32_t height) override
    {
        panel_.drawPicture(picture, x, y, width, height);
        if (++drawn == closeAfter)
            runtime::requestWindowClose(forms::ProgressWindow::id);
    }
    void drawPicturePart(std::int32_t picture, const PictureRect& drawn, const PictureRect& source) override
    {
        panel_.drawPicturePart(picture, drawn, source);
    }

    int drawn = 0;
    int closeAfter = 0;

private:
    PageSurface& panel_;
};

// The preview's rules on the progress window's panel, as RenderPreviewPage draws, with the
// pictures counted and the pages that went out recorded.
class WatchedPreviewSink final : public PanelSink {
public:
    WatchedPreviewSink() : PanelSink(previewRules()), watched_(PanelSink::surface()) {}
    PageSurface& surface() override { return watched_; }
    bool endPage(std::int32_t page) override
    {
        pagesOut.push_back(page);
        return true;
    }

    ClosingSurface& watched() { return watched_; }
    std::vector<std::int32_t> pagesOut;

private:
    ClosingSurface watched_;
};

TEST_F(PageRendering, ClosingTheProgressWindowMidRenderEndsThePreviewCleanly)
{
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    PageJob job = twoByTwo(std::vector<std::string>(25, red));
    job.rows = job.columns = 5;
    WatchedPreviewSink sink;
    // The close box is pressed as the first of the 25 pictures is drawn.
    sink.watched().closeAfter = 1;
    const RenderResult result = renderPages(job, sink);
    // The close is taken at the event point after that cell and the window is gone by the next
    // one: the loop stops there, 23 pictures short, the page it was on still goes out, and
    // nothing is left behind.
    EXPECT_LE(sink.watched().drawn, 2);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(sink.pagesOut, std::vector<std::int32_t>{1});
    EXPECT_FALSE(cancelRequested());
    EXPECT_TRUE(progressWindowGone());

    // The same job left alone draws its 25 pictures.
    WatchedPreviewSink untouched;
    const RenderResult whole = renderPages(job, untouched);
    EXPECT_EQ(untouched.watched().drawn, 25);
    EXPECT_TRUE(whole.completed);
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ClosingTheProgressWindowMidExportEndsTheBatch)
{
    PageJob job = exportJob(1, 1, std::vector<std::string>(6));
    job.header.text = "head";
    job.footer.text = "foot";
    const ProgressWindowCloser closer;
    const RenderResult result = exportPages(job);
    EXPECT_LT(exportedPages.size(), 6u);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ThePreviewDefaultsAnEmptyLayout)
{
    PageJob job;  // no size, no rows: 210 × 297 and 5 × 5
    job.captions = {"one", "two"};
    const ByteSet data = RenderPreviewPage(job);
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
    PageJob job = exportJob(2, 3, paths);
    job.photoMode = 1;
    job.rowSpacing = job.columnSpacing = 10;
    job.captionGap = 2;
    job.marginTop = 200;
    job.marginBottom = 180;
    job.marginLeft = 50;
    job.marginRight = 150;
    job.captions = captions;
    const RenderResult result = exportPages(job);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pagesFinished, 5);
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
    PageJob job = exportJob(2, 2, {"", ""});
    job.orientation = Orientation::Landscape;
    exportPages(job);
    ASSERT_EQ(exportedPages.size(), 1u);
    EXPECT_EQ(exportedPages[0].width(), 2970);
    EXPECT_EQ(exportedPages[0].height(), 2100);
}

TEST_F(PageRendering, APageThatCannotBeWrittenEndsTheBatch)
{
    exportWriteSucceeds = false;
    const RenderResult result = exportPages(exportJob(1, 1, {"", "", ""}));
    EXPECT_EQ(exportedPages.size(), 1u);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 0);
    EXPECT_EQ(result.pagesPlanned, 3);
    EXPECT_FALSE(cancelRequested());
}

TEST_F(PageRendering, CancelDuringAJobFinishesThePageItIsOnAndEndsTheBatch)
{
    // Three pages of two cells; 取消 is pressed as page 1 is written, so the loop sees it after the
    // first cell of page 2: that page gets its footer and is written with one picture, page 3
    // never starts.
    const std::string red = writePicture(folder_.path() / "red.bmp", plainBmp(40, 30, kRed));
    PageJob job = exportJob(2, 1, std::vector<std::string>(6, red));
    job.photoMode = 1;
    job.footer.text = "foot";
    cancelAsPageIsWritten = 1;
    const RenderResult result = exportPages(job);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 2);
    EXPECT_EQ(result.pagesPlanned, 3);
    ASSERT_EQ(exportedNumbers, (std::vector<std::int32_t>{1, 2}));
    // Cells of 1900 × 1385 at (100, 100) and (100, 1485).
    EXPECT_EQ(exportedPages[0].pixel(1050, 800), kRed);
    EXPECT_EQ(exportedPages[0].pixel(1050, 2200), kRed);
    EXPECT_EQ(exportedPages[1].pixel(1050, 800), kRed);
    EXPECT_FALSE(exportedPages[1].inkIn(150, 1550, 1800, 1300));
    // The footer 5 mm above the bottom edge.
    EXPECT_TRUE(exportedPages[1].inkIn(0, 2870, 2100, 100));
    // The request is used up: the next job runs whole.
    EXPECT_FALSE(cancelRequested());
    EXPECT_TRUE(progressWindowGone());
}

TEST_F(PageRendering, ACancelLeftFromBeforeAJobIsClearedAtItsStart)
{
    // The cancel button was pressed when no job ran: the flag is cleared as a job starts, so
    // every page comes out.
    按钮_取消打印_被单击(EventArguments{});
    const RenderResult result = exportPages(exportJob(1, 1, {"", ""}));
    EXPECT_EQ(exportedPages.size(), 2u);
    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(cancelRequested());
}

}  // namespace
}  // namespace quillora::app
