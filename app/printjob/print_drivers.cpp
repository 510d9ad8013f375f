// The drivers behind the main window's print command: the found-picture list read, the job run
// by album_job over the real windows and settings.
#include "printjob/print_drivers.h"

#include "common/core_calls.h"
#include "common/window_units.h"
#include "form_ids.h"
#include "pages/progress_window.h"
#include "pagesetup/open_print_settings.h"
#include "pagesetup/print_settings.h"
#include "printjob/album_job.h"
#include "printjob/print_batch.h"
#include "printjob/job_tally.h"

#include <utility>

namespace quillora::app {
namespace {

// A layout without rows or columns is never confirmed by the settings window; should one arrive,
// the pages are counted at the export loop's own default of 5 × 5.
constexpr std::int32_t kDefaultRowsAndColumns = 5;

UnitRef headerBox()
{
    return mainWindowUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页眉);
}

UnitRef footerBox()
{
    return mainWindowUnit(forms::unit_type::EditBox, forms::MainWindow::编辑框_页脚);
}

class MainWindowJob : public JobServices {
public:
    void showStatus(std::string_view text) override { mainStatusBar().show(text); }
    std::string headerText() override { return editText(headerBox()); }
    std::string footerText() override { return editText(footerBox()); }
    bool confirmed() override { return printSettings().confirmed != 0; }
    std::int32_t picturesPerPage() override
    {
        const PrintSettings& settings = printSettings();
        if (settings.rows <= 0 || settings.columns <= 0)
            return kDefaultRowsAndColumns * kDefaultRowsAndColumns;
        return settings.rows * settings.columns;
    }
    void clearConfirmed() override { printSettings().confirmed = 0; }
    void openSettings() override
    {
        OpenPrintSettings();
    }
    void processEvents() override { app::processEvents(); }
    void printBatch(PageBatch& batch) override
    {
        PrintBatch(PageBatch{std::move(batch.paths), std::move(batch.captions), {}, std::move(batch.header),
                             std::move(batch.footer)});
    }
    bool stopRequested() override { return jobStopRequested(); }
    const JobTally& tally() override { return jobTally(); }
};

// The list's rows with the cells of the three columns; a column of index -1 reads as empty.
std::vector<PictureRow> readPictureRows(std::int32_t rowCount)
{
    const FoundPictureList list = foundPictures();
    std::vector<std::string> titles;
    const std::int32_t columnCount = list.columnCount();
    for (std::int32_t column = 0; column < columnCount; ++column)
        titles.push_back(list.columnTitle(column));
    return app::readPictureRows(titles, rowCount,
                                [&list](std::int32_t row, std::int32_t column) { return list.cellText(row, column); });
}

template <typename Driver>
void runJob(Driver driver)
{
    const std::int32_t rowCount = foundPictures().rowCount();
    if (rowCount < 1)
        return;
    MainWindowJob job;
    resetJobTally();
    driver(readPictureRows(rowCount), job);
}

}  // namespace

void PrintAlbumAsOneSet()
{
    runJob(runAlbumAsOneSet);
}

void PrintAlbumByFolder()
{
    runJob(runAlbumByFolder);
}

}  // namespace quillora::app
