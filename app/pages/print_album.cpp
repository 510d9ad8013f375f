// The printer as a page sink: drawn in 0.1 mm from the margin box; the document starts with the
// job and each finished page is turned.
#include "pages/print_album.h"

#include "common/core_calls.h"
#include "common/unit_calls.h"
#include "pages/page_surfaces.h"
#include "pages/progress_window.h"
#include "quillora/core_commands.h"
#include "quillora/control_unit_commands.h"
#include "quillora/printer_commands.h"

namespace quillora::app {
namespace {

// Scale mode 1: every coordinate and size in 0.1 mm.
constexpr std::int32_t kTenthsOfMillimetre = 1;
constexpr std::int32_t kCustomPaper = -1;
// The document starts without asking the user and with the printer's status dialog.
constexpr bool kShowPrintDialog = false;
constexpr bool kShowStatusDialog = true;

// minute × 100 + second of now, then the paper and orientation: "4512_宽高：2100×2970，方向：0".
std::string documentName(const PageJob& job)
{
    const RuntimeValue now = callCore(&Now);
    const std::int64_t stamp = asInt(callCore(&MinuteOf, now)) * 100 + asInt(callCore(&SecondOf, now));
    return toText(stamp) + "_宽高：" + toText(job.paperWidth) + "×" + toText(job.paperHeight) + "，方向：" +
           toText(static_cast<std::int32_t>(job.orientation));
}

void setDefaultPrinter(const std::string& name)
{
    callCore(&SetDefaultPrinter, textValue(name));
}

class PrinterSink final : public PageSink {
public:
    PrinterSink() : rules_(printerRules()), printer_(progressPrinter()) {}

    const PageRules& rules() const override { return rules_; }
    PageSurface& surface() override { return printer_; }

    bool begin(const PageJob& job) override
    {
        setProperties(job);
        defaultPrinter_ = job.output.defaultPrinter;
        setDefaultPrinter(job.output.printerName);
        // The paper goes as stored: with orientation 1 the printer driver turns the page.
        started_ = asBool(callMethod(printer_.unit(), &printerStartPrinting, makeBool(kShowPrintDialog),
                                     makeBool(kShowStatusDialog), makeInt(kCustomPaper),
                                     makeInt(static_cast<std::int32_t>(job.orientation)), makeInt(job.paperWidth),
                                     makeInt(job.paperHeight)));
        if (!started_)
            setDefaultPrinter(defaultPrinter_);
        return started_;
    }

    // A job that ended under us (the queue refused, "中止打印") turns no more pages.
    bool endPage(std::int32_t) override { return asBool(callMethod(printer_.unit(), &printerNewPage)); }

    void end() override
    {
        if (!started_)
            return;
        callMethod(printer_.unit(), &printerEndPrinting);
        setDefaultPrinter(defaultPrinter_);
    }

private:
    void setProperties(const PageJob& job)
    {
        const UnitRef& printer = printer_.unit();
        writeTextProperty(printer, kindProperty(kPrinterDocumentName), documentName(job));
        writeProperty(printer, kindProperty(kPrinterScaleMode), makeInt(kTenthsOfMillimetre));
        writeFontProperty(printer, kPrinterFont, job.captionFont, job.captionFont.size);
        writeProperty(printer, kindProperty(kPrinterCopies), makeInt(job.copies));
        writeProperty(printer, kindProperty(kPrinterMarginTop), makeInt(job.marginTop));
        writeProperty(printer, kindProperty(kPrinterMarginLeft), makeInt(job.marginLeft));
        writeProperty(printer, kindProperty(kPrinterMarginRight), makeInt(job.marginRight));
        writeProperty(printer, kindProperty(kPrinterMarginBottom), makeInt(job.marginBottom));
    }

    PageRules rules_;
    PrinterSurface printer_;
    std::string defaultPrinter_;
    bool started_ = false;
};

}  // namespace

RenderResult PrintAlbum(const PageJob& job)
{
    PrinterSink sink;
    return renderPages(job, sink);
}

}  // namespace quillora::app
