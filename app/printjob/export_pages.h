// The export renderer: the pages of a batch drawn on the progress window's hidden panel at one
// pixel per 0.1 mm (an A4 page is 2100 × 2970 pixels), each saved as one picture file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/unit_calls.h"
#include "pages/page_job.h"
#include "pages/panel_sink.h"
#include "pages/render_pages.h"

namespace quillora::app {

// Saves the finished page on the panel; false ends the batch (the writer has told the user why).
using PageWriter = std::function<bool(const UnitRef& panel, std::int32_t pageNumber)>;

// The export's panel as a page sink: each finished page handed to the writer, but only a page of
// the job's page size: a panel whose bitmap is of another size (it could not take the page)
// fails the page with a message instead, so no page file of another size is ever written.
class ExportSink final : public PanelSink {
public:
    explicit ExportSink(PageWriter writer);
    bool endPage(std::int32_t page) override;
    // True once a page was turned down (by the size check or by the writer).
    bool pageLost() const { return pageLost_; }

private:
    PageWriter writer_;
    bool pageLost_ = false;
};

// Why a batch with the job's paper cannot be exported, naming the largest paper of the same
// proportions the export takes (the panel holds one pixel per 0.1 mm, kDrawPanelMostBitmapPixels
// at most); empty when it can. The paper as the job holds it (width × height before the
// landscape turn, which does not change what fits), after the export's defaults.
std::string exportPaperProblem(const PageJob& job);
// When the job's paper cannot be exported: the message box with exportPaperProblem(), the
// batch's pages noted as not saved, and true. False (and nothing shown) when it can.
bool refuseExportOfPaper(const PageJob& job);
// The pages the export makes of the job's pictures, at its rows × columns after the export's
// defaults.
std::int32_t exportPageCount(const PageJob& job);

// Draws the job's pages (lengths in 0.1 mm) and writes each into job.output.folder in
// job.output.pictureFormat, landscape pages turned upright. A paper the panel cannot hold is
// refused before the first page with a message box (result.refused; nothing is drawn or written,
// and the batch's pages count as not saved).
RenderResult ExportBatchToPictures(const PageJob& job);

}  // namespace quillora::app
