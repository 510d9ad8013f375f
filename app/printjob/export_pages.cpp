#include "printjob/export_pages.h"

#include <utility>

#include "printjob/page_output.h"
#include "printjob/unsaved_pages.h"

namespace quillora::app {

ExportSink::ExportSink(PageWriter writer) : PanelSink(exportRules()), writer_(std::move(writer))
{
}

bool ExportSink::endPage(std::int32_t page)
{
    // The writer takes the page out and clears the panel for the next one.
    return writer_(panel().unit(), page);
}

RenderResult ExportBatchToPictures(const PageJob& job)
{
    bool pageLost = false;
    ExportSink sink([&job, &pageLost](const UnitRef& panel, std::int32_t pageNumber) {
        pageLost = !OutputExportPage(panel, job.output.folder, pageNumber, job.orientation, job.output.pictureFormat);
        return !pageLost;
    });
    const RenderResult result = renderPages(job, sink);
    // A page that cannot be written ends its batch: it and the pages after it are not saved.
    if (pageLost)
        noteUnsavedPages(result.pagesPlanned - result.pagesFinished);
    return result;
}

}  // namespace quillora::app
