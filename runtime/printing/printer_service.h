// The printer-list service and what the printer unit asks about printers: the printers there
// are (the CUPS queues, then the built-in PDF printer), the program's default printer, the paper
// forms of a printer and the paper codes of StartPrinting.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer_list.h"

namespace quillora::runtime {

// The CUPS queues in the server's order, then the built-in PDF printer.
std::vector<std::string> listPrinters();

// The program's default printer when one was set, else the user's CUPS default, else empty.
std::string defaultPrinter();
// Makes a listed printer the program's default for the rest of the run. The user's CUPS
// settings (~/.cups/lpoptions) are never written, so whatever happens to the program, they stay
// as they were. False, and nothing changed, for a name that is not listed.
bool setDefaultPrinter(std::string_view name);
// Forgets the program's default printer (for tests).
void clearProgramDefaultPrinter();

// Why the printer cannot take a print document now, for the user; empty when it can. The built-in
// PDF printer can whenever its folder can be made.
std::string printerProblem(const std::string& printer);

// The next question to the print server is asked even if it did not answer a moment ago.
void askPrintServerAfresh();

// The printer a job goes to without a dialog: the default printer, or the built-in PDF printer
// when there is none.
std::string printerForJobs();

bool isBuiltInPdfPrinter(std::string_view name);

// What a printer offers: its forms, its default form, the custom sizes it accepts and the port
// its jobs go to.
struct PrinterPapers {
    std::vector<platform::PaperForm> forms;
    platform::PaperForm defaultForm;
    std::optional<platform::CustomPaperRange> customRange;
    std::string port;
    bool acceptingJobs = true;
};

// Nothing when the printer is not there (a queue that has gone, a server that does not answer).
std::optional<PrinterPapers> printerPapers(const std::string& printer);

// The form of that name (letter case ignored).
std::optional<platform::PaperForm> findForm(const PrinterPapers& papers, std::string_view name);

// The paper of a StartPrinting paper code: 1 A3, 2 A4, 3 A5, 4 B4, 5 B5, 6 quarto, 7 16K, 8 32K,
// 9 Letter, 10 Legal, 11 Executive, 12 Statement, 13 Tabloid, 14 Note, 15 Ledger, 16 Folio, and
// 1000 + n the system paper number n + 1. Nothing for any other code (the printer's paper stays).
std::optional<platform::PaperForm> paperForCode(int code);

// A document name as a file name stem: no folder separators, no control characters, cut to a
// length every file system takes; "未命名打印作业" for an empty name.
std::string documentFileStem(const std::string& documentName);
inline constexpr const char* kUntitledDocument = "未命名打印作业";

// The folder the built-in PDF printer writes into: "Quillora 打印文件" in the documents folder.
std::string builtInPdfFolder();
inline constexpr const char* kBuiltInPdfFolderName = "Quillora 打印文件";

}  // namespace quillora::runtime
