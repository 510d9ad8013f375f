// The pages of the running job that the export could not save: the export counts them (the page
// that failed and the pages of its batch that were then never made) and the drivers name them in
// the job's closing status.
#pragma once

#include <cstdint>

namespace quillora::app {

void resetUnsavedPages();
void noteUnsavedPages(std::int32_t count);
std::int32_t unsavedPages();

}  // namespace quillora::app
