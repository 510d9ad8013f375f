// Drawing pages of the album on a surface with the page model: one picture into its box, the
// cells of a page, the header and footer lines, and the page loop the printer and the export
// share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pagesetup/page_model.h"
#include "pagesetup/page_surface.h"

namespace quillora::app {

// Draws one picture into a box on the surface with DrawPictureInBox's rules; does nothing for
// picture 0.
void drawPictureInBox(PageSurface& surface, const PageRules& rules, std::int32_t picture, const PictureRect& box,
                      float ratio, std::int32_t mode);

// One page's cells, drawn from picture `next` on.
struct CellRun {
    const std::vector<std::string>* paths = nullptr;
    const std::vector<std::string>* captions = nullptr;
    const std::vector<float>* ratios = nullptr;
    std::int32_t photoMode = 0;
    // Loads picture `index` (0 = none).
    std::function<std::int32_t(std::size_t index)> load;
    // Called with each drawn picture: the canvases release it at once, the printer keeps it.
    std::function<void(std::int32_t picture)> drawn;
    // Called after each cell with the number of pictures done; true stops the run.
    std::function<bool(std::size_t done)> afterCell;
};

// Fills the cells of one page row by row from picture `next` until the page is full, `end` is
// reached or afterCell asks to stop. Returns the index of the next picture; `stopped` tells
// whether afterCell ended the run.
std::size_t drawPageCells(PageSurface& surface, const PageRules& rules, const PageLayout& layout, const CellRun& run,
                          std::size_t next, std::size_t end, bool& stopped);

// The header or footer line of a page: the line font set, the text placed and written, the
// caption font set again. Nothing happens for an empty text.
struct LineFonts {
    FontSpec lineFont;
    std::int32_t lineSize = 0;
    FontSpec captionFont;
    std::int32_t captionSize = 0;
};
void drawHeaderFooterLine(PageSurface& surface, bool isHeader, const std::string& text, const LineFonts& fonts,
                          std::int32_t page, std::int32_t totalPages, std::int32_t width, std::int32_t height,
                          std::int32_t left, std::int32_t right, std::int32_t headerOffset,
                          std::int32_t footerOffset);

// The pages of a batch: header, cells, footer, then the page handed on, until every picture is
// drawn or a cell asks to stop (the page it stopped on is still finished).
struct PageRun {
    PageRules rules;
    PageLayout layout;
    CellRun cells;
    std::string header;
    std::string footer;
    LineFonts headerFonts;
    LineFonts footerFonts;
    // What PlaceHeaderFooter is given for the lines.
    std::int32_t lineWidth = 0;
    std::int32_t lineHeight = 0;
    std::int32_t lineLeft = 0;
    std::int32_t lineRight = 0;
    std::int32_t headerOffset = 0;
    std::int32_t footerOffset = 0;
    std::int32_t totalPages = 0;
    // Called with the page number after each footer (the export writes the page, the printer
    // turns it); false ends the run.
    std::function<bool(std::int32_t page)> finishPage;
};

// Draws the pages of `count` pictures; returns the number of pages finished. A run without room
// for a cell draws nothing.
std::int32_t drawPages(PageSurface& surface, const PageRun& run, std::size_t count);

}  // namespace quillora::app
