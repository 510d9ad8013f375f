// The one page loop: a page job drawn onto a sink. The preview, the printer and the export run
// this same loop; what differs between them is the sink and its PageRules.
#pragma once

#include <cstdint>

#include "pages/page_job.h"
#include "pages/page_model.h"
#include "pages/page_sink.h"
#include "pages/page_surface.h"

namespace quillora::app {

struct RenderResult {
    // Every page the job was to make was finished and handed to the sink.
    bool completed = false;
    // The user asked the progress window to stop (its cancel button or its close box).
    bool cancelled = false;
    std::int32_t pagesFinished = 0;
    // The pages the job was to make (the preview's one page; a job's pages for its pictures).
    std::int32_t pagesPlanned = 0;
    // Pictures the job named that could not be read when their turn came (deleted, or no longer a
    // picture since the search): their cells stay empty.
    std::int32_t picturesUnread = 0;
    // The job was refused before its first page (the user was told why): nothing was made.
    bool refused = false;
};

// Runs the job on the sink: the progress window shown, the defaults of the sink's rules applied,
// then page after page the header, the cells (each picture loaded, drawn, captioned, the progress
// moved, the cancel request tested), the footer and the page's end, and at last the progress
// window closed. A job whose layout leaves no room for a cell is refused with a message before
// anything starts (the preview shows such a page without cells).
RenderResult renderPages(PageJob job, PageSink& sink);

}  // namespace quillora::app
