// What the running job has made and lost, kept for its closing status: the drivers reset it when
// a job starts; the export, PrintBatch and the page output add to it as the job goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::app {

struct JobTally {
    // Pages made: page files written, and pages of the print documents the printer took.
    std::int32_t pagesMade = 0;
    // Pages the export could not save: the page that failed and the pages of its batch that were
    // then never made.
    std::int32_t pagesUnsaved = 0;
    // Whether the user was already told of a lost page in a message box. One set is a batch per
    // page, so a folder that cannot be written would otherwise bring the box back for every page;
    // after the first the status bar names each lost page and the closing status counts them.
    bool lossShown = false;
    // Pages of the batches that made nothing because no folder was chosen for them (the folder
    // prompt cancelled, or every folder typed into it refused).
    std::int32_t pagesWithoutFolder = 0;
    // A batch was cut short at the user's word: the progress window's "取消" or the printer's
    // "中止打印".
    bool cancelled = false;
    // Print documents the printer did not take (the user has been told about each).
    std::int32_t documentsUnprinted = 0;
    // Pictures that could not be read when their page was made (deleted or changed into something
    // else since the search); their cells stay empty.
    std::int32_t picturesUnread = 0;
    // The page files written, by their drive paths, in the order written.
    std::vector<std::string> writtenFiles;
    // The print documents written as files (the built-in PDF printer's PDF files), by their full
    // paths, in the order written.
    std::vector<std::string> writtenDocuments;
};

JobTally& jobTally();
void resetJobTally();

}  // namespace quillora::app
