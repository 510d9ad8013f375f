// The settings record as a page job: what the record holds, in the unit the page loops draw in.
#pragma once

#include "pages/page_job.h"
#include "pagesetup/print_settings.h"

namespace quillora::app {

// The job a batch is printed or exported with: every length of the record in 0.1 mm, the output
// the record chose (the folder of page files is the caller's to fill in), the batch's pictures and
// lines.
PageJob batchPageJob(const PrintSettings& settings, PageBatch batch);

// What the preview takes from the record as well: the three fonts and the two alignments.
void takeRecordFonts(PageJob& job, const PrintSettings& settings);

// The level pictures are loaded at for the record's choice: `wanted` for the choices 0 to 5, none
// for a value the settings window cannot give.
std::int32_t optimisationLevel(const PrintSettings& settings, std::int32_t wanted);

}  // namespace quillora::app
