// `quillora album FOLDER [options]`: the album made without a window. The main window is loaded
// off screen and the job runs through the very handlers its buttons run — the search, then
// "准备打印" with the settings the options give — so a page comes out as it would from the
// windows. Only the two questions a user would answer are answered here: the settings window (the
// options are the settings, checked as its OK checks them) and the folder prompt (--to).
#include "shell/album_command.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/control_units.h"
#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/window_units.h"
#include "form_ids.h"
#include "pages/progress_window.h"
#include "pagesetup/layout_check.h"
#include "pagesetup/print_settings.h"
#include "pagesetup/settings_window.h"
#include "printjob/closing_status.h"
#include "printjob/folder_prompt.h"
#include "printjob/job_tally.h"
#include "quillora/console_commands.h"
#include "shell/picture_search.h"
#include "shell/shell_state.h"

namespace quillora::app {

HandlerResult 按钮_文件夹准备打印_被单击(const EventArguments&);

namespace {

constexpr std::int32_t kStandardOutput = 1;
constexpr std::int32_t kStandardError = 2;

void writeTo(std::int32_t stream, const std::string& text)
{
    callCore(&WriteConsole, makeInt(stream), textValue(text));
}

int failWith(int code, const std::string& message)
{
    writeTo(kStandardError, "quillora album: " + message + "\n");
    return code;
}

std::string folderAsDrivePath(const std::string& path)
{
    return takeText(callCore(&FolderAsDrivePath, textValue(path)));
}

std::string linuxPathOf(const std::string& drivePath)
{
    std::string path = takeText(callCore(&LinuxPathOf, textValue(drivePath)));
    return path.empty() ? drivePath : path;
}

FontSpec fontOf(std::string name, std::int32_t size)
{
    FontSpec font;
    font.name = std::move(name);
    font.size = size;
    return font;
}

// The settings window's starting values (the form's boxes), then what the options say.
PrintSettings settingsOf(const AlbumOptions& options)
{
    PrintSettings settings;
    settings.paperType = -1;
    settings.paperWidth = 2100;
    settings.paperHeight = 2970;
    settings.copies = 1;
    settings.marginTop = 200;
    settings.marginBottom = 180;
    settings.marginLeft = 50;
    settings.marginRight = 150;
    settings.headerOffset = 110;
    settings.footerOffset = 140;
    settings.headerAlign = 1;
    settings.footerAlign = 1;
    settings.rows = 5;
    settings.columns = 5;
    settings.rowSpacing = 10;
    settings.columnSpacing = 10;
    settings.captionGap = 2;

    if (options.paper) {
        settings.paperWidth = options.paper->width;
        settings.paperHeight = options.paper->height;
    }
    settings.orientation = options.landscape ? 1 : 0;
    settings.rows = options.rows.value_or(settings.rows);
    settings.columns = options.columns.value_or(settings.columns);
    if (options.margins) {
        settings.marginTop = options.margins->top;
        settings.marginBottom = options.margins->bottom;
        settings.marginLeft = options.margins->left;
        settings.marginRight = options.margins->right;
    }
    settings.rowSpacing = options.rowSpacing.value_or(settings.rowSpacing);
    settings.columnSpacing = options.columnSpacing.value_or(settings.columnSpacing);
    settings.photoMode = options.photoMode.value_or(0);
    settings.copies = options.copies.value_or(settings.copies);
    if (options.captionFontName)
        settings.captionFont = fontOf(*options.captionFontName, options.captionFontSize.value_or(9));
    settings.optimisation = options.optimisation.value_or(0);
    settings.captionKind = options.captionKind.value_or(0);
    settings.toPictureFiles = options.toFolder.has_value();
    settings.pictureFormat = options.pictureFormat;
    settings.confirmed = 1;
    return settings;
}

// The printer by its listed name; without --printer the default printer, else the last one
// listed (the built-in PDF printer, which is always there). Empty when --printer names none.
std::string chosenPrinter(const AlbumOptions& options, const std::vector<std::string>& printers,
                          const std::string& defaultPrinter)
{
    if (options.printer)
        return std::find(printers.begin(), printers.end(), *options.printer) != printers.end() ? *options.printer
                                                                                             : std::string();
    if (!defaultPrinter.empty() && std::find(printers.begin(), printers.end(), defaultPrinter) != printers.end())
        return defaultPrinter;
    return printers.empty() ? std::string() : printers.back();
}

UnitRef mainUnit(std::uint32_t kind, std::uint32_t unit)
{
    return mainWindowUnit(kind, unit);
}

// Counts the pictures drawn, for the progress line, and turns Ctrl+C into the stop of the whole
// job: it is asked for between two pictures, so the page being drawn is still finished.
struct JobWatch {
    std::int32_t total = 0;
    std::int32_t drawn = 0;
    bool onTerminal = false;
};

JobWatch watch;

void pictureDrawn()
{
    ++watch.drawn;
    if (asBool(callCore(&InterruptRequested)))
        requestJobStop();
    if (watch.onTerminal)
        writeTo(kStandardError, "\r图片 " + toText(std::min(watch.drawn, watch.total)) + "/" + toText(watch.total) +
                                    "，已写 " + toText(static_cast<std::int32_t>(jobTally().writtenFiles.size())) + " 页");
}

}  // namespace

int runAlbumCommand(const AlbumOptions& options)
{
    // The options first, then the folders: a bad option is told before anything is looked at.
    PrintSettings settings = settingsOf(options);
    const std::vector<std::string> printers = settings_window::listPrinters();
    settings.defaultPrinter = settings_window::defaultPrinterName();
    settings.printerName = chosenPrinter(options, printers, settings.defaultPrinter);
    if (settings.printerName.empty()) {
        std::string listed;
        for (const std::string& printer : printers)
            listed += (listed.empty() ? "" : ", ") + printer;
        return failWith(kExitBadUsage, "--printer: " + options.printer.value_or(std::string()) +
                                           " is not a printer here (printers: " + listed + ")");
    }
    if (const std::string problem = layoutProblem(settings); !problem.empty())
        return failWith(kExitBadUsage, problem);
    const std::string folder = folderAsDrivePath(options.folder);
    if (folder.empty())
        return failWith(kExitFailed, "文件夹“" + options.folder + "”不存在，或者不在任何驱动器上。");
    std::string outputFolder;
    if (options.toFolder) {
        outputFolder = folderAsDrivePath(*options.toFolder);
        if (outputFolder.empty())
            return failWith(kExitFailed, "--to: 文件夹“" + *options.toFolder + "”不存在，或者不在任何驱动器上。");
    }

    printSettings() = settings;

    std::string root = folder;
    shell().selectedFolderPath = folder;
    SearchPictures(root, options.subfolders);
    watch.total = foundPictures().rowCount();
    if (watch.total < 1)
        return failWith(kExitFailed, "在文件夹“" + options.folder + "”中没有找到图片。");

    EditBox(mainUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页眉)).setText(options.header.value_or(""));
    EditBox(mainUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页脚)).setText(options.footer.value_or(""));
    TickBox(mainUnit(forms::unit_type::CheckBox, forms::MainWindow::选择框_按文件夹分类)).setChecked(options.byFolder);
    answerSaveFolderPrompts(outputFolder);
    // The question a job asks before it quits has nobody to answer it here.
    watch.onTerminal = asBool(callCore(&ConsoleIsTerminal, makeInt(kStandardError)));
    watchPicturesDrawn(&pictureDrawn);
    callCore(&CatchInterrupt);

    按钮_文件夹准备打印_被单击(EventArguments{});

    watchPicturesDrawn(nullptr);
    if (watch.onTerminal)
        writeTo(kStandardError, "\n");
    const JobTally& tally = jobTally();
    for (const std::string& file : tally.writtenFiles)
        writeTo(kStandardOutput, linuxPathOf(file) + "\n");
    if (!options.toFolder)
        writeTo(kStandardOutput, "已送往打印机：" + settings.printerName + "\n");
    // The PDF printer's documents are files the user will look for, listed as the page files are.
    for (const std::string& document : tally.writtenDocuments)
        writeTo(kStandardOutput, document + "\n");

    if (asBool(callCore(&InterruptRequested)))
        return failWith(kExitInterrupted, "已按 Ctrl+C 停止，做完的页面都完整保留着。");
    if (tally.picturesUnread > 0)
        writeTo(kStandardError, "quillora album: 有" + toText(tally.picturesUnread) +
                                    "张照片读不出来（已删除或已不是图片），它们的位置空着。\n");
    // The exit code says what the status bar would: anything asked for and not made is a failure.
    if (const std::string lost = lostText(tally); !lost.empty())
        return failWith(kExitFailed, "有" + lost + "，原因见上。");
    if (tally.pagesMade == 0)
        return failWith(kExitFailed, "没有打印任何页面。");
    return kExitDone;
}

}  // namespace quillora::app
