// The print dialog and the save dialog of print-to-file, as Qt's dialogs. No Qt here.
//
// Both are modal and need someone to answer them: on the offscreen platform, where no one sees
// them, they count as cancelled (the automation driver answers them before they would open).
#pragma once

#include <optional>
#include <string>

namespace quillora::platform {

struct PrintDialogSetup {
    std::string printerName;   // the printer offered first
    bool builtInPdfPrinter = false;  // it is the built-in PDF printer
    int copies = 1;
    bool collate = false;
    bool pageNumbers = true;   // the page range choice is offered
    int minimumPage = 1;
    int maximumPage = 65535;
    int firstPage = 1;
    int lastPage = 65535;
    bool selectionOffered = false;
    bool selectionChosen = false;
};

struct PrintDialogAnswer {
    std::string printerName;   // a CUPS queue; empty when the built-in PDF printer was kept
    bool builtInPdfPrinter = false;
    bool printToFile = false;
    int copies = 1;
    bool collate = false;
    int firstPage = 1;
    int lastPage = 65535;
    bool pageRangeChosen = false;
    bool selectionChosen = false;
};

// Runs Qt's print dialog; nothing when it was cancelled.
std::optional<PrintDialogAnswer> runPrintDialog(const PrintDialogSetup& setup);

// Runs a save dialog: `filter` in the runtime's form "Title (*.x)|*.x|Title (*.*)|*.*||";
// a name without an extension gets `defaultExtension`. Nothing when cancelled.
std::optional<std::string> runSaveFileDialog(const std::string& title, const std::string& filter,
                                             const std::string& defaultName, const std::string& defaultExtension);

}  // namespace quillora::platform
