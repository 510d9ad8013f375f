#include "printjob/export_pages.h"

#include <algorithm>
#include <utility>

#include "common/core_calls.h"
#include "common/number_text.h"
#include "common/window_units.h"
#include "form_ids.h"
#include "quillora/draw_panel_commands.h"
#include "printjob/page_output.h"
#include "printjob/job_tally.h"

namespace quillora::app {
namespace {

// The stop icon and one OK button.
constexpr std::int32_t kStopStyle = 16;

std::string sizeText(std::int32_t width, std::int32_t height)
{
    return toText(width) + "×" + toText(height);
}

// The paper and grid of the job after the export's defaults (a paper below one unit is A4, no
// rows or columns 5 × 5), without its pictures.
PageJob exportedPaper(const PageJob& job)
{
    PageJob paper;
    paper.paperWidth = job.paperWidth;
    paper.paperHeight = job.paperHeight;
    paper.orientation = job.orientation;
    paper.rows = job.rows;
    paper.columns = job.columns;
    applyPageDefaults(paper, exportRules());
    return paper;
}

}  // namespace

ExportSink::ExportSink(PageWriter writer) : PanelSink(exportRules()), writer_(std::move(writer))
{
}

bool ExportSink::endPage(std::int32_t page)
{
    if (!panelIsPageSized()) {
        const PanelPageSize wanted = pageSize();
        const std::string held = sizeText(panel().bitmapWidth(), panel().bitmapHeight());
        if (isWindowLoaded(forms::MainWindow::id))
            mainStatusBar().show("第" + toText(page) + "页未能保存：画板容不下" + sizeText(wanted.width, wanted.height)
                                 + "像素的页面");
        messageBox("第" + toText(page) + "页无法保存：页面要有" + sizeText(wanted.width, wanted.height)
                       + "个像素，画板却只有" + held + "个像素，页面画不全。\r\n已经保存的页面都保留着，这一批其余的页面不再输出。",
                   kStopStyle, "保存页面失败");
        pageLost_ = true;
        return false;
    }
    // The writer takes the page out and clears the panel for the next one.
    pageLost_ = !writer_(panel().unit(), page);
    return !pageLost_;
}

std::string exportPaperProblem(const PageJob& job)
{
    const PageJob paper = exportedPaper(job);
    if (panelHoldsPage(paper.paperWidth, paper.paperHeight))
        return {};
    // One pixel per 0.1 mm: the largest page in pixels is the largest paper in tenths, and it is
    // named in whole millimetres, rounded down so that it fits.
    const PanelPageSize largest = largestPanelPage(paper.paperWidth, paper.paperHeight);
    return "纸张" + millimetreText(paper.paperWidth) + "×" + millimetreText(paper.paperHeight)
        + "毫米太大，无法保存为图片文件（每0.1毫米一个像素，一页最多" + toText(static_cast<std::int32_t>(kDrawPanelMostBitmapPixels))
        + "个像素）。按这个宽高比例，保存为图片的纸张最大为" + sizeText(largest.width / 10, largest.height / 10)
        + "毫米（宽×高），请减小纸张的宽度和高度，或者改为直接打印。\r\n这一批的页面都没有保存。";
}

bool refuseExportOfPaper(const PageJob& job)
{
    const std::string problem = exportPaperProblem(job);
    if (problem.empty())
        return false;
    messageBox(problem, kStopStyle, "无法保存为图片");
    jobTally().pagesUnsaved += exportPageCount(job);
    return true;
}

std::int32_t exportPageCount(const PageJob& job)
{
    const PageJob paper = exportedPaper(job);
    return pagesNeeded(static_cast<std::int64_t>(job.paths.size()), std::int64_t{paper.rows} * paper.columns);
}

RenderResult ExportBatchToPictures(const PageJob& job)
{
    if (refuseExportOfPaper(job)) {
        RenderResult refused;
        refused.refused = true;
        return refused;
    }
    ExportSink sink([&job](const UnitRef& panel, std::int32_t pageNumber) {
        return OutputExportPage(panel, job.output.folder, pageNumber, job.orientation, job.output.pictureFormat);
    });
    const RenderResult result = renderPages(job, sink);
    // A page the sink turns down (a panel of another size, a file that cannot be written) ends its
    // batch: it and the pages after it are not saved.
    if (sink.pageLost())
        jobTally().pagesUnsaved += std::max(0, result.pagesPlanned - result.pagesFinished);
    return result;
}

}  // namespace quillora::app
