// The two job drivers' algorithms over plain data: how the found pictures are cut into batches,
// what the header and footer of each batch become, and when a job stops. The windows, the
// settings record and the page loops are reached through JobServices, so the same code runs
// behind the main window and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/page_job.h"
#include "printjob/closing_status.h"
#include "printjob/job_tally.h"

namespace quillora::app {

// The column indexes of the found-picture list; -1 when a title is missing.
struct PictureColumns {
    std::int32_t path = -1;
    std::int32_t name = -1;
    std::int32_t folder = -1;
};

// Titles compared as exact byte strings: "文件名全称", "文件名", "文件夹".
PictureColumns findPictureColumns(const std::vector<std::string>& titles);

// One row of the found-picture list as the job reads it (a missing column reads as empty text).
struct PictureRow {
    std::string path;
    std::string name;
    std::string folder;
};

// The rows of a list with these column titles: each row's three cells by the columns
// findPictureColumns finds, read through `cell(row, column)`; a missing column is never read and
// gives empty text.
std::vector<PictureRow> readPictureRows(const std::vector<std::string>& titles, std::int32_t rowCount,
                                        const std::function<std::string(std::int32_t row, std::int32_t column)>& cell);

// The caption under a picture: its file name less the last four bytes (the extension with its
// point for three-letter extensions: x.jpeg gives "x."); nothing for four bytes or fewer. A
// character of several bytes that the cut would split is dropped whole.
std::string captionOf(std::string_view fileName);

// Pages of `pictures` at `perPage` pictures a page (no empty last page).
std::int32_t pageCountOf(std::int32_t pictures, std::int32_t perPage);

// Every "&f" (any letter case) replaced by the folder.
std::string withFolder(std::string_view text, std::string_view folder);
// The one-set substitutions in their order: "&a" the total pages, "&f" the folder, "&p" the page
// (letter case ignored each time). A folder holding "&p" therefore gets its "&p" replaced too.
std::string withPageFields(std::string_view text, std::int32_t totalPages, std::string_view folder,
                           std::int32_t page);

// The status texts of a job.
inline constexpr std::string_view kStatusStarting = "打印程序正在初始化....";
inline constexpr std::string_view kStatusPrinting = "正在打印，请稍候....";
inline constexpr std::string_view kStatusInterrupted = "用户中断打印。";
inline constexpr std::string_view kStatusStopped = "打印已停止，程序即将退出。";

class JobServices {
public:
    virtual ~JobServices() = default;
    virtual void showStatus(std::string_view text) = 0;
    // The header and footer edit boxes, read afresh for every batch.
    virtual std::string headerText() = 0;
    virtual std::string footerText() = 0;
    // The settings record's confirmed flag, its rows × columns, and clearing the flag.
    virtual bool confirmed() = 0;
    virtual std::int32_t picturesPerPage() = 0;
    virtual void clearConfirmed() = 0;
    // The settings window with empty lists (the copy it returns is not needed).
    virtual void openSettings() = 0;
    virtual void processEvents() = 0;
    // PrintBatch with the batch (its ratios list empty); its result is not needed.
    virtual void printBatch(PageBatch& batch) = 0;
    // True once the whole job is to stop (the program is ending): no further batch starts.
    virtual bool stopRequested() = 0;
    // What this job has made and lost so far (job_tally.h). A print document the printer did not
    // take stops the job: the rest would go to a printer that failed, and never to another one.
    virtual const JobTally& tally() = 0;
};

// A batch per unbroken run of rows from the same folder.
void runAlbumByFolder(const std::vector<PictureRow>& rows, JobServices& services);
// The whole list as one album, a batch per page.
void runAlbumAsOneSet(const std::vector<PictureRow>& rows, JobServices& services);

}  // namespace quillora::app
