// The printer renderer: every page of a job on the progress window's printer unit, as one print
// document.
#pragma once

#include <string>

#include "pages/page_job.h"
#include "pages/render_pages.h"

namespace quillora::app {

// What became of a job's print document.
enum class PrintedDocument {
    NotAttempted,  // the job made no document (a layout without room for a picture)
    Printed,       // handed to the printer (its queue, or the built-in PDF printer's file)
    Aborted,       // dropped by the user's "中止打印"
    NotPrinted,    // the printer could not take it; the user has been told why, and where the
                   // pages already made were kept
};

struct PrintAlbumResult {
    RenderResult pages;
    PrintedDocument document = PrintedDocument::NotAttempted;
    // The full path of the file a printed document was written as (the built-in PDF printer's
    // PDF file); empty when it went to a print queue.
    std::string writtenDocument;
};

// Prints the job (lengths in 0.1 mm) on job.output.printerName, made the program's default
// printer for the document and job.output.defaultPrinter again afterwards. The document goes to
// that printer or nowhere: when the printer cannot be made the default or cannot start, or its
// document is not delivered, a message box names the document and the reason (and the PDF file
// the document was kept as, or why it could not be kept) and the result says NotPrinted.
PrintAlbumResult PrintAlbum(const PageJob& job);

}  // namespace quillora::app
