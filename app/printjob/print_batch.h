// One batch of a print job: the settings confirmed, the output chosen, the pages made.
#pragma once

#include <cstdint>

#include "pages/page_job.h"

namespace quillora::app {

// 0 when the settings were not confirmed or the folder prompt was cancelled, else 1 when the
// pages went out (all of them, or as many as the user let run before cancelling) and 0 when they
// could not. A print document the printer did not take is counted (unprinted_documents.h).
std::int32_t PrintBatch(PageBatch batch);

}  // namespace quillora::app
