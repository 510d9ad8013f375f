// The words a job ends with: "打印完毕！" first, then only what the user would otherwise not know.
#include "printjob/closing_status.h"

#include <gtest/gtest.h>

namespace quillora::app {
namespace {

JobTally madePages(std::int32_t pages)
{
    JobTally tally;
    tally.pagesMade = pages;
    return tally;
}

TEST(ClosingStatusTest, EverythingMadeIsThePlainStatus)
{
    EXPECT_EQ(closingStatus(madePages(3)), "打印完毕！");
}

TEST(ClosingStatusTest, WhatWasLostFollowsTheFirstWords)
{
    JobTally tally = madePages(1);
    tally.pagesUnsaved = 2;
    EXPECT_EQ(closingStatus(tally), "打印完毕！但有2页未能保存，原因见提示。");
    tally.documentsUnprinted = 1;
    EXPECT_EQ(closingStatus(tally), "打印完毕！但有2页未能保存，1份文档未能打印，原因见提示。");
    tally.pagesUnsaved = 0;
    EXPECT_EQ(closingStatus(tally), "打印完毕！但有1份文档未能打印，原因见提示。");
    // Nothing made, but the losses were told: the losses are what the status names.
    tally.pagesMade = 0;
    EXPECT_EQ(closingStatus(tally), "打印完毕！但有1份文档未能打印，原因见提示。");
}

TEST(ClosingStatusTest, ACancelledJobSaysSoWithThePagesMadeByThen)
{
    JobTally tally = madePages(17);
    tally.cancelled = true;
    EXPECT_EQ(closingStatus(tally), "打印完毕！已取消，完成了17页。");
    tally.pagesUnsaved = 1;
    tally.picturesUnread = 2;
    EXPECT_EQ(closingStatus(tally), "打印完毕！已取消，完成了17页。但有1页未能保存，原因见提示。"
                                    "有2张照片读不出来（已删除或已不是图片），它们的位置空着。");
    // "中止打印" on the only document.
    JobTally aborted;
    aborted.cancelled = true;
    EXPECT_EQ(closingStatus(aborted), "打印完毕！已取消，没有打印任何页面。");
}

TEST(ClosingStatusTest, NoFolderChosenForAnyBatchIsNoPageAtAll)
{
    JobTally tally;
    tally.pagesWithoutFolder = 3;
    EXPECT_EQ(closingStatus(tally), "打印完毕！没有打印任何页面。");
    // Some batches got a folder: the rest are counted.
    tally.pagesMade = 2;
    EXPECT_EQ(closingStatus(tally), "打印完毕！有3页没有选定保存的文件夹，没有保存。");
}

TEST(ClosingStatusTest, ThePdfPrintersFolderIsNamedLast)
{
    JobTally tally = madePages(4);
    tally.writtenDocuments = {"/home/u/Documents/Quillora 打印文件/1_a.pdf",
                              "/home/u/Documents/Quillora 打印文件/2_a.pdf"};
    EXPECT_EQ(closingStatus(tally), "打印完毕！PDF 文件在“/home/u/Documents/Quillora 打印文件”里。");
    tally.cancelled = true;
    EXPECT_EQ(closingStatus(tally), "打印完毕！已取消，完成了4页。PDF 文件在“/home/u/Documents/Quillora 打印文件”里。");
}

TEST(ClosingStatusTest, TheFolderOfAFileIsTheTextBeforeItsLastSeparator)
{
    EXPECT_EQ(folderOfFile("/a/b/c.pdf"), "/a/b");
    EXPECT_EQ(folderOfFile("E:\\album\\1.bmp"), "E:\\album");
    EXPECT_EQ(folderOfFile("/c.pdf"), "/");
    EXPECT_EQ(folderOfFile("c.pdf"), "");
    EXPECT_EQ(folderOfFile(""), "");
}

}  // namespace
}  // namespace quillora::app
