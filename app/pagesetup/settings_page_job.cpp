#include "pagesetup/settings_page_job.h"

#include <utility>

#include "pages/load_print_picture.h"

namespace quillora::app {

void takeRecordFonts(PageJob& job, const PrintSettings& settings)
{
    job.captionFont = settings.captionFont;
    job.header.font = settings.headerFont;
    job.header.align = settings.headerAlign;
    job.footer.font = settings.footerFont;
    job.footer.align = settings.footerAlign;
}

std::int32_t optimisationLevel(const PrintSettings& settings, std::int32_t wanted)
{
    return settings.optimisation > kHighestOptimisation ? 0 : wanted;
}

PageJob batchPageJob(const PrintSettings& settings, PageBatch batch)
{
    PageJob job;
    job.paperWidth = settings.paperWidth;
    job.paperHeight = settings.paperHeight;
    job.orientation = settings.orientation == 1 ? Orientation::Landscape : Orientation::Portrait;
    job.marginTop = settings.marginTop;
    job.marginBottom = settings.marginBottom;
    job.marginLeft = settings.marginLeft;
    job.marginRight = settings.marginRight;
    job.rows = settings.rows;
    job.columns = settings.columns;
    job.rowSpacing = settings.rowSpacing;
    job.columnSpacing = settings.columnSpacing;
    job.captionGap = settings.captionGap;
    job.photoMode = settings.photoMode;
    job.captionKind = captionKindOf(settings.captionKind);
    takeRecordFonts(job, settings);
    job.header.offset = settings.headerOffset;
    job.footer.offset = settings.footerOffset;
    job.copies = settings.copies;
    job.optimisation = optimisationLevel(settings, settings.optimisation);
    if (settings.toPictureFiles) {
        job.output.kind = PageOutput::Kind::Files;
        job.output.pictureFormat = settings.pictureFormat;
    } else {
        job.output.kind = PageOutput::Kind::Printer;
        job.output.printerName = settings.printerName;
        job.output.defaultPrinter = settings.defaultPrinter;
    }
    takeBatch(job, std::move(batch));
    return job;
}

}  // namespace quillora::app
