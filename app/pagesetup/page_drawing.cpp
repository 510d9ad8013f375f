#include "pagesetup/page_drawing.h"

#include "common/picture_calls.h"
#include "pagesetup/header_footer.h"

namespace quillora::app {

void drawPictureInBox(PageSurface& surface, const PageRules& rules, std::int32_t picture, const PictureRect& box,
                      float ratio, std::int32_t mode)
{
    if (picture == 0)
        return;
    std::int32_t picW = 0;
    std::int32_t picH = 0;
    if (rules.naturalPixels > 0) {
        picW = naturalLength(picturePixelWidth(picture), rules);
        picH = naturalLength(picturePixelHeight(picture), rules);
    } else {
        picW = surface.pictureWidth(picture);
        picH = surface.pictureHeight(picture);
    }
    // A picture smaller than one unit still has its own proportions.
    if ((picW <= 0 || picH <= 0) && !(ratio >= 0.001f)) {
        const std::int32_t pixelW = picturePixelWidth(picture);
        const std::int32_t pixelH = picturePixelHeight(picture);
        if (pixelW > 0 && pixelH > 0)
            ratio = static_cast<float>(pixelW) / static_cast<float>(pixelH);
    }
    PictureRect drawn;
    if (fitPictureInBox(box.x, box.y, box.width, box.height, picW, picH, ratio, mode, drawn))
        surface.drawPicture(picture, drawn.x, drawn.y, drawn.width, drawn.height);
}

std::size_t drawPageCells(PageSurface& surface, const PageRules& rules, const PageLayout& layout, const CellRun& run,
                          std::size_t next, std::size_t end, bool& stopped)
{
    stopped = false;
    for (std::int32_t i = 0; i < layout.rows && next < end; ++i) {
        for (std::int32_t j = 0; j < layout.columns && next < end; ++j) {
            const std::int32_t picture = run.load ? run.load(next) : 0;
            const float ratio = next < run.ratios->size() ? (*run.ratios)[next] : 0.0f;
            drawPictureInBox(surface, rules, picture, layout.pictureBox(i, j), ratio, run.photoMode);
            if (run.drawn && picture != 0)
                run.drawn(picture);
            if (layout.textH > kLengthTolerance && next < run.captions->size()) {
                const std::string& caption = (*run.captions)[next];
                if (!caption.empty()) {
                    std::int32_t x = 0;
                    std::int32_t y = 0;
                    layout.captionPosition(i, j, surface.textWidth(caption), x, y);
                    surface.writeText(x, y, caption);
                }
            }
            ++next;
            if (run.afterCell && run.afterCell(next)) {
                stopped = true;
                return next;
            }
        }
    }
    return next;
}

void drawHeaderFooterLine(PageSurface& surface, bool isHeader, const std::string& text, const LineFonts& fonts,
                          std::int32_t page, std::int32_t totalPages, std::int32_t width, std::int32_t height,
                          std::int32_t left, std::int32_t right, std::int32_t headerOffset,
                          std::int32_t footerOffset)
{
    if (text.empty())
        return;
    surface.setFont(fonts.lineFont, fonts.lineSize);
    const PlacedLine line = PlaceHeaderFooter(isHeader, surface, text, page, totalPages, width, height, left, right,
                                              headerOffset, footerOffset);
    surface.writeText(line.x, line.y, line.text);
    surface.setFont(fonts.captionFont, fonts.captionSize);
}

std::int32_t drawPages(PageSurface& surface, const PageRun& run, std::size_t count)
{
    if (!run.layout.hasRoom())
        return 0;
    std::size_t next = 0;
    std::int32_t page = 0;
    while (next < count) {
        ++page;
        drawHeaderFooterLine(surface, true, run.header, run.headerFonts, page, run.totalPages, run.lineWidth,
                             run.lineHeight, run.lineLeft, run.lineRight, run.headerOffset, run.footerOffset);
        bool stopped = false;
        next = drawPageCells(surface, run.rules, run.layout, run.cells, next, count, stopped);
        // A stop skips the rest of the batch; this page still gets its footer and goes out.
        if (stopped)
            next = count + 1;
        drawHeaderFooterLine(surface, false, run.footer, run.footerFonts, page, run.totalPages, run.lineWidth,
                             run.lineHeight, run.lineLeft, run.lineRight, run.headerOffset, run.footerOffset);
        if (run.finishPage && !run.finishPage(page))
            break;
    }
    return page;
}

}  // namespace quillora::app
