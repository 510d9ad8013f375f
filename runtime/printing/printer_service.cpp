#include "runtime/printing/printer_service.h"

#include "platform/fs/user_folders.h"
#include "platform/printer_device.h"
#include "quillora/printer_commands.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quillora::runtime {
namespace {

using platform::PaperForm;

// The program's own default printer; set by SetDefaultPrinter, never written anywhere.
std::optional<std::string>& programDefault()
{
    static std::optional<std::string> printer;
    return printer;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                  return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
              });
}

PaperForm paper(const char* name, int width, int height)
{
    PaperForm form;
    form.name = name;
    form.width = width;
    form.height = height;
    return form;
}

// The system paper numbers the paper codes stand for, with their sizes in 0.1 mm.
struct SystemPaper {
    int number;
    const char* name;
    int width;
    int height;
};
constexpr std::array<SystemPaper, 24> kSystemPapers = {{
    {1, "Letter", 2159, 2794},       {2, "Letter Small", 2159, 2794}, {3, "Tabloid", 2794, 4318},
    {4, "Ledger", 4318, 2794},       {5, "Legal", 2159, 3556},        {6, "Statement", 1397, 2159},
    {7, "Executive", 1841, 2667},    {8, "A3", 2970, 4200},           {9, "A4", 2100, 2970},
    {10, "A4 Small", 2100, 2970},    {11, "A5", 1480, 2100},          {12, "B4", 2570, 3640},
    {13, "B5", 1820, 2570},          {14, "Folio", 2159, 3302},       {15, "Quarto", 2150, 2750},
    {16, "10x14", 2540, 3556},       {17, "11x17", 2794, 4318},       {18, "Note", 2159, 2794},
    {19, "Envelope #9", 984, 2254},  {20, "Envelope #10", 1048, 2413}, {27, "Envelope DL", 1100, 2200},
    {28, "Envelope C5", 1620, 2290}, {93, "16K", 1460, 2150},         {94, "32K", 970, 1510},
}};

// Paper codes 1..16 as system paper numbers.
constexpr std::array<int, 16> kCodePapers = {8, 9, 11, 12, 13, 15, 93, 94, 1, 5, 7, 6, 3, 18, 4, 14};

// The forms of the built-in PDF printer: the common papers, all printable to the edge.
const std::vector<PaperForm>& builtInForms()
{
    static const std::vector<PaperForm> forms = {
        paper("A4", 2100, 2970),      paper("A3", 2970, 4200),      paper("A5", 1480, 2100),
        paper("A6", 1050, 1480),      paper("B4", 2570, 3640),      paper("B5", 1820, 2570),
        paper("Letter", 2159, 2794),  paper("Legal", 2159, 3556),   paper("Executive", 1841, 2667),
        paper("Tabloid", 2794, 4318), paper("16K", 1460, 2150),     paper("32K", 970, 1510),
        paper("照片 6 寸", 1016, 1524), paper("照片 7 寸", 1270, 1778),
    };
    return forms;
}

}  // namespace

std::vector<std::string> listPrinters()
{
    std::vector<std::string> printers = platform::printQueueNames();
    printers.emplace_back(kBuiltInPdfPrinterName);
    return printers;
}

std::string defaultPrinter()
{
    if (programDefault())
        return *programDefault();
    return platform::userDefaultPrintQueue();
}

bool setDefaultPrinter(std::string_view name)
{
    if (name.empty())
        return false;
    for (const std::string& printer : listPrinters()) {
        if (printer == name) {
            programDefault() = printer;
            return true;
        }
    }
    return false;
}

void clearProgramDefaultPrinter()
{
    programDefault().reset();
}

std::string printerForJobs()
{
    std::string printer = defaultPrinter();
    return printer.empty() ? std::string(kBuiltInPdfPrinterName) : printer;
}

std::string printerProblem(const std::string& printer)
{
    if (isBuiltInPdfPrinter(printer)) {
        const std::string folder = builtInPdfFolder();
        if (!platform::makeFolder(folder))
            return "无法建立 PDF 打印机的文件夹 " + folder;
        return {};
    }
    if (printer.empty())
        return "没有选定打印机";
    return platform::printQueueProblem(printer);
}

void askPrintServerAfresh()
{
    platform::askPrintServerAfresh();
}

bool isBuiltInPdfPrinter(std::string_view name)
{
    return name == kBuiltInPdfPrinterName;
}

std::optional<PrinterPapers> printerPapers(const std::string& printer)
{
    PrinterPapers papers;
    if (isBuiltInPdfPrinter(printer)) {
        papers.forms = builtInForms();
        papers.defaultForm = papers.forms.front();
        // Any positive size: PDF pages have no limit that a sheet of paper comes near.
        papers.customRange = platform::CustomPaperRange{1, 1, 50000, 50000};
        papers.port = builtInPdfFolder();
        return papers;
    }
    const std::optional<platform::PrintQueueInfo> queue = platform::printQueueInfo(printer);
    if (!queue)
        return std::nullopt;
    papers.forms = queue->forms;
    papers.defaultForm = queue->defaultForm.value_or(paper("A4", 2100, 2970));
    papers.customRange = queue->customRange;
    papers.port = queue->deviceUri;
    papers.acceptingJobs = queue->acceptingJobs;
    return papers;
}

std::optional<PaperForm> findForm(const PrinterPapers& papers, std::string_view name)
{
    for (const PaperForm& form : papers.forms)
        if (sameNameIgnoringCase(form.name, name))
            return form;
    return std::nullopt;
}

std::optional<PaperForm> paperForCode(int code)
{
    int number = 0;
    if (code >= 1 && code <= static_cast<int>(kCodePapers.size()))
        number = kCodePapers[static_cast<std::size_t>(code - 1)];
    else if (code >= 1000)
        number = code - 999;
    for (const SystemPaper& system : kSystemPapers)
        if (system.number == number)
            return paper(system.name, system.width, system.height);
    return std::nullopt;
}

std::string documentFileStem(const std::string& documentName)
{
    std::string stem;
    for (const char c : documentName)
        stem += (c == '/' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
    if (stem.empty() || stem == "." || stem == "..")
        stem = kUntitledDocument;
    // Names longer than a file system allows are cut (at a character boundary).
    constexpr std::size_t kMaxStemBytes = 200;
    if (stem.size() > kMaxStemBytes) {
        std::size_t cut = kMaxStemBytes;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        stem.resize(cut);
    }
    return stem;
}

std::string builtInPdfFolder()
{
    return platform::userFolder(platform::UserFolder::Documents) + "/" + kBuiltInPdfFolderName;
}

}  // namespace quillora::runtime
