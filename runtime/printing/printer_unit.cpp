#include "runtime/printing/printer_unit.h"

#include "platform/device_fonts.h"
#include "quillora/printer_commands.h"
#include "runtime/core/memory.h"
#include "runtime/core/message_loop.h"
#include "runtime/printing/printer_status_dialog.h"

#include <algorithm>
#include <cstdio>

namespace quillora::runtime {
namespace {

RuntimeValue integerValue(std::int64_t value)
{
    return makeInt(static_cast<std::int32_t>(value));
}

}  // namespace

PrinterUnit::PrinterUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
    : Unit(window, unitTemplate), canvas_(DrawingCanvas::FontRule::Printer, platform::kTransparentTextBackground)
{
    canvas_.takeTemplateFont(template_.properties.font);
}

PrinterUnit::~PrinterUnit()
{
    *alive_ = false;
    // A window closed in the middle of a job ends it as EndPrinting would.
    if (job_)
        endJob(JobEnd::Deliver);
    closeStatusDialog();
}

std::string PrinterUnit::describe() const
{
    if (!job_)
        return "printer idle";
    return "printer printing on " + job_->printerName + ", page " + std::to_string(pageNumber_);
}

// --- properties ---------------------------------------------------------------------------------

std::optional<RuntimeValue> PrinterUnit::readKindProperty(std::int32_t index)
{
    if (index >= kPrinterScaleMode && index <= kPrinterFont)
        return canvas_.readState(index - kPrinterScaleMode);
    switch (index) {
    case kPrinterDocumentName: return makePointer(TypeCode::Text, newTextBlock(documentName_));
    case kPrinterCopies: return integerValue(copies_);
    case kPrinterCollate: return makeBool(collate_);
    case kPrinterMinimumPage: return integerValue(minimumPage_);
    case kPrinterMaximumPage: return integerValue(maximumPage_);
    case kPrinterFirstPage: return integerValue(firstPage_);
    case kPrinterLastPage: return integerValue(lastPage_);
    case kPrinterPrintRange: return integerValue(printRange_);
    case kPrinterMarginLeft: return integerValue(marginLeft_);
    case kPrinterMarginTop: return integerValue(marginTop_);
    case kPrinterMarginRight: return integerValue(marginRight_);
    case kPrinterMarginBottom: return integerValue(marginBottom_);
    case kPrinterJobOutcome: return integerValue(outcome_);
    case kPrinterJobProblem: return makePointer(TypeCode::Text, newTextBlock(jobProblem_));
    case kPrinterKeptDocument: return makePointer(TypeCode::Text, newTextBlock(keptDocument_));
    case kPrinterKeepProblem: return makePointer(TypeCode::Text, newTextBlock(keepProblem_));
    case kPrinterWrittenDocument: return makePointer(TypeCode::Text, newTextBlock(lastWrittenFile_));
    default: return std::nullopt;
    }
}

bool PrinterUnit::writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                                    std::uint32_t payloadHigh)
{
    if (index >= kPrinterScaleMode && index <= kPrinterFont)
        return canvas_.writeState(index - kPrinterScaleMode, member, payloadLow, payloadHigh);
    const auto number = static_cast<std::int32_t>(payloadLow);
    switch (index) {
    case kPrinterDocumentName:
        documentName_ = asText(RuntimeValue{payloadLow, payloadHigh, static_cast<std::uint32_t>(TypeCode::Text)});
        return true;
    case kPrinterCopies: copies_ = std::clamp(number, -1, 65535); return true;
    case kPrinterCollate: collate_ = payloadLow != 0; return true;
    case kPrinterMinimumPage: minimumPage_ = std::clamp(number, -1, 32767); return true;
    case kPrinterMaximumPage: maximumPage_ = std::clamp(number, -1, 65535); return true;
    case kPrinterFirstPage: firstPage_ = number; return true;
    case kPrinterLastPage: lastPage_ = number; return true;
    case kPrinterPrintRange: printRange_ = std::clamp(number, -1, 1); return true;
    case kPrinterMarginLeft: marginLeft_ = number; return true;
    case kPrinterMarginTop: marginTop_ = number; return true;
    case kPrinterMarginRight: marginRight_ = number; return true;
    case kPrinterMarginBottom: marginBottom_ = number; return true;
    default: return false;
    }
}

// --- the job ------------------------------------------------------------------------------------

void PrinterUnit::applyState()
{
    canvas_.setOrigin(marginLeft_, marginTop_);
    canvas_.applyTo(job_->device->context(), platform::displayDotsPerInch());
}

bool PrinterUnit::openPage()
{
    if (!job_)
        return false;
    if (pageOpen_)
        return true;
    if (job_->freshPage) {
        job_->freshPage = false;
    } else if (!job_->device->startPage()) {
        // The pages drawn so far are kept, not given to the printer as if they were all.
        endJob(JobEnd::KeepOnly, "打印机 " + job_->printerName + " 无法开始新的一页");
        return false;
    }
    pageOpen_ = true;
    return true;
}

bool PrinterUnit::prepareForDrawing()
{
    if (!job_)
        return false;
    applyState();
    return openPage();
}

bool PrinterUnit::processEventsKeepsJob()
{
    const std::shared_ptr<bool> alive = alive_;
    processPendingMessages();
    return *alive && job_ != nullptr;
}

bool PrinterUnit::newPage()
{
    if (!job_ || !processEventsKeepsJob())
        return false;
    ++pageNumber_;
    canvas_.setCurrentPosition(0, 0);
    if (pageOpen_) {
        pageOpen_ = false;
    } else {
        // No page open: one is started and ended at once, so an empty page comes out.
        if (!openPage())
            return false;
        pageOpen_ = false;
    }
    if (statusDialog_)
        statusDialog_->showPage(pageNumber_);
    return true;
}

bool PrinterUnit::endPrinting()
{
    if (!job_)
        return false;
    endJob(JobEnd::Deliver);
    return outcome_ == kPrinterJobDelivered;
}

void PrinterUnit::abortJob()
{
    if (job_)
        endJob(JobEnd::Discard);
}

bool PrinterUnit::refuseStart(const std::string& problem)
{
    outcome_ = kPrinterJobNotStarted;
    jobProblem_ = problem;
    std::fprintf(stderr, "quillora: 打印没有开始：%s\n", problem.c_str());
    return false;
}

void PrinterUnit::endJob(JobEnd how, const std::string& problem)
{
    std::unique_ptr<Job> job = std::move(job_);
    pageOpen_ = false;
    jobProblem_.clear();
    keptDocument_.clear();
    keepProblem_.clear();
    lastWrittenFile_.clear();
    if (how == JobEnd::Discard) {
        job->device->discard();
        outcome_ = kPrinterJobAborted;
        closeStatusDialog();
        return;
    }
    std::string reason = problem;
    bool complete = job->device->complete(reason);
    if (complete && how == JobEnd::Deliver && job->device->deliver(reason)) {
        lastWrittenFile_ = job->device->writtenFile();
        outcome_ = kPrinterJobDelivered;
        closeStatusDialog();
        return;
    }
    // Not delivered: a complete document is kept as a PDF file where the built-in PDF printer
    // keeps its documents, so that nothing already made is lost.
    outcome_ = kPrinterJobNotDelivered;
    jobProblem_ = reason;
    // A document that could not be written completely is gone: there is nothing to keep.
    if (complete)
        keptDocument_ = job->device->keep(builtInPdfFolder(), documentFileStem(job->documentName), keepProblem_);
    const std::string fate = !keptDocument_.empty() ? "保存为 " + keptDocument_
                             : complete             ? "没能保存：" + keepProblem_
                                                    : std::string("没有写完，没能保存");
    std::fprintf(stderr, "quillora: 打印文档“%s”没有交出：%s；%s\n", job->documentName.c_str(), jobProblem_.c_str(),
                 fate.c_str());
    closeStatusDialog();
}

void PrinterUnit::closeStatusDialog()
{
    if (!statusDialog_)
        return;
    // The dialog may be closing from its own button's signal; it goes once that has returned.
    statusDialog_->hide();
    statusDialog_->deleteLater();
    statusDialog_ = nullptr;
}

// --- drawing ------------------------------------------------------------------------------------

void PrinterUnit::writeTextAt(std::optional<int> x, std::optional<int> y, std::span<const std::string> texts)
{
    if (!prepareForDrawing())
        return;
    // Events run before every line, so the status dialog stays alive and "中止打印" takes
    // effect between lines; the state is applied again because a handler may have changed it.
    canvas_.writeTextAt(job_->device->context(), x, y, texts, [this] {
        if (!processEventsKeepsJob())
            return false;
        applyState();
        return openPage();
    });
}

platform::TextExtent PrinterUnit::textExtent(std::string_view text)
{
    if (!job_)
        return {};
    applyState();
    return canvas_.textExtent(job_->device->context(), text);
}

int PrinterUnit::pictureWidthInUnits(PictureHandle picture)
{
    if (!job_)
        return pictureWidth(picture);
    applyState();
    return canvas_.pictureWidthInUnits(job_->device->context(), picture);
}

int PrinterUnit::pictureHeightInUnits(PictureHandle picture)
{
    if (!job_)
        return pictureHeight(picture);
    applyState();
    return canvas_.pictureHeightInUnits(job_->device->context(), picture);
}

void PrinterUnit::drawPicture(PictureHandle picture, int x, int y, std::optional<int> width,
                              std::optional<int> height, int mode, const std::optional<PicturePart>& part)
{
    if (!prepareForDrawing())
        return;
    canvas_.drawPicture(job_->device->context(), picture, x, y, width, height, mode, part);
}

int PrinterUnit::fontHeight() const
{
    if (!job_)
        return 0;
    return canvas_.fontHeight(platform::displayDotsPerInch(), job_->device->dotsPerInch());
}

// --- forms --------------------------------------------------------------------------------------

std::optional<PrinterFormReading> PrinterUnit::form(std::string_view name)
{
    const std::string printer = lastPrinterName_.empty() ? printerForJobs() : lastPrinterName_;
    const std::optional<PrinterPapers> papers = printerPapers(printer);
    if (!papers)
        return std::nullopt;
    const std::optional<platform::PaperForm> found = findForm(*papers, name);
    if (!found)
        return std::nullopt;
    return PrinterFormReading{found->width, found->height, found->top, found->bottom, found->left, found->right};
}

std::vector<std::string> PrinterUnit::formNames()
{
    const std::string printer = lastPrinterName_.empty() ? printerForJobs() : lastPrinterName_;
    std::vector<std::string> names;
    if (const std::optional<PrinterPapers> papers = printerPapers(printer))
        for (const platform::PaperForm& form : papers->forms)
            names.push_back(form.name);
    return names;
}

}  // namespace quillora::runtime
