// The printer renderer: every page of a job on the progress window's printer unit, as one print
// document.
#pragma once

#include "pages/page_job.h"
#include "pages/render_pages.h"

namespace quillora::app {

// Prints the job (lengths in 0.1 mm) on job.output.printerName, made the program's default
// printer for the document and job.output.defaultPrinter again afterwards.
RenderResult PrintAlbum(const PageJob& job);

}  // namespace quillora::app
