// The header and footer line of a page: placeholders replaced, position worked out on the surface
// the page is drawn on.
#pragma once

#include <cstdint>
#include <string>

#include "pages/page_job.h"
#include "pages/page_surface.h"

namespace quillora::app {

enum class LineKind { Header, Footer };

// What the lines are placed on: a header hangs from the top of a `width` × `height` area, a footer
// rises from its bottom, both aligned between `left` and `width - right`. On the canvases that is
// the paper with its side margins; on the printer, whose origin is the margin box's corner, the
// box itself without margins.
struct LineFrame {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};

struct PageNumbers {
    std::int32_t page = 1;
    std::int32_t totalPages = 1;
};

struct PlacedLine {
    std::string text;  // the text with every placeholder replaced
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Replaces &P, &A, &Y, &M, &D, &H, &F (minute) and &S in that order (every occurrence, letter
// case ignored, each date part read from the clock at its own step), measures the result in the
// surface's current font (which the caller has set to the line's font) and places it: a header
// `line.offset` below the frame's top, a footer `line.offset` above its bottom, aligned by
// `line.align`.
PlacedLine PlaceHeaderFooter(PageSurface& surface, LineKind kind, const PageLine& line, const LineFrame& frame,
                             PageNumbers numbers);

}  // namespace quillora::app
