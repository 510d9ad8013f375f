// The preview renderer: the first page of a picture set drawn on the progress window's hidden
// panel at one pixel per millimetre and handed back as picture data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/picture_calls.h"
#include "pagesetup/print_settings.h"

namespace quillora::app {

// Whole millimetres; rowSpacing, columnSpacing and captionGap already converted from 0.1 mm.
struct PreviewPageInput {
    std::int32_t pageWidth = 0;
    std::int32_t pageHeight = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rowSpacing = 0;
    std::int32_t columnSpacing = 0;
    std::int32_t captionGap = 0;
    std::int32_t marginTop = 0;
    std::int32_t marginBottom = 0;
    std::int32_t marginLeft = 0;
    std::int32_t marginRight = 0;
    std::int32_t headerOffset = 0;
    std::int32_t footerOffset = 0;
    std::int32_t photoMode = 0;
    bool landscape = false;
    FontSpec captionFont;
    std::string header;
    std::string footer;
    std::vector<std::string> paths;
    std::vector<float> ratios;
    std::vector<std::string> captions;
};

// A font size in points as a size on the one-pixel-per-millimetre canvas: truncate(size ÷ 96 × 25.4).
std::int32_t previewFontSize(std::int32_t size);

// Draws the first page (cells 1 to rows × columns) and returns it as BMP data, turned a quarter
// clockwise for landscape so it stands in the portrait panel. Empty when nothing could be drawn.
ByteSet RenderPreviewPage(PreviewPageInput input);

}  // namespace quillora::app
