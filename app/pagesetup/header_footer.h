// The header and footer line of a page: placeholders replaced, position worked out on the surface
// the page is drawn on.
#pragma once

#include <cstdint>
#include <string>

#include "pagesetup/page_surface.h"

namespace quillora::app {

struct PlacedLine {
    std::string text;  // the text with every placeholder replaced
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Replaces &P, &A, &Y, &M, &D, &H, &F (minute) and &S in that order (every occurrence, letter
// case ignored, each date part read from the clock at its own step), measures the result in the
// surface's current font (which the caller has set to the header or footer font) and places it:
// a header `headerOffset` below the top, a footer `footerOffset` above `height`, aligned by the
// record's headerAlign or footerAlign between `left` and `width - right`.
PlacedLine PlaceHeaderFooter(bool isHeader, PageSurface& surface, const std::string& text, std::int32_t page,
                             std::int32_t totalPages, std::int32_t width, std::int32_t height, std::int32_t left,
                             std::int32_t right, std::int32_t headerOffset, std::int32_t footerOffset);

}  // namespace quillora::app
