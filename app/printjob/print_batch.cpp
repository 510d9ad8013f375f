#include "printjob/print_batch.h"

#include <string>
#include <utility>

#include "common/core_calls.h"
#include "pages/print_album.h"
#include "pagesetup/layout_check.h"
#include "pagesetup/open_print_settings.h"
#include "pagesetup/settings_page_job.h"
#include "printjob/export_pages.h"
#include "printjob/folder_prompt.h"
#include "printjob/job_tally.h"

namespace quillora::app {
namespace {

constexpr std::int32_t kWarningStyle = 48;

void countPrintedDocument(const PrintAlbumResult& printed)
{
    JobTally& tally = jobTally();
    switch (printed.document) {
    case PrintedDocument::Printed:
        tally.pagesMade += printed.pages.pagesFinished;
        if (!printed.writtenDocument.empty())
            tally.writtenDocuments.push_back(printed.writtenDocument);
        break;
    case PrintedDocument::Aborted:
        tally.cancelled = true;
        break;
    case PrintedDocument::NotPrinted:
        ++tally.documentsUnprinted;
        break;
    case PrintedDocument::NotAttempted:
        break;
    }
}

}  // namespace

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
    // The window confirms only layouts that pass the check; one that does not is never drawn.
    // Settings that cannot be used are confirmed no more, so the job stops and the next one asks.
    if (const std::string problem = layoutProblem(*settings); !problem.empty()) {
        messageBox(problem, kWarningStyle, "无法按此设置打印");
        printSettings().confirmed = 0;
        return 0;
    }

    PageJob job = batchPageJob(*settings, std::move(batch));
    RenderResult result;
    if (job.output.kind == PageOutput::Kind::Files) {
        // A paper the export cannot take is refused before a folder is asked for, and for every
        // batch alike: the job stops here.
        if (refuseExportOfPaper(job)) {
            printSettings().confirmed = 0;
            return 0;
        }
        job.output.folder = askForSaveFolder();
        if (job.output.folder.empty()) {
            jobTally().pagesWithoutFolder += exportPageCount(job);
            return 0;
        }
        result = ExportBatchToPictures(job);
        jobTally().pagesMade += result.pagesFinished;
    } else {
        const PrintAlbumResult printed = PrintAlbum(job);
        countPrintedDocument(printed);
        result = printed.pages;
    }
    JobTally& tally = jobTally();
    tally.picturesUnread += result.picturesUnread;
    tally.cancelled = tally.cancelled || result.cancelled;
    return result.completed || result.cancelled ? 1 : 0;
}

}  // namespace quillora::app
