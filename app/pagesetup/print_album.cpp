// The printer renderer: every page of a batch on the progress window's printer unit, in 0.1 mm
// from the margin box, as one print document.
#include "pagesetup/print_album.h"

#include "common/core_calls.h"
#include "common/picture_calls.h"
#include "common/window_units.h"
#include "pagesetup/page_drawing.h"
#include "pagesetup/page_surfaces.h"
#include "pagesetup/render_state.h"
#include "printjob/load_print_picture.h"
#include "printjob/progress_window.h"
#include "quillora/core_commands.h"
#include "quillora/control_unit_commands.h"
#include "quillora/printer_commands.h"

namespace quillora::app {
namespace {

// Scale mode 1: every coordinate and size in 0.1 mm.
constexpr std::int32_t kTenthsOfMillimetre = 1;
constexpr std::int32_t kCustomPaper = -1;

// minute × 100 + second of now, then the paper and orientation: "4512_宽高：2100×2970，方向：0".
std::string documentName(const PrintSettings& settings)
{
    const RuntimeValue now = callCore(&Now);
    const std::int64_t stamp = asInt(callCore(&MinuteOf, now)) * 100 + asInt(callCore(&SecondOf, now));
    return toText(stamp) + "_宽高：" + toText(settings.paperWidth) + "×" + toText(settings.paperHeight) +
           "，方向：" + toText(settings.orientation);
}

void setDefaultPrinter(const std::string& name)
{
    callCore(&SetDefaultPrinter, textValue(name));
}

void setPrinterProperties(const UnitRef& printer, const PrintSettings& settings)
{
    const std::string name = documentName(settings);
    writeTextProperty(printer, kindProperty(kPrinterDocumentName), name);
    writeProperty(printer, kindProperty(kPrinterScaleMode), makeInt(kTenthsOfMillimetre));
    writeFontProperty(printer, kPrinterFont, settings.captionFont, settings.captionFont.size);
    writeProperty(printer, kindProperty(kPrinterCopies), makeInt(settings.copies));
    writeProperty(printer, kindProperty(kPrinterMarginTop), makeInt(settings.marginTop));
    writeProperty(printer, kindProperty(kPrinterMarginLeft), makeInt(settings.marginLeft));
    writeProperty(printer, kindProperty(kPrinterMarginRight), makeInt(settings.marginRight));
    writeProperty(printer, kindProperty(kPrinterMarginBottom), makeInt(settings.marginBottom));
}

bool startPrinting(const UnitRef& printer, const PrintSettings& settings)
{
    return asBool(callMethod(printer, &printerStartPrinting, makeBool(false), makeBool(true), makeInt(kCustomPaper),
                             makeInt(settings.orientation), makeInt(settings.paperWidth),
                             makeInt(settings.paperHeight)));
}

// The progress window goes and the flags are cleared however the job ended.
void endJob()
{
    hideProgressWindow();
    renderState().renderCancel = false;
    closeProgressWindow();
    processEvents();
}

}  // namespace

std::int32_t PrintAlbum(const std::vector<std::string>& paths, std::int32_t rows, std::int32_t columns,
                        std::int32_t rowSpacing, std::int32_t columnSpacing, const std::vector<float>& ratios,
                        const std::vector<std::string>& captions, std::int32_t captionGap, std::int32_t paperWidth,
                        std::int32_t paperHeight, std::int32_t photoMode, const std::string& header,
                        const std::string& footer, std::int32_t headerOffset, std::int32_t footerOffset)
{
    const PrintSettings settings = printSettings();
    if (paperWidth <= 0 || paperHeight <= 0) {
        paperWidth = 2100;
        paperHeight = 2970;
    }
    // Checked before anything starts: a page without a cell would divide by zero, and a document
    // that cannot hold a picture is not worth a sheet of paper.
    {
        const PageLayout probe = computePageLayout({paperWidth, paperHeight, settings.marginTop, settings.marginBottom,
                                                    settings.marginLeft, settings.marginRight, rows, columns,
                                                    rowSpacing, columnSpacing, captionGap, 0},
                                                   printerRules());
        if (!probe.hasRoom()) {
            messageBox(kNoRoomMessage, 0, kNoRoomTitle);
            return 0;
        }
    }

    RenderState& state = renderState();
    state.renderCancel = false;
    showProgressWindow();
    const UnitRef printerUnit = progressPrinter();
    PrinterSurface printer(printerUnit);
    setPrinterProperties(printerUnit, settings);
    setDefaultPrinter(settings.printerName);
    if (!startPrinting(printerUnit, settings)) {
        setDefaultPrinter(settings.defaultPrinter);
        endJob();
        return 0;
    }

    const PageRules rules = printerRules();
    const std::int32_t textH = printer.textHeight("大");
    const PageLayout layout = computePageLayout({paperWidth, paperHeight, settings.marginTop, settings.marginBottom,
                                                 settings.marginLeft, settings.marginRight, rows, columns, rowSpacing,
                                                 columnSpacing, captionGap, textH},
                                                rules);
    std::vector<float> pictureRatios = ratios;
    if (pictureRatios.size() < paths.size())
        pictureRatios.assign(paths.size(), 0.0f);
    std::vector<std::string> pictureCaptions = captions;
    pictureCaptions.resize(paths.size());

    const std::int32_t n = static_cast<std::int32_t>(paths.size());
    const std::int32_t totalPages = pagesNeeded(n, layout.cellsPerPage());
    setProgressRange(0, n);

    // The printer may keep reading a picture until the page is out, so each stays loaded to the end.
    LoadedPictures prepared;
    PageRun run;
    run.rules = rules;
    run.layout = layout;
    run.cells.paths = &paths;
    run.cells.captions = &pictureCaptions;
    run.cells.ratios = &pictureRatios;
    run.cells.photoMode = normalisedPhotoMode(photoMode);
    run.cells.load = [&paths, &settings](std::size_t index) {
        ReadNextPrintPicturesAhead(paths, index, settings.optimisation);
        return LoadPrintPicture(paths[index], settings.optimisation);
    };
    run.cells.drawn = [&prepared](std::int32_t picture) { prepared.hold(picture); };
    // Events are not processed between cells: the printer unit serves them while it writes.
    run.cells.afterCell = [&state](std::size_t done) {
        setProgressPosition(static_cast<std::int32_t>(done));
        return state.renderCancel;
    };
    run.header = header;
    run.footer = footer;
    run.headerFonts = {settings.headerFont, settings.headerFont.size, settings.captionFont, settings.captionFont.size};
    run.footerFonts = {settings.footerFont, settings.footerFont.size, settings.captionFont, settings.captionFont.size};
    // The printer counts from the margin box, so the lines are placed on the box with the
    // offsets taken from its edges.
    run.lineWidth = layout.availW;
    run.lineHeight = layout.availH;
    run.headerOffset = headerOffset - settings.marginTop;
    run.footerOffset = footerOffset - settings.marginBottom;
    run.totalPages = totalPages;
    bool printed = true;
    run.finishPage = [&printerUnit, &printed](std::int32_t) {
        // A job that ended under us (the queue refused, "中止打印") turns no more pages.
        if (!asBool(callMethod(printerUnit, &printerNewPage))) {
            printed = false;
            return false;
        }
        processEvents();
        // A progress window closed by the user takes its printer unit with it.
        return progressWindowLoaded();
    };
    drawPages(printer, run, paths.size());

    callMethod(printerUnit, &printerEndPrinting);
    setDefaultPrinter(settings.defaultPrinter);
    processEvents();
    hideProgressWindow();
    prepared.releaseAll();
    endJob();
    return printed ? 1 : 0;
}

}  // namespace quillora::app
