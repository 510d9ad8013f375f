// The export renderer: each page of a batch drawn on the progress window's hidden panel at one
// pixel per 0.1 mm (an A4 page is 2100 × 2970 pixels) and handed to the page output.
#include "printjob/export_pages.h"

#include "common/core_calls.h"
#include "common/picture_calls.h"
#include "pagesetup/page_drawing.h"
#include "pagesetup/page_surfaces.h"
#include "pagesetup/render_state.h"
#include "printjob/load_print_picture.h"
#include "printjob/page_output.h"
#include "printjob/progress_window.h"

namespace quillora::app {
namespace {

// Point sizes on the 254-pixels-per-inch panel against the screen's 96: 10 × 25.4 ÷ 96.
constexpr double kExportFontScale = 2.6458;

std::int32_t exportFontSize(std::int32_t size)
{
    return truncated(size * kExportFontScale);
}

}  // namespace

std::int32_t ExportBatchToPictures(const std::string& folder, std::int32_t paperWidth, std::int32_t paperHeight,
                                   std::int32_t photoMode, std::int32_t rows, std::int32_t columns,
                                   std::int32_t rowSpacing, std::int32_t columnSpacing, std::int32_t captionGap,
                                   const FontSpec& captionFont, std::int32_t marginTop, std::int32_t marginBottom,
                                   std::int32_t marginLeft, std::int32_t marginRight, std::int32_t headerOffset,
                                   std::int32_t footerOffset, std::int32_t orientation, std::int32_t formatCode,
                                   std::int32_t useArguments, const std::vector<std::string>& paths,
                                   const std::vector<float>& ratios, const std::vector<std::string>& captions,
                                   const std::string& header, const std::string& footer)
{
    RenderState& state = renderState();
    state.renderCancel = false;
    showProgressWindow();
    PanelSurface panel(progressPagePanel());
    panel.prepareAsPage();
    panel.clear();

    const PreviewSet& previewed = previewSet();
    std::vector<std::string> pictures = useArguments ? paths : previewed.paths;
    std::vector<float> pictureRatios = useArguments ? ratios : previewed.values;
    std::vector<std::string> pictureCaptions = useArguments ? captions : previewed.captions;
    if (paperWidth < 1 || paperHeight < 1) {
        paperWidth = 2100;
        paperHeight = 2970;
    }
    photoMode = normalisedPhotoMode(photoMode);
    if (rows <= 0 || columns <= 0) {
        rows = 5;
        columns = 5;
    }
    if (orientation == 1)
        std::swap(paperWidth, paperHeight);

    const std::int32_t captionSize = exportFontSize(captionFont.size);
    panel.setFont(captionFont, captionSize);
    std::int32_t textH = panel.textHeight("大");
    panel.resize(paperWidth, paperHeight);
    panel.clear();

    const std::size_t n = pictures.size();
    setProgressRange(0, static_cast<std::int32_t>(n));
    if (pictureRatios.size() < n)
        pictureRatios.assign(n, 0.0f);
    captionGap = captionGapRule(captionGap, textH);
    // Without captions the pictures take the whole cell.
    if (pictureCaptions.empty())
        textH = 0;
    pictureCaptions.resize(n);

    const PageRules rules = exportRules();
    const PageLayout layout = computePageLayout({paperWidth, paperHeight, marginTop, marginBottom, marginLeft,
                                                 marginRight, rows, columns, rowSpacing, columnSpacing, captionGap,
                                                 textH},
                                                rules);
    const std::int32_t totalPages = pagesNeeded(static_cast<std::int64_t>(n), layout.cellsPerPage());

    const PrintSettings& settings = printSettings();
    PageRun run;
    run.rules = rules;
    run.layout = layout;
    run.cells.paths = &pictures;
    run.cells.captions = &pictureCaptions;
    run.cells.ratios = &pictureRatios;
    run.cells.photoMode = photoMode;
    run.cells.load = [&pictures, &settings](std::size_t index) {
        ReadNextPrintPicturesAhead(pictures, index, settings.optimisation);
        return LoadPrintPicture(pictures[index], settings.optimisation);
    };
    // On the canvas each picture goes as soon as it is drawn.
    run.cells.drawn = [](std::int32_t picture) { unloadPicture(picture); };
    run.cells.afterCell = [&state](std::size_t done) {
        setProgressPosition(static_cast<std::int32_t>(done));
        return state.renderCancel;
    };
    run.header = header;
    run.footer = footer;
    run.headerFonts = {settings.headerFont, exportFontSize(settings.headerFont.size), captionFont, captionSize};
    run.footerFonts = {settings.footerFont, exportFontSize(settings.footerFont.size), captionFont, captionSize};
    run.lineWidth = paperWidth;
    run.lineHeight = paperHeight;
    run.lineLeft = marginLeft;
    run.lineRight = marginRight;
    run.headerOffset = headerOffset;
    run.footerOffset = footerOffset;
    run.totalPages = totalPages;
    run.finishPage = [&](std::int32_t page) {
        // A page that cannot be written ends the batch; the output has told the user why.
        const bool written = OutputExportPage(panel.unit(), folder, page, orientation, formatCode);
        processEvents();
        panel.clear();
        // The batch also ends when the user has closed the progress window, and its panel with it.
        return written && progressWindowLoaded();
    };
    // A page without room for a cell would never advance; such a batch writes nothing.
    if (n > 0 && !layout.hasRoom())
        messageBox(kNoRoomMessage, 0, kNoRoomTitle);
    drawPages(panel, run, n);

    processEvents();
    hideProgressWindow();
    closeProgressWindow();
    processEvents();
    state.renderCancel = false;
    return 1;
}

}  // namespace quillora::app
