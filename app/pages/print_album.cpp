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

// The stop icon and one OK button.
constexpr std::int32_t kFailureBoxStyle = 16;
constexpr std::string_view kFailureTitle = "打印失败";

bool setDefaultPrinter(const std::string& name)
{
    return asBool(callCore(&SetDefaultPrinter, textValue(name)));
}

// The printer could not take the document at all: nothing was drawn.
void reportNotStarted(const std::string& document, const std::string& printer, const std::string& reason)
{
    messageBox("文档“" + document + "”没有打印：" + reason + "。\r\n打印机“" + printer +
                   "”现在无法使用，文档也没有改送别的打印机；这个打印作业到此停止。",
               kFailureBoxStyle, kFailureTitle);
}

// The document was made but not delivered: where its pages are now, or why they are not.
void reportNotDelivered(const std::string& document, const std::string& reason, const std::string& kept,
                        const std::string& keepProblem)
{
    std::string text = "文档“" + document + "”没有打印：" + reason + "。\r\n";
    if (!kept.empty())
        text += "已经做好的页面保存成了 PDF 文件，在 PDF 打印机存放文档的文件夹“Quillora 打印文件”里：\r\n" + kept +
                "\r\n";
    else if (!keepProblem.empty())
        text += "已经做好的页面也没能保存成 PDF 文件（" + keepProblem + "），没有留下不完整的文件。\r\n";
    else
        text += "已经做好的页面没能保存下来，也没有留下不完整的文件。\r\n";
    messageBox(text + "这个打印作业到此停止。", kFailureBoxStyle, kFailureTitle);
}

class PrinterSink final : public PageSink {
public:
    PrinterSink() : rules_(printerRules()), printer_(progressPrinter()) {}

    const PageRules& rules() const override { return rules_; }
    PageSurface& surface() override { return printer_; }
    PrintedDocument document() const { return document_; }
    const std::string& writtenDocument() const { return writtenDocument_; }

    bool begin(const PageJob& job) override
    {
        setProperties(job);
        defaultPrinter_ = job.output.defaultPrinter;
        document_ = PrintedDocument::NotPrinted;
        // A printer that cannot be made the default would leave the document to whichever printer
        // the default is now.
        if (!setDefaultPrinter(job.output.printerName)) {
            std::string reason = takeText(callCore(&GetPrinterProblem, textValue(job.output.printerName)));
            if (reason.empty())
                reason = "它不在打印机列表里";
            reportNotStarted(documentName_, job.output.printerName, reason);
            return false;
        }
        // The paper goes as stored: with orientation 1 the printer driver turns the page.
        started_ = asBool(callMethod(printer_.unit(), &printerStartPrinting, makeBool(kShowPrintDialog),
                                     makeBool(kShowStatusDialog), makeInt(kCustomPaper),
                                     makeInt(static_cast<std::int32_t>(job.orientation)), makeInt(job.paperWidth),
                                     makeInt(job.paperHeight)));
        if (!started_) {
            setDefaultPrinter(defaultPrinter_);
            if (outcome() == kPrinterJobAborted) {
                document_ = PrintedDocument::Aborted;
            } else {
                std::string reason = readTextProperty(printer_.unit(), kindProperty(kPrinterJobProblem));
                if (reason.empty())
                    reason = "打印没能开始";
                reportNotStarted(documentName_, job.output.printerName, reason);
            }
        }
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
        switch (outcome()) {
        case kPrinterJobDelivered:
            document_ = PrintedDocument::Printed;
            writtenDocument_ = readTextProperty(printer_.unit(), kindProperty(kPrinterWrittenDocument));
            break;
        case kPrinterJobAborted:
            document_ = PrintedDocument::Aborted;
            break;
        case kPrinterJobNotDelivered: {
            const UnitRef& printer = printer_.unit();
            reportNotDelivered(documentName_, readTextProperty(printer, kindProperty(kPrinterJobProblem)),
                               readTextProperty(printer, kindProperty(kPrinterKeptDocument)),
                               readTextProperty(printer, kindProperty(kPrinterKeepProblem)));
            document_ = PrintedDocument::NotPrinted;
            break;
        }
        default:
            // The printer unit went with a progress window the user closed; it ended the job as
            // EndPrinting does.
            document_ = PrintedDocument::NotAttempted;
            break;
        }
    }

private:
    std::int32_t outcome() const { return asInt(readProperty(printer_.unit(), kindProperty(kPrinterJobOutcome))); }

    void setProperties(const PageJob& job)
    {
        const UnitRef& printer = printer_.unit();
        documentName_ = documentName(job);
        writeTextProperty(printer, kindProperty(kPrinterDocumentName), documentName_);
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
    std::string documentName_;
    bool started_ = false;
    PrintedDocument document_ = PrintedDocument::NotAttempted;
    std::string writtenDocument_;
};

}  // namespace

PrintAlbumResult PrintAlbum(const PageJob& job)
{
    PrinterSink sink;
    PrintAlbumResult result;
    result.pages = renderPages(job, sink);
    result.document = sink.document();
    result.writtenDocument = sink.writtenDocument();
    return result;
}

}  // namespace quillora::app
