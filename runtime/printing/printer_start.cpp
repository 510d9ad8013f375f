// StartPrinting: the printer and its settings, the paper, the dialogs, the document name, the
// status dialog and the document with its first page.
#include "runtime/printing/printer_unit.h"

#include "platform/printer_dialogs.h"
#include "quillora/printer_commands.h"
#include "runtime/automation/driver.h"
#include "runtime/core/message_loop.h"
#include "runtime/printing/printer_status_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillora::runtime {
namespace {

// Papers of the same size within this many tenths of a millimetre are the same paper (inch
// sizes come out a little differently in millimetres on every system).
constexpr int kSizeTolerance = 20;

bool sameSize(const platform::PaperForm& a, int width, int height)
{
    return std::abs(a.width - width) <= kSizeTolerance && std::abs(a.height - height) <= kSizeTolerance;
}

// "Custom.150x200mm": the size as print queues take a custom paper.
std::string customMediaName(int width, int height)
{
    const auto millimetres = [](int tenths) {
        std::string text = std::to_string(tenths / 10);
        if (tenths % 10 != 0)
            text += "." + std::to_string(tenths % 10);
        return text;
    };
    return "Custom." + millimetres(width) + "x" + millimetres(height) + "mm";
}

// The file title of a path the program was given: its last part, the folder left out (the status
// dialog's row is one line wide). Both separators count, for a path typed the way drives are written.
std::string fileTitleOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withDefaultExtension(std::string path, const std::string& extension)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += "." + extension;
    return path;
}

}  // namespace

void PrinterUnit::choosePaper(const PrinterStartArguments& arguments, JobPlan& plan) const
{
    plan.requestedPaper.reset();
    plan.landscape = false;
    // Paper and orientation count only when both were passed.
    if (arguments.count < 4)
        return;
    plan.landscape = arguments.orientation.value_or(0) == 1;
    if (arguments.formName) {
        if (plan.papers)
            plan.requestedPaper = findForm(*plan.papers, *arguments.formName);
        return;
    }
    if (!arguments.paperCode)
        return;
    if (*arguments.paperCode == -1) {
        // A zero side keeps the printer's paper.
        if (arguments.count >= 6 && arguments.width.value_or(0) > 0 && arguments.height.value_or(0) > 0) {
            platform::PaperForm custom;
            custom.name = "Custom";
            custom.width = *arguments.width;
            custom.height = *arguments.height;
            plan.requestedPaper = custom;
        }
        return;
    }
    plan.requestedPaper = paperForCode(*arguments.paperCode);
}

void PrinterUnit::settlePaperForPrinter(JobPlan& plan) const
{
    const PrinterPapers& papers = *plan.papers;
    plan.media.clear();
    if (!plan.requestedPaper) {
        plan.paper = papers.defaultForm;
        return;
    }
    const platform::PaperForm& wanted = *plan.requestedPaper;
    if (plan.builtInPdf || plan.printToFile) {
        plan.paper = wanted;
        plan.paper.top = plan.paper.bottom = plan.paper.left = plan.paper.right = 0;
        return;
    }
    // One of the queue's own papers, by size: it carries the queue's margins and name.
    for (const platform::PaperForm& form : papers.forms) {
        if (sameSize(form, wanted.width, wanted.height)) {
            plan.paper = form;
            plan.paper.width = wanted.width;
            plan.paper.height = wanted.height;
            plan.media = form.mediaName;
            return;
        }
    }
    if (papers.customRange && papers.customRange->holds(wanted.width, wanted.height)) {
        plan.paper = wanted;
        // A custom sheet has the printer's usual margins.
        plan.paper.top = papers.defaultForm.top;
        plan.paper.bottom = papers.defaultForm.bottom;
        plan.paper.left = papers.defaultForm.left;
        plan.paper.right = papers.defaultForm.right;
        plan.media = customMediaName(wanted.width, wanted.height);
        return;
    }
    // The queue takes standard sizes only: the smallest of its papers the page fits on, else
    // its own paper. The job still goes out.
    const platform::PaperForm* best = nullptr;
    for (const platform::PaperForm& form : papers.forms)
        if (form.width >= wanted.width && form.height >= wanted.height
            && (!best || std::int64_t{form.width} * form.height < std::int64_t{best->width} * best->height))
            best = &form;
    plan.paper = best ? *best : papers.defaultForm;
    plan.media = plan.paper.mediaName;
    std::fprintf(stderr, "quillora: 打印机 %s 不接受 %d.%d × %d.%d 毫米的纸张，改用 %s\n", plan.printer.c_str(),
                 wanted.width / 10, wanted.width % 10, wanted.height / 10, wanted.height % 10,
                 plan.paper.name.c_str());
}

bool PrinterUnit::runPrintDialog(JobPlan& plan)
{
    if (automationRunning()) {
        // The script's answer stands for the user's: OK keeps the settings as they are.
        const std::optional<std::string> answer = takeAutomationAnswer("print-dialog");
        return answer && *answer == "ok";
    }
    platform::PrintDialogSetup setup;
    setup.printerName = plan.printer;
    setup.builtInPdfPrinter = plan.builtInPdf;
    setup.copies = std::max(copies_, 1);
    setup.collate = collate_;
    setup.pageNumbers = minimumPage_ >= 0;
    setup.minimumPage = std::max(minimumPage_, 0);
    setup.maximumPage = maximumPage_ == -1 ? 65535 : std::max(maximumPage_, setup.minimumPage);
    setup.firstPage = std::clamp(firstPage_, setup.minimumPage, setup.maximumPage);
    setup.lastPage = std::clamp(lastPage_ < 0 ? setup.maximumPage : lastPage_, setup.minimumPage, setup.maximumPage);
    setup.selectionOffered = printRange_ != -1;
    setup.selectionChosen = printRange_ == 1;
    const std::optional<platform::PrintDialogAnswer> answer = platform::runPrintDialog(setup);
    if (!answer)
        return false;
    // What the dialog set goes back into the properties.
    copies_ = std::clamp(answer->copies, 1, 65535);
    plan.copies = copies_;
    collate_ = answer->collate;
    if (answer->pageRangeChosen) {
        firstPage_ = answer->firstPage;
        lastPage_ = answer->lastPage;
    }
    if (printRange_ != -1)
        printRange_ = answer->selectionChosen ? 1 : 0;
    plan.printToFile = answer->printToFile;
    if (!answer->printToFile && !answer->builtInPdfPrinter && !answer->printerName.empty()
        && answer->printerName != plan.printer) {
        plan.printer = answer->printerName;
        plan.builtInPdf = false;
        plan.papers = printerPapers(plan.printer);
    }
    return true;
}

bool PrinterUnit::planJob(const PrinterStartArguments& arguments, JobPlan& plan, std::string& problem)
{
    // A document about to start asks the print server afresh, whatever it answered a moment ago.
    askPrintServerAfresh();
    plan.printer = printerForJobs();
    plan.builtInPdf = isBuiltInPdfPrinter(plan.printer);
    plan.papers = printerPapers(plan.printer);
    choosePaper(arguments, plan);

    // A job prints at least one copy; the property keeps what the program wrote unless a dialog
    // reads its choice back into it.
    plan.copies = std::max(copies_, 1);

    const bool showDialog = arguments.showPrintDialog.value_or(true);
    if (!showDialog && !plan.papers) {
        // The default printer has gone or its server does not answer: without a dialog the
        // document does not go to another printer, it does not start.
        problem = printerProblem(plan.printer);
        if (problem.empty())
            problem = "打印机“" + plan.printer + "”的设置读不到";
        return false;
    }
    if (showDialog) {
        if (!runPrintDialog(plan))
            return false;
        if (plan.printToFile) {
            std::optional<std::string> path;
            if (automationRunning())
                path = takeAutomationAnswer("save-file");
            else
                path = platform::runSaveFileDialog("打印到文件", "打印输出文件 (*.prn)|*.prn|所有文件 (*.*)|*.*||",
                                                   "Output.prn", "prn");
            if (!path || path->empty())
                return false;
            plan.outputFile = withDefaultExtension(*path, "prn");
            plan.papers = printerPapers(kBuiltInPdfPrinterName);
        }
        // The dialog may have chosen a printer that has gone meanwhile.
        if (!plan.papers) {
            problem = printerProblem(plan.printer);
            if (problem.empty())
                problem = "打印机“" + plan.printer + "”的设置读不到";
            return false;
        }
        choosePaper(arguments, plan);
    }
    // A queue that rejects jobs would refuse this one only when it is complete; it is refused
    // now, before anything is drawn.
    if (!plan.builtInPdf && !plan.printToFile && !plan.papers->acceptingJobs) {
        problem = "打印机“" + plan.printer + "”现在不接受打印作业";
        return false;
    }
    settlePaperForPrinter(plan);
    return true;
}

bool PrinterUnit::startPrinting(const PrinterStartArguments& arguments)
{
    if (job_)
        return false;
    outcome_ = kPrinterJobNone;
    jobProblem_.clear();
    keptDocument_.clear();
    keepProblem_.clear();
    lastWrittenFile_.clear();
    JobPlan plan;
    std::string problem;
    if (!planJob(arguments, plan, problem)) {
        // No reason: the user cancelled a dialog.
        if (problem.empty()) {
            outcome_ = kPrinterJobAborted;
            return false;
        }
        return refuseStart(problem);
    }

    const std::string documentName = documentName_.empty() ? std::string(kUntitledDocument) : documentName_;
    platform::PrintDestination destination;
    std::string shownDestination;
    if (plan.printToFile) {
        destination.filePath = plan.outputFile;
        shownDestination = fileTitleOf(plan.outputFile);
    } else if (plan.builtInPdf) {
        const std::string folder = builtInPdfFolder();
        if (!platform::makeFolder(folder))
            return refuseStart("无法建立 PDF 打印机的文件夹 " + folder);
        destination.filePath = platform::unusedFileName(folder, documentFileStem(documentName), ".pdf");
        shownDestination = destination.filePath;
    } else {
        destination.toQueue = true;
        destination.queueJob.queue = plan.printer;
        destination.queueJob.title = documentName;
        destination.queueJob.media = plan.media;
        destination.queueJob.copies = plan.copies;
        destination.queueJob.collate = collate_;
        shownDestination = plan.printer + " 上的 " + (plan.papers ? plan.papers->port : std::string());
    }

    platform::PrinterPaper paper;
    paper.width = plan.paper.width;
    paper.height = plan.paper.height;
    paper.landscape = plan.landscape;
    paper.top = plan.paper.top;
    paper.bottom = plan.paper.bottom;
    paper.left = plan.paper.left;
    paper.right = plan.paper.right;
    std::unique_ptr<platform::PrinterDevice> device = platform::PrinterDevice::open(destination, documentName, paper,
                                                                                   problem);
    if (!device)
        return refuseStart("无法开始打印“" + documentName + "”：" + problem);

    job_ = std::make_unique<Job>();
    job_->device = std::move(device);
    job_->printerName = plan.printToFile ? plan.outputFile : plan.printer;
    job_->documentName = documentName;
    lastPrinterName_ = plan.printToFile ? std::string(kBuiltInPdfPrinterName) : plan.printer;
    pageNumber_ = firstPage_ > 0 ? firstPage_ : 1;
    copiesCounter_ = 1;
    canvas_.setCurrentPosition(0, 0);
    pageOpen_ = false;

    if (arguments.showStatusDialog.value_or(true)) {
        statusDialog_ = new PrinterStatusDialog(documentName, shownDestination, [this] { abortJob(); });
        statusDialog_->showCopies(copiesCounter_);
        statusDialog_->showPage(pageNumber_);
        statusDialog_->show();
    }
    if (!processEventsKeepsJob())
        return false;
    applyState();
    return openPage();
}

}  // namespace quillora::runtime
