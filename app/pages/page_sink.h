// What a page is drawn onto: the preview's panel, the printer, or the export's panel whose pages
// become files. The page loop draws through the sink's surface and tells the sink where a job and
// a page begin and end; everything else about a page is the loop's.
#pragma once

#include <cstdint>

#include "pages/page_job.h"
#include "pages/page_model.h"
#include "pages/page_surface.h"

namespace quillora::app {

class PageSink {
public:
    virtual ~PageSink() = default;

    virtual const PageRules& rules() const = 0;
    virtual PageSurface& surface() = 0;
    // Before the first page, with the progress window up: makes the surface ready for pages of
    // the job's page size (turned for landscape). False when the job cannot start; the loop then
    // draws nothing and calls end().
    virtual bool begin(const PageJob& job) = 0;
    // After a page's footer: the page goes out. False ends the job.
    virtual bool endPage(std::int32_t page) = 0;
    // After the last page (or a failed begin), before the progress window goes.
    virtual void end() = 0;
};

}  // namespace quillora::app
