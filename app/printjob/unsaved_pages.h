// The pages of the running job that the export could not save: the export counts them (the page
// that failed and the pages of its batch that were then never made) and the drivers name them in
// the job's closing status.
#pragma once

#include <cstdint>

namespace quillora::app {

void resetUnsavedPages();
void noteUnsavedPages(std::int32_t count);
std::int32_t unsavedPages();

// Whether the user was already told, in a message box, of a page this job could not save. One
// set is a batch per page, so a folder that cannot be written would otherwise bring the box back
// for every page; after the first the status bar names each lost page and the closing status
// counts them all.
bool lossAlreadyShown();
void noteLossShown();

}  // namespace quillora::app
