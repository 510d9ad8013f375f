// The export renderer: the pages of a batch drawn on the progress window's off-screen panel and
// saved as one picture file each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pagesetup/print_settings.h"

namespace quillora::app {

// Lengths in 0.1 mm, paper size unswapped (the loop turns landscape itself); `formatCode` 1 BMP,
// 2 JPEG, 3 GIF, 4 TIFF, 5 PNG; `useArguments` 1 takes the three lists from the arguments, 0
// from the current preview set. Always returns 1.
std::int32_t ExportBatchToPictures(const std::string& folder, std::int32_t paperWidth, std::int32_t paperHeight,
                                   std::int32_t photoMode, std::int32_t rows, std::int32_t columns,
                                   std::int32_t rowSpacing, std::int32_t columnSpacing, std::int32_t captionGap,
                                   const FontSpec& captionFont, std::int32_t marginTop, std::int32_t marginBottom,
                                   std::int32_t marginLeft, std::int32_t marginRight, std::int32_t headerOffset,
                                   std::int32_t footerOffset, std::int32_t orientation, std::int32_t formatCode,
                                   std::int32_t useArguments, const std::vector<std::string>& paths,
                                   const std::vector<float>& ratios, const std::vector<std::string>& captions,
                                   const std::string& header, const std::string& footer);

}  // namespace quillora::app
