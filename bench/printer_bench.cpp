// Printing an album to the built-in PDF printer: 4 pages of 5 × 5 camera photographs (4000 ×
// 3000 JPEGs) on A4 with a caption under each, through the printer unit's own commands, as the
// printer page loop drives them. Reports the seconds the job took and the size of the PDF.
//
// Each photo should cost about what drawing it onto an off-screen page costs: it is decoded at a
// reduced size and stored in the PDF at the size it takes on paper (300 dots per inch), never at
// full camera resolution.
//
//   printer_bench DATA_DIR        (or QUILLORA_BENCH_DATA=DATA_DIR printer_bench)
//
// DATA_DIR is the folder ../shared/bench-data/gen_data.sh fills; its large/ set is used. The PDF
// goes to a temporary documents folder, which is removed afterwards.
#include "platform/gui_application.h"
#include "quillora/entry_table.h"
#include "quillora/printer_commands.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/printing/printer_unit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace ff = quillora::form_format;
using quillora::RuntimeValue;

constexpr std::uint32_t kWindowId = ff::makeWindowId(0x44);
constexpr std::uint32_t kUnitId = ff::makeUnitId(ff::UnitIdClass::Control, 1);
constexpr std::uint32_t kPrinterType = static_cast<std::uint32_t>(ff::UnitKind::Printer);

constexpr int kPages = 4;
constexpr int kRows = 5;
constexpr int kColumns = 5;
constexpr int kMargin = 100;   // 0.1 mm
constexpr int kSpacing = 40;
constexpr int kPaperWidth = 2100;
constexpr int kPaperHeight = 2970;

RuntimeValue printer()
{
    return quillora::makeUnitRef(kPrinterType, kWindowId, kUnitId);
}

template <typename... Values>
RuntimeValue call(quillora::CommandFunction command, Values... values)
{
    RuntimeValue arguments[] = {printer(), values...};
    RuntimeValue result{};
    command(&result, static_cast<std::int32_t>(std::size(arguments)), arguments);
    return result;
}

void setProperty(std::int32_t kindIndex, std::int32_t value)
{
    quillora::runtime::writeUnitProperty(kWindowId, kUnitId, kindIndex + 8, -1, static_cast<std::uint32_t>(value), 0);
}

void setText(std::int32_t kindIndex, const char* text)
{
    const RuntimeValue value = quillora::makePointer(quillora::TypeCode::Text, text);
    quillora::runtime::writeUnitProperty(kWindowId, kUnitId, kindIndex + 8, -1, value.low, value.high);
}

bool loadPrinterWindow()
{
    quillora::runtime::WindowTemplate window;
    window.id = kWindowId;
    quillora::runtime::UnitTemplate record;
    record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 0);
    record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
    record.rect = {0, 0, 200, 100};
    window.units.push_back(record);
    quillora::runtime::UnitTemplate unit;
    unit.tableIndex = 1;
    unit.id = kUnitId;
    unit.typeCode = kPrinterType;
    unit.name = "打印机1";
    window.units.push_back(unit);
    window.tableSize = window.units.size();
    quillora::runtime::FormTemplates templates;
    templates.windows().push_back(std::move(window));
    quillora::runtime::installFormTemplates(std::move(templates));
    return quillora::runtime::loadWindow(kWindowId, false, 0);
}

std::vector<fs::path> photos(const fs::path& folder)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".jpg")
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::uint8_t> fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const char* fromEnvironment = std::getenv("QUILLORA_BENCH_DATA");
    const std::string data = argc > 1 ? argv[1] : (fromEnvironment ? fromEnvironment : "");
    if (data.empty()) {
        std::fprintf(stderr, "usage: printer_bench DATA_DIR (the folder gen_data.sh filled)\n");
        return 2;
    }
    const std::vector<fs::path> pictures = photos(fs::path(data) / "large");
    const std::size_t needed = static_cast<std::size_t>(kPages * kRows * kColumns);
    if (pictures.size() < needed) {
        std::fprintf(stderr, "printer_bench: %s/large holds %zu photos, %zu are needed (run gen_data.sh)\n",
                     data.c_str(), pictures.size(), needed);
        return 2;
    }

    // A documents folder of our own, and no print server: the job goes to the built-in printer.
    std::string home = (fs::temp_directory_path() / "quillora-printer-bench-XXXXXX").string();
    if (!mkdtemp(home.data()))
        return 2;
    fs::create_directories(home + "/Documents");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    quillora::platform::startGuiApplication();
    if (!loadPrinterWindow())
        return 2;

    const auto start = std::chrono::steady_clock::now();
    RuntimeValue pdfPrinter = quillora::makePointer(quillora::TypeCode::Text, quillora::kBuiltInPdfPrinterName);
    RuntimeValue chosen{};
    quillora::SetDefaultPrinter(&chosen, 1, &pdfPrinter);
    setProperty(quillora::kPrinterScaleMode, 1);
    setProperty(quillora::kPrinterMarginLeft, kMargin);
    setProperty(quillora::kPrinterMarginTop, kMargin);
    setText(quillora::kPrinterDocumentName, "printer_bench");
    if (!quillora::asBool(call(quillora::printerStartPrinting, quillora::makeBool(false), quillora::makeBool(false),
                               quillora::makeInt(-1), quillora::makeInt(0), quillora::makeInt(kPaperWidth),
                               quillora::makeInt(kPaperHeight)))) {
        std::fprintf(stderr, "printer_bench: the job did not start\n");
        return 1;
    }
    const int availableWidth = kPaperWidth - 2 * kMargin;
    const int availableHeight = kPaperHeight - 2 * kMargin;
    const int cellWidth = (availableWidth - (kColumns - 1) * kSpacing) / kColumns;
    const int cellHeight = (availableHeight - (kRows - 1) * kSpacing) / kRows;
    const int captionHeight = quillora::asInt(call(quillora::printerTextHeight,
                                                   quillora::makePointer(quillora::TypeCode::Text, "大")));
    double loading = 0;
    std::vector<quillora::runtime::PictureHandle> handles;
    std::size_t next = 0;
    for (int page = 0; page < kPages; ++page) {
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column, ++next) {
                const auto loadStart = std::chrono::steady_clock::now();
                const quillora::runtime::PictureHandle photo = quillora::runtime::loadPicture(fileBytes(pictures[next]));
                loading += secondsSince(loadStart);
                handles.push_back(photo);
                const int x = column * (cellWidth + kSpacing);
                const int y = row * (cellHeight + kSpacing);
                // The photo fitted into the cell above its caption, keeping its proportions.
                const int boxHeight = cellHeight - captionHeight;
                int width = cellWidth;
                int height = cellWidth * 3 / 4;
                if (height > boxHeight) {
                    height = boxHeight;
                    width = boxHeight * 4 / 3;
                }
                call(quillora::printerDrawPicture, quillora::makeInt(photo), quillora::makeInt(x), quillora::makeInt(y),
                     quillora::makeInt(width), quillora::makeInt(height));
                const std::string caption = pictures[next].filename().string();
                call(quillora::printerWriteTextAt, quillora::makeInt(x), quillora::makeInt(y + boxHeight),
                     quillora::makePointer(quillora::TypeCode::Text, caption.c_str()));
            }
        }
        call(quillora::printerNewPage);
    }
    call(quillora::printerEndPrinting);
    const double seconds = secondsSince(start);
    for (const quillora::runtime::PictureHandle handle : handles)
        quillora::runtime::unloadPicture(handle);

    const auto* unit = quillora::runtime::unitOf<quillora::runtime::PrinterUnit>(printer());
    const std::string pdf = unit ? unit->lastWrittenFile() : std::string();
    std::error_code error;
    const auto bytes = pdf.empty() ? 0 : fs::file_size(pdf, error);
    std::printf("printer_bench: %d pages of %d photos to the built-in PDF printer in %.2f s "
                "(reading the files %.2f s); PDF %.1f MB\n",
                kPages, kRows * kColumns, seconds, loading, static_cast<double>(bytes) / 1e6);
    quillora::runtime::destroyLiveWindow(kWindowId);
    quillora::platform::stopGuiApplication();
    fs::remove_all(home, error);
    return pdf.empty() ? 1 : 0;
}
