// The export renderer: the pages of a batch drawn on the progress window's hidden panel at one
// pixel per 0.1 mm (an A4 page is 2100 × 2970 pixels), each saved as one picture file.
#pragma once

#include <cstdint>
#include <functional>

#include "common/unit_calls.h"
#include "pages/page_job.h"
#include "pages/panel_sink.h"
#include "pages/render_pages.h"

namespace quillora::app {

// Saves the finished page on the panel; false ends the batch (the writer has told the user why).
using PageWriter = std::function<bool(const UnitRef& panel, std::int32_t pageNumber)>;

// The export's panel as a page sink: each finished page handed to the writer.
class ExportSink final : public PanelSink {
public:
    explicit ExportSink(PageWriter writer);
    bool endPage(std::int32_t page) override;

private:
    PageWriter writer_;
};

// Draws the job's pages (lengths in 0.1 mm) and writes each into job.output.folder in
// job.output.pictureFormat, landscape pages turned upright.
RenderResult ExportBatchToPictures(const PageJob& job);

}  // namespace quillora::app
