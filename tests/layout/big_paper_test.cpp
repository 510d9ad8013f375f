// Paper larger than the page panel can hold (one pixel per 0.1 mm, 128 megapixels at most): the
// export refuses it before the first page, naming the largest paper of its proportions; a page
// whose panel did not take its size is never handed to the writer, and the preview shows no page
// rather than a part of one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/picture_calls.h"
#include "layout_test_support.h"
#include "pages/panel_sink.h"
#include "pages/preview_page.h"
#include "pages/progress_window.h"
#include "platform/fs/drive_map.h"
#include "platform/message_box.h"
#include "printjob/export_pages.h"
#include "printjob/unsaved_pages.h"
#include "quillora/draw_panel_commands.h"

namespace quillora::app {
namespace {

namespace fs = std::filesystem;

TEST(PanelCapacity, PagesUpToTheCapFit)
{
    EXPECT_TRUE(panelHoldsPage(2100, 2970));
    EXPECT_TRUE(panelHoldsPage(11585, 11585));       // 134,212,225 pixels
    EXPECT_FALSE(panelHoldsPage(11586, 11586));      // 134,235,396
    EXPECT_TRUE(panelHoldsPage(kDrawPanelMostBitmapPixels, 1));
    EXPECT_FALSE(panelHoldsPage(kDrawPanelMostBitmapPixels + 1, 1));
    EXPECT_FALSE(panelHoldsPage(15000, 15000));
    EXPECT_FALSE(panelHoldsPage(0, 10));
    EXPECT_FALSE(panelHoldsPage(10, -1));
    EXPECT_FALSE(panelHoldsPage(std::int64_t{1} << 40, std::int64_t{1} << 40));
}

TEST(PanelCapacity, TheLargestPageKeepsTheProportions)
{
    EXPECT_EQ(largestPanelPage(2100, 2970), (PanelPageSize{2100, 2970}));
    EXPECT_EQ(largestPanelPage(15000, 15000), (PanelPageSize{11585, 11585}));
    // 2 : 1 shrinks by 0.8192 exactly, to the cap itself.
    EXPECT_EQ(largestPanelPage(20000, 10000), (PanelPageSize{16384, 8192}));
    EXPECT_EQ(largestPanelPage(10000, 20000), (PanelPageSize{8192, 16384}));
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{20000, 20000}, {20000, 6711}, {13001, 19999}}) {
        const PanelPageSize largest = largestPanelPage(width, height);
        EXPECT_TRUE(panelHoldsPage(largest.width, largest.height)) << width << " x " << height;
        // One pixel more on either side would not fit, or would change the proportions.
        EXPECT_FALSE(panelHoldsPage(largest.width + 1, largest.height + 1)) << width << " x " << height;
        EXPECT_NEAR(static_cast<double>(largest.width) / largest.height, static_cast<double>(width) / height, 0.001);
    }
}

PageJob paperJob(std::int32_t width, std::int32_t height)
{
    PageJob job;
    job.paperWidth = width;
    job.paperHeight = height;
    job.rows = job.columns = 1;
    job.output.kind = PageOutput::Kind::Files;
    job.output.pictureFormat = 1;
    return job;
}

class BigPaper : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout_test::installProgramWindows();
        platform::setMessageBoxInterceptor([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.title + "\t" + request.text);
            return 1;
        });
        resetUnsavedPages();
    }
    void TearDown() override
    {
        platform::setMessageBoxInterceptor(nullptr);
        layout_test::unloadProgramWindows();
    }

    std::vector<std::string> boxes;
    layout_test::TempFolder folder_;
};

TEST_F(BigPaper, TheExportNamesTheLargestPaperOfTheSameProportions)
{
    EXPECT_EQ(exportPaperProblem(paperJob(2100, 2970)), "");
    EXPECT_EQ(exportPaperProblem(paperJob(11580, 11580)), "");
    EXPECT_EQ(exportPaperProblem(paperJob(15000, 15000)),
              "纸张1500×1500毫米太大，无法保存为图片文件（每0.1毫米一个像素，一页最多134217728个像素）。"
              "按这个宽高比例，保存为图片的纸张最大为1158×1158毫米（宽×高），请减小纸张的宽度和高度，或者改为直接打印。"
              "\r\n这一批的页面都没有保存。");
    // Landscape turns the page, not the paper the user typed: the largest paper is named as typed.
    PageJob wide = paperJob(20000, 10000);
    wide.orientation = Orientation::Landscape;
    EXPECT_NE(exportPaperProblem(wide).find("纸张2000×1000毫米太大"), std::string::npos) << exportPaperProblem(wide);
    EXPECT_NE(exportPaperProblem(wide).find("最大为1638×819毫米"), std::string::npos) << exportPaperProblem(wide);
    // Tenths of the paper are named as the window shows them.
    EXPECT_NE(exportPaperProblem(paperJob(12005, 12000)).find("纸张1200.5×1200毫米太大"), std::string::npos);
    // A job without paper gets the export's A4.
    EXPECT_EQ(exportPaperProblem(paperJob(0, 0)), "");
}

TEST_F(BigPaper, ABatchOnPaperTooLargeIsRefusedBeforeItsFirstPage)
{
    PageJob job = paperJob(15000, 15000);
    job.rows = 2;
    job.columns = 2;
    job.paths.assign(9, "");
    job.output.folder = platform::toWindowsPath(folder_.path().string()).value_or(std::string());
    ASSERT_FALSE(job.output.folder.empty());
    const RenderResult result = ExportBatchToPictures(job);
    EXPECT_TRUE(result.refused);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, boxes[0].find('\t')), "无法保存为图片");
    EXPECT_NE(boxes[0].find("最大为1158×1158毫米"), std::string::npos);
    // Nothing was drawn or written; the three pages of the batch count as not saved.
    EXPECT_FALSE(progressWindowLoaded());
    EXPECT_TRUE(fs::is_empty(folder_.path()));
    EXPECT_EQ(unsavedPages(), 3);
}

TEST_F(BigPaper, APanelThatDidNotTakeThePageSizeFailsThePageInsteadOfWritingIt)
{
    // The sink run without the export's check: the panel keeps its former bitmap.
    int written = 0;
    ExportSink sink([&written](const UnitRef&, std::int32_t) {
        ++written;
        return true;
    });
    PageJob job = paperJob(15000, 15000);
    job.paths.assign(2, "");
    const RenderResult result = renderPages(job, sink);
    EXPECT_EQ(written, 0);
    EXPECT_TRUE(sink.pageLost());
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 0);
    EXPECT_EQ(result.pagesPlanned, 2);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, boxes[0].find('\t')), "保存页面失败");
    EXPECT_NE(boxes[0].find("第1页无法保存：页面要有15000×15000个像素"), std::string::npos) << boxes[0];
}

TEST_F(BigPaper, APageTheExportCanHoldIsWrittenAtItsOwnSize)
{
    int written = 0;
    ExportSink sink([&written](const UnitRef&, std::int32_t) {
        ++written;
        return true;
    });
    PageJob job = paperJob(1000, 1500);
    job.paths.assign(1, "");
    const RenderResult result = renderPages(job, sink);
    EXPECT_EQ(written, 1);
    EXPECT_FALSE(sink.pageLost());
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BigPaper, APreviewPageThePanelCannotHoldComesOutEmpty)
{
    // Whole millimetres far past what the settings allow (they refuse it before the preview
    // draws): the panel keeps its former size, and no page of that size is shown as the page.
    PageJob job;
    job.paperWidth = 20000;
    job.paperHeight = 20000;
    job.rows = job.columns = 1;
    EXPECT_TRUE(RenderPreviewPage(job).empty());
    job.paperWidth = 100;
    job.paperHeight = 150;
    const ByteSet page = RenderPreviewPage(job);
    const layout_test::BmpPicture picture(layout_test::Bytes(page.bytes().begin(), page.bytes().end()));
    ASSERT_TRUE(picture.valid());
    EXPECT_EQ(picture.width(), 100);
    EXPECT_EQ(picture.height(), 150);
}

}  // namespace
}  // namespace quillora::app
