// The printer unit: the non-visual unit all printed output goes through. Between StartPrinting
// and EndPrinting it holds a print document (platform/printer_device.h) and draws on its pages
// with the drawing state it shares with the drawing panel, 0,0 being the top-left corner of the
// margin box. See quillora/printer_commands.h for the commands.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

#include "platform/printer_device.h"
#include "runtime/printing/drawing_canvas.h"
#include "runtime/printing/printer_status_dialog.h"
#include "runtime/printing/printer_service.h"
#include "runtime/units/unit.h"

namespace quillora::runtime {

// What StartPrinting was given after the unit: the paper as a code or a form name, and the
// orientation and custom size, each possibly absent.
struct PrinterStartArguments {
    std::optional<bool> showPrintDialog;
    std::optional<bool> showStatusDialog;
    std::int32_t count = 0;             // arguments after the unit
    std::optional<std::int32_t> paperCode;
    std::optional<std::string> formName;
    std::optional<std::int32_t> orientation;
    std::optional<std::int32_t> width;
    std::optional<std::int32_t> height;
};

// One form as GetForm reports it, in 0.1 mm.
struct PrinterFormReading {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};

class PrinterUnit : public Unit {
public:
    PrinterUnit(LiveWindow& window, const UnitTemplate& unitTemplate);
    ~PrinterUnit() override;

    // A printer has no window of its own.
    QWidget* createWidget(QWidget*) override { return nullptr; }
    bool neverShown() const override { return true; }
    bool neverFirstFocus() const override { return true; }
    std::string describe() const override;
    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;

    bool startPrinting(const PrinterStartArguments& arguments);
    bool newPage();
    // True when the document was delivered.
    bool endPrinting();
    void writeTextAt(std::optional<int> x, std::optional<int> y, std::span<const std::string> texts);
    platform::TextExtent textExtent(std::string_view text);
    int pictureWidthInUnits(PictureHandle picture);
    int pictureHeightInUnits(PictureHandle picture);
    void drawPicture(PictureHandle picture, int x, int y, std::optional<int> width, std::optional<int> height,
                     int mode, const std::optional<PicturePart>& part = std::nullopt);
    std::optional<PrinterFormReading> form(std::string_view name);
    std::vector<std::string> formNames();

    // "中止打印": the job ends and its document is dropped.
    void abortJob();

    bool printing() const { return job_ != nullptr; }
    bool pageOpen() const { return pageOpen_; }
    int pageNumber() const { return pageNumber_; }
    const std::string& lastPrinterName() const { return lastPrinterName_; }
    // The file the last finished document on a file destination went to.
    const std::string& lastWrittenFile() const { return lastWrittenFile_; }
    // How the last job ended (kPrinterJobOutcome and the texts beside it).
    std::int32_t jobOutcome() const { return outcome_; }
    const std::string& jobProblem() const { return jobProblem_; }
    const std::string& keptDocument() const { return keptDocument_; }
    const std::string& keepProblem() const { return keepProblem_; }
    // The character height of the printer font, logical units (0 while idle).
    int fontHeight() const;
    PrinterStatusDialog* statusDialog() const { return statusDialog_; }
    const DrawingCanvas& canvas() const { return canvas_; }

private:
    struct Job {
        std::unique_ptr<platform::PrinterDevice> device;
        std::string printerName;
        std::string documentName;
        bool freshPage = true;  // the device's current page has not been used yet
    };

    // What StartPrinting settles before the document is opened (printer_start.cpp).
    struct JobPlan {
        std::string printer;
        bool builtInPdf = false;
        bool printToFile = false;
        std::string outputFile;
        std::optional<PrinterPapers> papers;  // absent: the printer's settings are not available
        std::optional<platform::PaperForm> requestedPaper;  // absent: the printer's own paper
        bool landscape = false;
        platform::PaperForm paper;  // the sheet the document is drawn on, with its margins
        std::string media;          // the queue's name for it; empty: the queue's own paper
        int copies = 1;
    };
    // False when the job cannot start: with the reason for the user, or none when a dialog was
    // cancelled.
    bool planJob(const PrinterStartArguments& arguments, JobPlan& plan, std::string& problem);
    bool runPrintDialog(JobPlan& plan);
    void choosePaper(const PrinterStartArguments& arguments, JobPlan& plan) const;
    void settlePaperForPrinter(JobPlan& plan) const;

    // Before every drawing: the state goes to the context and a page is open (false when none
    // could be started, which ends the job).
    bool prepareForDrawing();
    bool openPage();
    void applyState();
    // How a job ends: its document delivered (or kept when its destination does not take it),
    // kept without being delivered (a page could not be started), or dropped at the user's word.
    enum class JobEnd { Deliver, KeepOnly, Discard };
    void endJob(JobEnd how, const std::string& problem = {});
    // A start that failed, with the reason for the user.
    bool refuseStart(const std::string& problem);
    void closeStatusDialog();
    // Lets pending events run; false when the job ended meanwhile.
    bool processEventsKeepsJob();

    DrawingCanvas canvas_;
    std::string documentName_;
    int copies_ = 1;
    bool collate_ = false;
    int minimumPage_ = 1;
    int maximumPage_ = -1;
    int firstPage_ = 1;
    int lastPage_ = -1;
    int printRange_ = 0;
    int marginLeft_ = 0;
    int marginTop_ = 0;
    int marginRight_ = 0;
    int marginBottom_ = 0;

    std::unique_ptr<Job> job_;
    bool pageOpen_ = false;
    int pageNumber_ = 0;
    int copiesCounter_ = 0;
    std::string lastPrinterName_;
    std::string lastWrittenFile_;
    std::int32_t outcome_ = 0;
    std::string jobProblem_;
    std::string keptDocument_;
    std::string keepProblem_;
    QPointer<PrinterStatusDialog> statusDialog_;
    // Cleared when the unit goes: a handler that runs while the unit processes events may close
    // its window, and the unit must then not touch itself again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillora::runtime
