// A print document the printer does not take stops the job, and the closing status counts it with
// the batches that were then never printed: the drivers over plain rows, with a printer that
// fails at a chosen batch.
#include "printjob/album_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quillora::app {
namespace {

using testing::Contains;
using testing::ElementsAre;

// A job whose printer does not take the documents of the batches listed in `failing` (from 0).
class FailingPrinterJob : public JobServices {
public:
    std::vector<std::size_t> failing;
    std::int32_t perPage = 1;
    std::vector<std::string> log;
    std::size_t batches = 0;
    JobTally made;

    void showStatus(std::string_view text) override { log.push_back("status " + std::string(text)); }
    std::string headerText() override { return {}; }
    std::string footerText() override { return {}; }
    bool confirmed() override { return true; }
    std::int32_t picturesPerPage() override { return perPage; }
    void clearConfirmed() override { log.push_back("clear"); }
    void openSettings() override {}
    void processEvents() override {}
    void printBatch(PageBatch& batch) override
    {
        log.push_back("batch " + std::to_string(batch.paths.size()));
        if (std::find(failing.begin(), failing.end(), batches) != failing.end())
            ++made.documentsUnprinted;
        else
            ++made.pagesMade;
        ++batches;
    }
    bool stopRequested() override { return false; }
    const JobTally& tally() override { return made; }
};

std::vector<PictureRow> rowsIn(const std::vector<std::string>& folders)
{
    std::vector<PictureRow> rows;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string name = "p" + std::to_string(i + 1) + ".jpg";
        rows.push_back({folders[i] + "\\" + name, name, folders[i]});
    }
    return rows;
}

TEST(UnprintedDocumentsTest, AFolderWhoseDocumentFailedStopsTheJobAndCountsTheFoldersAfterIt)
{
    FailingPrinterJob job;
    job.failing = {1};
    // Folders A, B, C, A again: four batches; B fails, so C and the second A are never printed.
    runAlbumByFolder(rowsIn({"A", "A", "B", "B", "B", "C", "A"}), job);
    EXPECT_THAT(job.log, ElementsAre("status 打印程序正在初始化....", "status 正在打印，请稍候....", "batch 2",
                                     "status 正在打印，请稍候....", "batch 3",
                                     "status 打印完毕！但有3份文档未能打印，原因见提示。", "clear"));
}

TEST(UnprintedDocumentsTest, TheLastFolderFailingCountsItAlone)
{
    FailingPrinterJob job;
    job.failing = {2};
    runAlbumByFolder(rowsIn({"A", "B", "C", "C"}), job);
    EXPECT_EQ(job.batches, 3u);
    EXPECT_THAT(job.log, Contains("status 打印完毕！但有1份文档未能打印，原因见提示。"));
}

TEST(UnprintedDocumentsTest, APageWhoseDocumentFailedStopsAOneSetJobAndCountsThePagesAfterIt)
{
    FailingPrinterJob job;
    job.perPage = 2;
    job.failing = {0};
    // Nine pictures at two a page: five pages, the first fails, four more are never printed.
    runAlbumAsOneSet(rowsIn(std::vector<std::string>(9, "A")), job);
    EXPECT_EQ(job.batches, 1u);
    EXPECT_THAT(job.log, Contains("status 打印完毕！但有5份文档未能打印，原因见提示。"));
    EXPECT_EQ(job.log.back(), "clear");
}

TEST(UnprintedDocumentsTest, EveryDocumentTakenLeavesThePlainStatus)
{
    FailingPrinterJob job;
    runAlbumByFolder(rowsIn({"A", "B", "C"}), job);
    EXPECT_EQ(job.batches, 3u);
    EXPECT_THAT(job.log, Contains("status 打印完毕！"));
}

}  // namespace
}  // namespace quillora::app
