#include "printjob/export_pages.h"

#include <utility>

#include "printjob/page_output.h"

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
    const PageOutput& output = job.output;
    ExportSink sink([&job, &output](const UnitRef& panel, std::int32_t pageNumber) {
        return OutputExportPage(panel, output.folder, pageNumber, job.orientation, output.pictureFormat);
    });
    return renderPages(job, sink);
}

}  // namespace quillora::app
