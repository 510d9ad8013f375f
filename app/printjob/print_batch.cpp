#include "printjob/print_batch.h"

#include <utility>

#include "pages/print_album.h"
#include "pagesetup/open_print_settings.h"
#include "pagesetup/settings_page_job.h"
#include "printjob/export_pages.h"
#include "printjob/folder_prompt.h"
#include "printjob/unprinted_documents.h"

namespace quillora::app {

std::int32_t PrintBatch(PageBatch batch)
{
    // The settings window, should it open, previews this very batch.
    const PrintSettings* settings = &printSettings();
    if (settings->printerName.empty() || settings->confirmed == 0)
        settings = &OpenPrintSettings(batch);
    else
        previewSet() = batch;
    if (settings->confirmed == 0)
        return 0;

    PageJob job = batchPageJob(*settings, std::move(batch));
    RenderResult result;
    if (job.output.kind == PageOutput::Kind::Files) {
        job.output.folder = askForSaveFolder();
        if (job.output.folder.empty())
            return 0;
        result = ExportBatchToPictures(job);
    } else {
        const PrintAlbumResult printed = PrintAlbum(job);
        if (printed.document == PrintedDocument::NotPrinted)
            noteUnprintedDocument();
        result = printed.pages;
    }
    return result.completed || result.cancelled ? 1 : 0;
}

}  // namespace quillora::app
