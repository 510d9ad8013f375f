#include "printjob/album_job.h"

#include <algorithm>

#include "common/core_calls.h"

namespace quillora::app {
namespace {

// The job's closing status (closing_status.h). `skipped` batches were not printed because the job
// stopped after a document the printer did not take; they count as documents not printed.
void showFinished(JobServices& services, std::int32_t skipped = 0)
{
    JobTally tally = services.tally();
    tally.documentsUnprinted += skipped;
    services.showStatus(closingStatus(tally));
}

// The runs of rows from one folder from `from` on: the batches a folder-wise job still has.
std::int32_t folderRunsFrom(const std::vector<PictureRow>& rows, std::size_t from)
{
    std::int32_t runs = 0;
    for (std::size_t index = from; index < rows.size(); ++index)
        if (index == from || rows[index].folder != rows[index - 1].folder)
            ++runs;
    return runs;
}

void appendRow(PageBatch& batch, const PictureRow& row)
{
    batch.paths.push_back(row.path);
    batch.captions.push_back(captionOf(row.name));
}

void printFolderBatch(PageBatch& batch, const std::string& folder, JobServices& services)
{
    services.showStatus(kStatusPrinting);
    batch.header = withFolder(services.headerText(), folder);
    batch.footer = withFolder(services.footerText(), folder);
    services.printBatch(batch);
}

}  // namespace

PictureColumns findPictureColumns(const std::vector<std::string>& titles)
{
    PictureColumns columns;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const auto index = static_cast<std::int32_t>(i);
        if (titles[i] == "文件名全称")
            columns.path = index;
        else if (titles[i] == "文件名")
            columns.name = index;
        else if (titles[i] == "文件夹")
            columns.folder = index;
    }
    return columns;
}

std::vector<PictureRow> readPictureRows(const std::vector<std::string>& titles, std::int32_t rowCount,
                                        const std::function<std::string(std::int32_t row, std::int32_t column)>& cell)
{
    const PictureColumns columns = findPictureColumns(titles);
    const auto cellOf = [&cell](std::int32_t row, std::int32_t column) {
        return column < 0 ? std::string() : cell(row, column);
    };
    std::vector<PictureRow> rows;
    rows.reserve(static_cast<std::size_t>(std::max(rowCount, 0)));
    for (std::int32_t row = 0; row < rowCount; ++row)
        rows.push_back({cellOf(row, columns.path), cellOf(row, columns.name), cellOf(row, columns.folder)});
    return rows;
}

std::string captionOf(std::string_view fileName)
{
    if (fileName.size() <= 4)
        return std::string();
    std::string_view kept = fileName.substr(0, fileName.size() - 4);
    // A UTF-8 character is a lead byte (11xxxxxx) and continuation bytes (10xxxxxx). When the
    // cut fell inside one, the lead byte and the continuation bytes before the cut are dropped.
    std::size_t lead = kept.size();
    while (lead > 0 && (static_cast<unsigned char>(kept[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0 && static_cast<unsigned char>(kept[lead - 1]) >= 0xC0) {
        const unsigned char first = static_cast<unsigned char>(kept[lead - 1]);
        const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
        if (kept.size() - (lead - 1) < length)
            kept = kept.substr(0, lead - 1);
    }
    return std::string(kept);
}

std::int32_t pageCountOf(std::int32_t pictures, std::int32_t perPage)
{
    if (pictures <= 0 || perPage <= 0)
        return 0;
    return pictures / perPage + (pictures % perPage != 0 ? 1 : 0);
}

std::string withFolder(std::string_view text, std::string_view folder)
{
    return replaceAll(text, "&f", folder, LetterCase::Ignored);
}

std::string withPageFields(std::string_view text, std::int32_t totalPages, std::string_view folder,
                           std::int32_t page)
{
    std::string result = replaceAll(text, "&a", toText(totalPages), LetterCase::Ignored);
    result = replaceAll(result, "&f", folder, LetterCase::Ignored);
    return replaceAll(result, "&p", toText(page), LetterCase::Ignored);
}

void runAlbumByFolder(const std::vector<PictureRow>& rows, JobServices& services)
{
    if (rows.empty())
        return;
    services.showStatus(kStatusStarting);
    PageBatch batch;
    std::string currentFolder = rows.front().folder;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const PictureRow& row = rows[index];
        if (row.folder != currentFolder) {
            const std::int32_t unprintedBefore = services.tally().documentsUnprinted;
            printFolderBatch(batch, currentFolder, services);
            if (services.stopRequested()) {
                services.showStatus(kStatusStopped);
                return;
            }
            if (!services.confirmed()) {
                services.showStatus(kStatusInterrupted);
                return;
            }
            // A document the printer did not take stops the job; the folders after it are not
            // printed.
            if (services.tally().documentsUnprinted > unprintedBefore) {
                showFinished(services, folderRunsFrom(rows, index));
                services.clearConfirmed();
                return;
            }
            batch = PageBatch();
        }
        appendRow(batch, row);
        currentFolder = row.folder;
    }
    // The last batch: what the settings window did is not looked at any more.
    if (!batch.paths.empty())
        printFolderBatch(batch, currentFolder, services);
    showFinished(services);
    services.clearConfirmed();
}

void runAlbumAsOneSet(const std::vector<PictureRow>& rows, JobServices& services)
{
    if (rows.empty())
        return;
    services.showStatus(kStatusStarting);
    // Rows and columns must be known before the pages can be counted.
    if (!services.confirmed())
        services.openSettings();
    const std::int32_t perPage = services.picturesPerPage() > 0 ? services.picturesPerPage() : 1;
    const auto pictures = static_cast<std::int32_t>(rows.size());
    const std::int32_t totalPages = pageCountOf(pictures, perPage);

    std::int32_t index = 0;
    std::int32_t page = 0;
    while (index < pictures) {
        PageBatch batch;
        if (services.stopRequested()) {
            services.showStatus(kStatusStopped);
            return;
        }
        if (!services.confirmed()) {
            services.showStatus(kStatusInterrupted);
            return;
        }
        std::string folder;
        for (std::int32_t taken = 0; taken < perPage && index < pictures; ++taken, ++index) {
            appendRow(batch, rows[static_cast<std::size_t>(index)]);
            folder = rows[static_cast<std::size_t>(index)].folder;
        }
        services.showStatus(kStatusPrinting);
        services.processEvents();
        ++page;
        batch.header = withPageFields(services.headerText(), totalPages, folder, page);
        batch.footer = withPageFields(services.footerText(), totalPages, folder, page);
        const std::int32_t unprintedBefore = services.tally().documentsUnprinted;
        services.printBatch(batch);
        // A page the printer did not take stops the job; the pages after it are not printed.
        if (services.tally().documentsUnprinted > unprintedBefore) {
            showFinished(services, totalPages - page);
            services.clearConfirmed();
            return;
        }
    }
    showFinished(services);
    services.clearConfirmed();
}

}  // namespace quillora::app
