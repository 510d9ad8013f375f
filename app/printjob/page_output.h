// Saving one finished export page: the page panel's picture stamped with 300 pixels per inch,
// turned for landscape, written as BMP or through the image-encoding service.
#pragma once

#include <cstdint>
#include <string>

#include "common/unit_calls.h"
#include "pages/page_job.h"

namespace quillora::app {

// Names the page folder\D_T_page (D = year×10000 + month×100 + day, T = hour×10000 + minute×100
// + second, no leading zeros, every "\\" made one) with the format's extension, never replacing
// an existing file, and writes the picture of `panel` there. On failure it shows a message box
// naming the file and the reason, says so in the main window's status bar and returns false; the
// caller then ends the batch.
bool OutputExportPage(const UnitRef& panel, const std::string& folder, std::int32_t pageNumber,
                      Orientation orientation, std::int32_t formatCode);

}  // namespace quillora::app
