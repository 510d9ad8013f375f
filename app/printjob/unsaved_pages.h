// The pages of the running job that the export could not save: the page output counts them and
// the drivers name them in the job's closing status.
#pragma once

#include <cstdint>

namespace quillora::app {

void resetUnsavedPages();
void noteUnsavedPage();
std::int32_t unsavedPages();

}  // namespace quillora::app
