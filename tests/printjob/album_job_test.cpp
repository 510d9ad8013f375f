// The drivers' batching and substitutions over plain rows, with the windows and the page loops
// replaced by a recording JobServices.
#include "printjob/album_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::app {
namespace {

using testing::ElementsAre;

// Records what the driver asks for. The settings window and PrintBatch are scripted: each
// printBatch call may clear `confirmed` (the user closed the settings window without OK).
class RecordingJob : public JobServices {
public:
    std::string header = "hdr &f";
    std::string footer;
    bool isConfirmed = true;
    std::int32_t perPage = 4;
    // What the batches made and lost; each batch makes its pages unless told otherwise.
    JobTally made;
    // For batch k (from 0): whether `confirmed` is 0 after it.
    std::vector<bool> cancelAfterBatch;
    bool openSettingsConfirms = true;
    // The batch (from 0) after which the whole job is asked to stop; none when negative.
    int stopAfterBatch = -1;

    std::vector<std::string> log;
    std::vector<PageBatch> batches;

    void showStatus(std::string_view text) override { log.push_back("status " + std::string(text)); }
    std::string headerText() override { return header; }
    std::string footerText() override { return footer; }
    bool confirmed() override { return isConfirmed; }
    std::int32_t picturesPerPage() override { return perPage; }
    void clearConfirmed() override
    {
        log.push_back("clear");
        isConfirmed = false;
    }
    void openSettings() override
    {
        log.push_back("settings");
        isConfirmed = openSettingsConfirms;
    }
    void processEvents() override { log.push_back("events"); }
    void printBatch(PageBatch& batch) override
    {
        log.push_back("batch");
        const std::size_t index = batches.size();
        batches.push_back(batch);
        made.pagesMade += pageCountOf(static_cast<std::int32_t>(batch.paths.size()), perPage);
        if (index < cancelAfterBatch.size() && cancelAfterBatch[index])
            isConfirmed = false;
    }
    const JobTally& tally() override { return made; }
    bool stopRequested() override
    {
        return stopAfterBatch >= 0 && batches.size() > static_cast<std::size_t>(stopAfterBatch);
    }
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

TEST(PictureColumnsTest, TitlesAreMatchedExactly)
{
    const PictureColumns columns = findPictureColumns({"序号", "文件名全称", "文件夹", "文件名"});
    EXPECT_EQ(columns.path, 1);
    EXPECT_EQ(columns.folder, 2);
    EXPECT_EQ(columns.name, 3);

    // A title that only contains another one, or differs in a byte, is no match.
    const PictureColumns none = findPictureColumns({"文件名全称 ", "文件夹名", "x文件名"});
    EXPECT_EQ(none.path, -1);
    EXPECT_EQ(none.folder, -1);
    EXPECT_EQ(none.name, -1);
}

struct CaptionCase {
    const char* fileName;
    const char* caption;
};

class CaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, LastFourBytesAreCut)
{
    EXPECT_EQ(captionOf(GetParam().fileName), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Names, CaptionTest,
                         testing::Values(CaptionCase{"a.jpg", "a"}, CaptionCase{"x.jpeg", "x."},
                                         CaptionCase{".jpg", ""}, CaptionCase{"abc", ""}, CaptionCase{"", ""},
                                         CaptionCase{"海边.jpg", "海边"},
                                         // "照片" then 4 bytes: the cut falls inside "片" (3 bytes).
                                         CaptionCase{"照片ab", "照"}));

TEST(PageCountTest, NoEmptyLastPage)
{
    EXPECT_EQ(pageCountOf(9, 4), 3);
    EXPECT_EQ(pageCountOf(8, 4), 2);
    EXPECT_EQ(pageCountOf(1, 6), 1);
    EXPECT_EQ(pageCountOf(25, 6), 5);
    EXPECT_EQ(pageCountOf(0, 4), 0);
}

TEST(SubstitutionTest, OneSetFieldsIgnoreLetterCaseInTheirOrder)
{
    EXPECT_EQ(withPageFields("&p/&A &F-&f &P", 3, "Trip", 2), "2/3 Trip-Trip 2");
    // The folder goes in before the page number, so a folder holding "&p" gets it replaced.
    EXPECT_EQ(withPageFields("[&f]", 7, "x&p", 5), "[x5]");
    EXPECT_EQ(withFolder("&F and &f, not &a &p", "A"), "A and A, not &a &p");
}

TEST(AlbumByFolderTest, EmptyListDoesNothing)
{
    RecordingJob job;
    runAlbumByFolder({}, job);
    EXPECT_TRUE(job.log.empty());
}

TEST(AlbumByFolderTest, EveryRunOfOneFolderIsABatchWithItsFolderInTheHeader)
{
    RecordingJob job;
    job.footer = "&p of &a";
    runAlbumByFolder(rowsIn({"A", "A", "B", "A"}), job);
    ASSERT_EQ(job.batches.size(), 3u);
    EXPECT_THAT(job.batches[0].paths, ElementsAre("A\\p1.jpg", "A\\p2.jpg"));
    EXPECT_THAT(job.batches[0].captions, ElementsAre("p1", "p2"));
    EXPECT_THAT(job.batches[1].paths, ElementsAre("B\\p3.jpg"));
    EXPECT_THAT(job.batches[2].paths, ElementsAre("A\\p4.jpg"));
    EXPECT_EQ(job.batches[0].header, "hdr A");
    EXPECT_EQ(job.batches[1].header, "hdr B");
    EXPECT_EQ(job.batches[2].header, "hdr A");
    // Page fields are left for the page loop.
    EXPECT_EQ(job.batches[1].footer, "&p of &a");
    EXPECT_THAT(job.log, ElementsAre("status 打印程序正在初始化....", "status 正在打印，请稍候....", "batch",
                                     "status 正在打印，请稍候....", "batch", "status 正在打印，请稍候....", "batch",
                                     "status 打印完毕！", "clear"));
}

TEST(AlbumByFolderTest, TwentyFivePicturesOfOneFolderAreOneBatch)
{
    RecordingJob job;
    runAlbumByFolder(rowsIn(std::vector<std::string>(25, "F")), job);
    ASSERT_EQ(job.batches.size(), 1u);
    EXPECT_EQ(job.batches[0].paths.size(), 25u);
}

TEST(AlbumByFolderTest, SettingsClosedWithoutOkStopsTheJobAtOnce)
{
    RecordingJob job;
    job.cancelAfterBatch = {true};
    runAlbumByFolder(rowsIn({"A", "B", "C"}), job);
    EXPECT_EQ(job.batches.size(), 1u);
    EXPECT_EQ(job.log.back(), "status 用户中断打印。");
}

TEST(AlbumByFolderTest, TheLastBatchIsNotLookedAt)
{
    RecordingJob job;
    job.cancelAfterBatch = {false, true};
    runAlbumByFolder(rowsIn({"A", "B"}), job);
    EXPECT_EQ(job.batches.size(), 2u);
    EXPECT_THAT(job.log, testing::Contains("status 打印完毕！"));
}

TEST(AlbumByFolderTest, AMissingFolderColumnMakesOneFolder)
{
    // A list without the "文件夹" column: pictures of two folders, read as the job reads the
    // found-picture list. The missing column is never read (no cell of index -1); every row's
    // folder is empty, so the folder-wise job makes one batch with an empty &f.
    const std::vector<std::string> titles = {"序号", "文件名全称", "文件名"};
    const std::vector<std::vector<std::string>> cells = {
        {"1", "A\\p1.jpg", "p1.jpg"}, {"2", "B\\p2.jpg", "p2.jpg"}, {"3", "A\\p3.jpg", "p3.jpg"}};
    const std::vector<PictureRow> rows =
        readPictureRows(titles, 3, [&cells](std::int32_t row, std::int32_t column) {
            EXPECT_GE(column, 0) << "a missing column was read";
            EXPECT_LT(column, 3);
            return column >= 0 && column < 3 ? cells.at(static_cast<std::size_t>(row))[static_cast<std::size_t>(column)]
                                             : std::string("?");
        });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].path, "B\\p2.jpg");
    EXPECT_EQ(rows[1].name, "p2.jpg");
    EXPECT_EQ(rows[1].folder, "");

    RecordingJob job;
    runAlbumByFolder(rows, job);
    ASSERT_EQ(job.batches.size(), 1u);
    EXPECT_THAT(job.batches[0].paths, ElementsAre("A\\p1.jpg", "B\\p2.jpg", "A\\p3.jpg"));
    EXPECT_THAT(job.batches[0].captions, ElementsAre("p1", "p2", "p3"));
    EXPECT_EQ(job.batches[0].header, "hdr ");
}

TEST(PictureRowsTest, CellsComeFromTheColumnsTheTitlesName)
{
    // The columns in another order than the list's own.
    const std::vector<std::string> titles = {"文件夹", "文件名", "序号", "文件名全称"};
    const std::vector<PictureRow> rows = readPictureRows(titles, 2, [](std::int32_t row, std::int32_t column) {
        return std::to_string(row) + ":" + std::to_string(column);
    });
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].path, "1:3");
    EXPECT_EQ(rows[1].name, "1:1");
    EXPECT_EQ(rows[1].folder, "1:0");
}

TEST(AlbumAsOneSetTest, NinePicturesAtTwoByTwoAreThreePagesWithTheirNumbers)
{
    RecordingJob job;
    job.header = "&p/&a &F";
    job.footer = "&P";
    runAlbumAsOneSet(rowsIn({"A", "A", "A", "A", "A", "B", "B", "B", "C"}), job);
    ASSERT_EQ(job.batches.size(), 3u);
    EXPECT_EQ(job.batches[0].paths.size(), 4u);
    EXPECT_EQ(job.batches[1].paths.size(), 4u);
    EXPECT_EQ(job.batches[2].paths.size(), 1u);
    // The folder of a page is that of its last picture.
    EXPECT_EQ(job.batches[0].header, "1/3 A");
    EXPECT_EQ(job.batches[1].header, "2/3 B");
    EXPECT_EQ(job.batches[2].header, "3/3 C");
    EXPECT_EQ(job.batches[2].footer, "3");
    // Events are processed before every batch; the settings were confirmed, so they stay shut.
    EXPECT_THAT(job.log, ElementsAre("status 打印程序正在初始化....", "status 正在打印，请稍候....", "events", "batch",
                                     "status 正在打印，请稍候....", "events", "batch", "status 正在打印，请稍候....",
                                     "events", "batch", "status 打印完毕！", "clear"));
}

TEST(AlbumAsOneSetTest, EightPicturesAtTwoByTwoAreTwoPages)
{
    RecordingJob job;
    job.header = "&a";
    runAlbumAsOneSet(rowsIn(std::vector<std::string>(8, "A")), job);
    ASSERT_EQ(job.batches.size(), 2u);
    EXPECT_EQ(job.batches[1].header, "2");
}

TEST(AlbumAsOneSetTest, UnconfirmedSettingsOpenFirst)
{
    RecordingJob job;
    job.isConfirmed = false;
    runAlbumAsOneSet(rowsIn({"A"}), job);
    ASSERT_GE(job.log.size(), 2u);
    EXPECT_EQ(job.log[1], "settings");
    EXPECT_EQ(job.batches.size(), 1u);
}

TEST(AlbumAsOneSetTest, SettingsClosedWithoutOkPrintsNothing)
{
    RecordingJob job;
    job.isConfirmed = false;
    job.openSettingsConfirms = false;
    runAlbumAsOneSet(rowsIn({"A", "B"}), job);
    EXPECT_TRUE(job.batches.empty());
    EXPECT_EQ(job.log.back(), "status 用户中断打印。");
}

TEST(AlbumAsOneSetTest, AConfirmationLostMidJobStopsBeforeTheNextPage)
{
    RecordingJob job;
    job.perPage = 1;
    job.cancelAfterBatch = {false, true};
    runAlbumAsOneSet(rowsIn({"A", "A", "A", "A"}), job);
    EXPECT_EQ(job.batches.size(), 2u);
    EXPECT_EQ(job.log.back(), "status 用户中断打印。");
}

TEST(AlbumAsOneSetTest, UnsavedPagesAreNamedInTheClosingStatus)
{
    RecordingJob job;
    job.made.pagesUnsaved = 2;
    runAlbumAsOneSet(rowsIn({"A"}), job);
    EXPECT_THAT(job.log, testing::Contains("status 打印完毕！但有2页未能保存，原因见提示。"));
}

TEST(AlbumByFolderTest, UnreadPicturesFollowTheLostPagesInTheClosingStatus)
{
    RecordingJob job;
    job.made.pagesUnsaved = 1;
    job.made.picturesUnread = 2;
    runAlbumByFolder(rowsIn({"A"}), job);
    EXPECT_THAT(job.log, testing::Contains("status 打印完毕！但有1页未能保存，原因见提示。有2张照片读不出来（已删除或已不是图片），它们的位置空着。"));
}

// The program ending during a job: the batch that runs finishes, no further batch starts, and
// the job does not claim to have finished.
TEST(JobStopTest, NoBatchStartsAfterTheStopInEitherDriver)
{
    RecordingJob byFolder;
    byFolder.stopAfterBatch = 0;
    runAlbumByFolder(rowsIn({"A", "B", "C"}), byFolder);
    EXPECT_EQ(byFolder.batches.size(), 1u);
    EXPECT_EQ(byFolder.log.back(), "status 打印已停止，程序即将退出。");
    EXPECT_THAT(byFolder.log, testing::Not(testing::Contains("status 打印完毕！")));

    RecordingJob oneSet;
    oneSet.perPage = 1;
    oneSet.stopAfterBatch = 1;
    runAlbumAsOneSet(rowsIn({"A", "A", "A", "A"}), oneSet);
    EXPECT_EQ(oneSet.batches.size(), 2u);
    EXPECT_EQ(oneSet.log.back(), "status 打印已停止，程序即将退出。");
}

}  // namespace
}  // namespace quillora::app
