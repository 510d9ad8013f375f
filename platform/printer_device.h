// A print document being drawn: Qt's PDF output on a file, with a device context on its pages,
// and where the finished file goes — kept as a PDF file of its own (the built-in PDF printer,
// print to file) or handed to a CUPS queue as one job. No Qt here.
//
// Every document is drawn into a PDF file first and only given away when it is complete, so an
// aborted job leaves nothing behind: no half-written file and no job at the queue. A complete
// document that its destination did not take can be kept as a PDF file of its own instead.
#pragma once

#include <memory>
#include <string>

#include "platform/device_context.h"
#include "platform/printer_list.h"

namespace quillora::platform {

// Where a finished document goes.
struct PrintDestination {
    // A file path: the document stays there as a PDF file. When a file of that name exists by
    // the time the document is finished, " (2)", " (3)", ... is added before the extension.
    std::string filePath;
    // Otherwise a queue: the options of its job (the PDF path is filled in by the device).
    PrintQueueJob queueJob;
    bool toQueue = false;
};

// The paper of a document: portrait sides and the unprintable strips, all in 0.1 mm. In
// landscape the sheet is turned: the page is `height` wide, and its printable area starts the
// top strip in from the left edge and the left strip down from the top edge.
struct PrinterPaper {
    int width = 2100;
    int height = 2970;
    bool landscape = false;
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

// The resolution documents are drawn at: fine enough for photographs, and pictures drawn at the
// size they take on paper keep the files small.
inline constexpr double kPrinterDotsPerInch = 300.0;

class PrinterDevice {
public:
    // Opens the document and its first page; null with a reason when the file cannot be opened
    // (a folder that cannot be written, a missing folder).
    static std::unique_ptr<PrinterDevice> open(const PrintDestination& destination, const std::string& title,
                                               const PrinterPaper& paper, std::string& problem);
    // A document not finished is discarded.
    ~PrinterDevice();
    PrinterDevice(const PrinterDevice&) = delete;
    PrinterDevice& operator=(const PrinterDevice&) = delete;

    // A context whose device pixel 0,0 is the top-left corner of the printable area.
    DeviceContext& context();
    double dotsPerInch() const;
    // The physical page in device pixels, and the printable area's offset on it.
    int pageWidth() const;
    int pageHeight() const;
    int offsetX() const;
    int offsetY() const;
    int printableWidth() const;
    int printableHeight() const;

    // Begins the next page (the first one is begun by open). False when the page cannot be
    // started; the document is then no longer usable.
    bool startPage();

    // Completes the PDF file. False, with the reason for the user, when it could not be written
    // completely (a full disk); the partial file is removed then and the document is gone.
    bool complete(std::string& problem);
    // Gives the completed file to its destination: the queue, or its name at the file
    // destination. False, with the reason for the user, when the queue refused it, the server did
    // not answer or the file could not take its name; the completed file then stays for keep().
    bool deliver(std::string& problem);
    // A completed document that was not delivered, kept as "stem.pdf" (" (2)", ... when taken) in
    // `folder`, which is made when missing: the full path of the kept file, or empty with the
    // reason, for the user, when it could not be kept (a full disk) — no partial file is left
    // then, and the document is gone.
    std::string keep(const std::string& folder, const std::string& stem, std::string& problem);
    // Drops the document without giving it anywhere.
    void discard();

    // The file a document for a file destination was written to (after finish), else empty.
    const std::string& writtenFile() const;

private:
    PrinterDevice();
    struct State;
    std::unique_ptr<State> state_;
};

// A path in `folder` named `stem` + `extension` that no file has yet: the stem itself, then
// "stem (2)", "stem (3)", ...
std::string unusedFileName(const std::string& folder, const std::string& stem, const std::string& extension);

// True when `folder` exists or could be made (with its parents).
bool makeFolder(const std::string& folder);

}  // namespace quillora::platform
