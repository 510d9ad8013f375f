#include "pagesetup/preview_page.h"

#include "common/core_calls.h"
#include "pagesetup/page_drawing.h"
#include "pagesetup/page_surfaces.h"
#include "pagesetup/render_state.h"
#include "printjob/load_print_picture.h"
#include "printjob/progress_window.h"

namespace quillora::app {
namespace {

// The preview always shrinks large pictures towards the smallest target.
constexpr std::int32_t kPreviewOptimisation = 1;

void applyDefaults(PreviewPageInput& input)
{
    if (input.pageWidth < 1 || input.pageHeight < 1) {
        input.pageWidth = 210;
        input.pageHeight = 297;
    }
    if (input.rows <= 0 || input.columns <= 0) {
        input.rows = 5;
        input.columns = 5;
    }
    input.photoMode = normalisedPhotoMode(input.photoMode);
    if (input.captionFont.name.empty())
        input.captionFont = FontSpec{};
    if (input.landscape)
        std::swap(input.pageWidth, input.pageHeight);
}

}  // namespace

std::int32_t previewFontSize(std::int32_t size)
{
    return truncated(size / 96.0 * 25.4);
}

ByteSet RenderPreviewPage(PreviewPageInput input)
{
    RenderState& state = renderState();
    state.renderCancel = false;
    showProgressWindow();
    PanelSurface canvas(progressPagePanel());
    canvas.prepareAsPage();
    canvas.clear();

    applyDefaults(input);
    const std::int32_t captionSize = previewFontSize(input.captionFont.size);
    canvas.setFont(input.captionFont, captionSize);
    const std::int32_t textH = canvas.textHeight("大");
    canvas.resize(input.pageWidth, input.pageHeight);
    canvas.clear();

    const PageRules rules = previewRules();
    const PageLayout layout = computePageLayout(
        {input.pageWidth, input.pageHeight, input.marginTop, input.marginBottom, input.marginLeft, input.marginRight,
         input.rows, input.columns, input.rowSpacing, input.columnSpacing, input.captionGap, textH},
        rules);
    // Without room the page shows no cell at all (and a typed 100000 × 100000 grid never becomes
    // ten thousand million empty entries).
    const std::size_t cells = layout.hasRoom() ? static_cast<std::size_t>(layout.cellsPerPage()) : 0;
    if (input.paths.size() < cells)
        input.paths.resize(cells);
    if (input.captions.size() < input.paths.size())
        input.captions.resize(input.paths.size());
    if (input.ratios.size() < input.paths.size())
        input.ratios.assign(input.paths.size(), 0.0f);

    const PrintSettings& settings = printSettings();
    LineFonts headerFonts{settings.headerFont, previewFontSize(settings.headerFont.size), input.captionFont,
                          captionSize};
    drawHeaderFooterLine(canvas, true, input.header, headerFonts, 1, 1, input.pageWidth, input.pageHeight,
                         input.marginLeft, input.marginRight, input.headerOffset, input.footerOffset);

    setProgressRange(0, static_cast<std::int32_t>(cells));
    if (layout.hasRoom()) {
        CellRun run;
        run.paths = &input.paths;
        run.captions = &input.captions;
        run.ratios = &input.ratios;
        run.photoMode = input.photoMode;
        run.load = [&input](std::size_t index) { return LoadPrintPicture(input.paths[index], kPreviewOptimisation); };
        // On the canvas each picture goes as soon as it is drawn.
        run.drawn = [](std::int32_t picture) { unloadPicture(picture); };
        run.afterCell = [&state](std::size_t done) {
            processEvents();
            setProgressPosition(static_cast<std::int32_t>(done));
            // A progress window closed by the user ends the render like its cancel button.
            return state.renderCancel || !progressWindowLoaded();
        };
        bool stopped = false;
        drawPageCells(canvas, rules, layout, run, 0, cells, stopped);
    }

    LineFonts footerFonts{settings.footerFont, previewFontSize(settings.footerFont.size), input.captionFont,
                          captionSize};
    drawHeaderFooterLine(canvas, false, input.footer, footerFonts, 1, 1, input.pageWidth, input.pageHeight,
                         input.marginLeft, input.marginRight, input.headerOffset, input.footerOffset);

    ByteSet page = canvas.picture();
    if (input.landscape && !page.empty()) {
        BitmapObject bitmap;
        if (bitmap.loadFromData(page))
            page = bitmap.rotated(90.0, 0).data();
        processEvents();
    }

    setProgressPosition(1);
    closeProgressWindow();
    processEvents();
    state.renderCancel = false;
    return page;
}

}  // namespace quillora::app
