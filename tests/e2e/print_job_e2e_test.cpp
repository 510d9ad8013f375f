// The print job as a user runs it: "准备打印" on the main window, the settings window confirmed,
// the folder prompt answered, and the written page files (or print documents) read back.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

// What a picture file's header says: size and horizontal resolution in pixels per metre (0 where
// the format has no field for it).
struct PictureFacts {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pixelsPerMetre = 0;
};

PictureFacts bmpFacts(const std::string& bytes)
{
    return {little32(bytes, 18), little32(bytes, 22), little32(bytes, 38)};
}

PictureFacts pngFacts(const std::string& bytes)
{
    PictureFacts facts{big32(bytes, 16), big32(bytes, 20), 0};
    const std::size_t physical = bytes.find("pHYs");
    if (physical != std::string::npos && bytes.at(physical + 12) == 1)
        facts.pixelsPerMetre = big32(bytes, physical + 4);
    return facts;
}

PictureFacts jpegFacts(const std::string& bytes)
{
    PictureFacts facts;
    std::size_t at = 2;
    while (at + 4 < bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        const std::size_t length = big16(bytes, at + 2);
        if (marker == 0xE0 && bytes.compare(at + 4, 5, std::string("JFIF\0", 5)) == 0) {
            const unsigned units = static_cast<unsigned char>(bytes[at + 11]);
            const std::uint32_t density = big16(bytes, at + 12);
            facts.pixelsPerMetre = units == 1 ? static_cast<std::uint32_t>(density / 0.0254 + 0.5)
                                   : units == 2 ? density * 100
                                                : 0;
        }
        if (marker >= 0xC0 && marker <= 0xC2) {
            facts.height = big16(bytes, at + 5);
            facts.width = big16(bytes, at + 7);
            break;
        }
        at += 2 + length;
    }
    return facts;
}

PictureFacts gifFacts(const std::string& bytes)
{
    return {little16(bytes, 6), little16(bytes, 8), 0};
}

PictureFacts tiffFacts(const std::string& bytes)
{
    PictureFacts facts;
    const std::size_t directory = little32(bytes, 4);
    const std::size_t entries = little16(bytes, directory);
    std::uint32_t unit = 2;
    double resolution = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * 12;
        const std::uint32_t tag = little16(bytes, entry);
        const std::uint32_t type = little16(bytes, entry + 2);
        const std::uint32_t value = type == 3 ? little16(bytes, entry + 8) : little32(bytes, entry + 8);
        if (tag == 256)
            facts.width = value;
        else if (tag == 257)
            facts.height = value;
        else if (tag == 282)
            resolution = static_cast<double>(little32(bytes, value)) / little32(bytes, value + 4);
        else if (tag == 296)
            unit = value;
    }
    facts.pixelsPerMetre = static_cast<std::uint32_t>(unit == 2 ? resolution / 0.0254 + 0.5 : resolution * 100 + 0.5);
    return facts;
}

// The page files of a folder, by name.
std::vector<fs::path> pageFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The page number of a page file's name (D_T_page, with "-n" for a name that was taken).
int pageNumberOf(const fs::path& file)
{
    static const std::regex pattern(R"(^\d{8}_\d{1,6}_(\d+)(-\d+)?\.[a-z]+$)");
    std::smatch match;
    const std::string name = file.filename().string();
    return std::regex_match(name, match, pattern) ? std::stoi(match[1]) : -1;
}

// Pixels of exactly this colour in a 24-bit BMP page: the sample pictures are one flat colour,
// so this measures how many of them a page holds.
std::size_t pixelsOfColour(const std::string& bmp, unsigned char red, unsigned char green, unsigned char blue)
{
    const PictureFacts facts = bmpFacts(bmp);
    const std::size_t offset = little32(bmp, 10);
    const std::size_t rowBytes = (facts.width * 3 + 3) / 4 * 4;
    std::size_t count = 0;
    for (std::size_t y = 0; y < facts.height; ++y)
        for (std::size_t x = 0; x < facts.width; ++x) {
            const std::size_t at = offset + y * rowBytes + x * 3;
            if (at + 2 < bmp.size() && static_cast<unsigned char>(bmp[at]) == blue &&
                static_cast<unsigned char>(bmp[at + 1]) == green && static_cast<unsigned char>(bmp[at + 2]) == red)
                ++count;
        }
    return count;
}

// The pixels of the top `rows` rows of a 24-bit bottom-up BMP page, row by row from the top: the
// band above the top margin where the header is written.
std::string topBand(const std::string& bmp, std::size_t rows)
{
    const PictureFacts facts = bmpFacts(bmp);
    const std::size_t offset = little32(bmp, 10);
    const std::size_t rowBytes = (facts.width * 3 + 3) / 4 * 4;
    std::string band;
    for (std::size_t y = 0; y < rows && y < facts.height; ++y) {
        const std::size_t at = offset + (facts.height - 1 - y) * rowBytes;
        if (at + facts.width * 3 <= bmp.size())
            band += bmp.substr(at, facts.width * 3);
    }
    return band;
}

// True when some byte of the band is not white.
bool inked(const std::string& band)
{
    return band.find_first_not_of('\xFF') != std::string::npos;
}

// The band of a 100 × 150 mm page (PageSetup) above its 20 mm top margin: the header, 11 mm from
// the top edge, and nothing else.
std::string headerBand(const fs::path& page)
{
    return topBand(contentOf(page), 190);
}

// The settings window filled in as a user does, then confirmed: small pages to picture files.
struct PageSetup : SettingsChoice {
    PageSetup()
    {
        widthMm = 100;
        heightMm = 150;
        rows = 2;
        columns = 3;
        toFiles = true;
    }
};


class PrintJobTest : public testing::Test {
protected:
    TestMachine machine;

    void SetUp() override
    {
        machine.addDrive('D', "fixed", "Photos");
        machine.addDrive('E', "fixed", "Out");
    }

    // `count` red 40 × 30 pictures in D:\pics\FOLDER, named p01.bmp, p02.bmp, ...
    void addPictures(const std::string& folder, int count, int first = 1)
    {
        for (int i = first; i < first + count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%02d.bmp", i);
            machine.writeFile(machine.drive('D') / "pics" / folder / name, tinyBmp(40, 30, 255, 0, 0));
        }
    }

    fs::path outFolder(const std::string& name)
    {
        const fs::path folder = machine.drive('E') / name;
        fs::create_directories(folder);
        return folder;
    }

    // Searches D:\pics with its sub-folders; `byFolder` ticks the folder-wise driver.
    static std::string searchLines(bool byFolder)
    {
        // A tree item's sub-folders are read when the item is chosen.
        return std::string("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                           "tree MainWindow.树型框_文件夹 Photos(D:)/pics\n"
                           "check MainWindow.选择框_包括文件夹 on\n"
                           "click MainWindow.按钮_文件夹搜索\n"
                           "wait-idle\n") +
               "check MainWindow.选择框_按文件夹分类 " + (byFolder ? "on" : "off") + "\n";
    }
};

// A page file is whole when it is as long as its BMP header says.
bool wholeBmp(const std::string& content)
{
    if (content.size() < 6 || content.compare(0, 2, "BM") != 0)
        return false;
    std::uint32_t declared = 0;
    for (int i = 5; i >= 2; --i)
        declared = declared << 8 | static_cast<unsigned char>(content[static_cast<std::size_t>(i)]);
    return declared == content.size();
}

TEST_F(PrintJobTest, TwentyFivePicturesAtTwoByThreeGiveFivePagesTheLastWithOnePicture)
{
    addPictures("trip", 25);
    const fs::path out = outFolder("album");
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));
    const std::vector<fs::path> files = pageFiles(out);
    ASSERT_EQ(files.size(), 5u);
    std::vector<int> pages;
    for (const fs::path& file : files)
        pages.push_back(pageNumberOf(file));
    std::sort(pages.begin(), pages.end());
    EXPECT_THAT(pages, testing::ElementsAre(1, 2, 3, 4, 5));

    const std::string first = contentOf(files.front());
    const PictureFacts facts = bmpFacts(first);
    EXPECT_EQ(facts.width, 1000u);
    EXPECT_EQ(facts.height, 1500u);
    EXPECT_EQ(facts.pixelsPerMetre, 11811u);
    // Pages 1 to 4 hold six pictures, page 5 one.
    std::size_t lastRed = 0, firstRed = pixelsOfColour(first, 255, 0, 0);
    for (const fs::path& file : files)
        if (pageNumberOf(file) == 5)
            lastRed = pixelsOfColour(contentOf(file), 255, 0, 0);
    EXPECT_GT(lastRed, 0u);
    EXPECT_NEAR(static_cast<double>(firstRed) / static_cast<double>(lastRed), 6.0, 0.5);
}

TEST_F(PrintJobTest, FolderRunsAABAGiveThreeBatchesEachAskingForItsFolder)
{
    addPictures("A", 2, 1);
    addPictures("B", 1, 3);
    // The folder cell is the folder's own name, so D:\pics\C\A lists as A again after B.
    machine.writeFile(machine.drive('D') / "pics" / "C" / "A" / "p04.bmp", tinyBmp(40, 30, 255, 0, 0));
    const fs::path first = outFolder("first"), second = outFolder("second"), third = outFolder("third");
    // The same job again with the header typed as the folder name B: its pages are what a page of
    // folder B must show.
    const fs::path typed = outFolder("typed");
    const RunResult run = machine.run(searchLines(true) + "type MainWindow.编辑框_页眉 \"&F\"\n"
                                      "answer folder E:\\first\nanswer folder E:\\second\nanswer folder E:\\third\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n"
                                      "type MainWindow.编辑框_页眉 B\n"
                                      "answer folder E:\\typed\nanswer folder E:\\typed\nanswer folder E:\\typed\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(pageFiles(first).size(), 1u);
    ASSERT_EQ(pageFiles(second).size(), 1u);
    ASSERT_EQ(pageFiles(third).size(), 1u);
    ASSERT_EQ(pageFiles(typed).size(), 3u);
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));
    // Each page carries its batch's folder in the header: A, B, A.
    const std::string a = headerBand(pageFiles(first)[0]);
    const std::string b = headerBand(pageFiles(second)[0]);
    EXPECT_TRUE(inked(a));
    EXPECT_TRUE(inked(b));
    EXPECT_TRUE(a != b) << "folders A and B have the same header";
    EXPECT_TRUE(headerBand(pageFiles(third)[0]) == a) << "the second batch of folder A has another header";
    EXPECT_TRUE(headerBand(pageFiles(typed)[0]) == b) << "the header of folder B is not the text B";
}

TEST_F(PrintJobTest, OneSetOfNineAtTwoByTwoGivesThreePagesNoneLostToEqualNames)
{
    addPictures("trip", 9);
    const fs::path out = outFolder("album");
    PageSetup setup;
    setup.columns = 2;
    // The same album again with the header typed as page 2's: one page of the first job must
    // show exactly that.
    const fs::path typed = outFolder("typed");
    const RunResult run = machine.run(searchLines(false) + "type MainWindow.编辑框_页眉 \"&p/&a\"\n"
                                      "answer folder E:\\album\nanswer folder E:\\album\nanswer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "wait-idle\nstatus\n"
                                      "type MainWindow.编辑框_页眉 2/3\n"
                                      "answer folder E:\\typed\nanswer folder E:\\typed\nanswer folder E:\\typed\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "wait-idle\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<fs::path> files = pageFiles(out);
    ASSERT_EQ(files.size(), 3u);
    // Every page of the one-set job is a batch of its own, so every name has page number 1.
    for (const fs::path& file : files)
        EXPECT_EQ(pageNumberOf(file), 1) << file;
    // The headers 1/3, 2/3 and 3/3: three different inked bands, one of them that of "2/3".
    std::vector<std::string> bands;
    for (const fs::path& file : files)
        bands.push_back(headerBand(file));
    for (const std::string& band : bands)
        EXPECT_TRUE(inked(band));
    EXPECT_TRUE(bands[0] != bands[1] && bands[0] != bands[2] && bands[1] != bands[2])
        << "two pages have the same header";
    const std::vector<fs::path> typedPages = pageFiles(typed);
    ASSERT_EQ(typedPages.size(), 3u);
    EXPECT_EQ(std::count(bands.begin(), bands.end(), headerBand(typedPages[0])), 1);
}

TEST_F(PrintJobTest, CancellingTheFolderPromptSkipsOnlyThatPage)
{
    addPictures("trip", 3);
    const fs::path out = outFolder("album");
    PageSetup setup;
    setup.rows = 1;
    setup.columns = 1;
    const RunResult run = machine.run(searchLines(false) + "answer folder E:\\album\nanswer folder cancel\n"
                                      "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(pageFiles(out).size(), 2u);
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！有1页没有选定保存的文件夹，没有保存。\n"));
}

TEST_F(PrintJobTest, EveryFolderPromptCancelledOrRefusedEndsSayingNothingWasPrinted)
{
    addPictures("A", 2, 1);
    addPictures("B", 1, 3);
    const fs::path out = outFolder("album");
    // Folder A: a folder that does not exist is refused and the prompt, asked again, is cancelled;
    // folder B: cancelled at once.
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\nowhere\nanswer folder cancel\n"
                                      "answer folder cancel\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("不存在。请另选一个文件夹。"));
    EXPECT_TRUE(pageFiles(out).empty());
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！没有打印任何页面。\n"));
}

TEST_F(PrintJobTest, ALinuxPathAnswerLandsInThatFolderAndOneOffTheDrivesIsRefused)
{
    addPictures("trip", 1);
    const fs::path out = outFolder("album");
    const fs::path offDrives = machine.root() / "not-a-drive";
    fs::create_directories(offDrives);
    const RunResult run = machine.run(searchLines(true) + "answer folder " + offDrives.string() + "\n" +
                                      "answer folder " + out.string() + "\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("不在任何驱动器上"));
    EXPECT_TRUE(pageFiles(offDrives).empty());
    EXPECT_EQ(pageFiles(out).size(), 1u);
}

TEST_F(PrintJobTest, ExistingFilesAreNeverReplaced)
{
    addPictures("trip", 1);
    const fs::path out = outFolder("album");
    // Files of an earlier job under every name the page could get in the next minutes: the page
    // keeps the pattern and takes the first free suffix instead.
    const std::time_t now = std::time(nullptr);
    for (std::time_t second = now - 2; second < now + 120; ++second) {
        std::tm local{};
        localtime_r(&second, &local);
        char name[64];
        const int date = (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
        const int clock = local.tm_hour * 10000 + local.tm_min * 100 + local.tm_sec;
        std::snprintf(name, sizeof name, "%d_%d_1.bmp", date, clock);
        std::ofstream(out / name) << "earlier job";
    }
    const std::size_t earlier = pageFiles(out).size();
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<fs::path> files = pageFiles(out);
    ASSERT_EQ(files.size(), earlier + 1);
    std::size_t suffixed = 0;
    for (const fs::path& file : files) {
        const std::string content = contentOf(file);
        if (content == "earlier job")
            continue;
        EXPECT_EQ(content.substr(0, 2), "BM");
        EXPECT_THAT(file.filename().string(), testing::EndsWith("_1-2.bmp"));
        ++suffixed;
    }
    EXPECT_EQ(suffixed, 1u);
}

TEST_F(PrintJobTest, AFolderThatCannotBeWrittenGivesTheMessageAndNoCrash)
{
    addPictures("trip", 7);
    // sysfs refuses new files to everybody, root included.
    fs::create_directory_symlink("/sys/kernel", machine.drive('E') / "locked");
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\locked\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("message-box\t保存页面失败\t第1页无法保存为文件“E:\\locked\\"));
    EXPECT_THAT(run.output, HasSubstr("没有写入这个文件夹的权限"));
    // The batch stopped at its first page: one box, not one per page; both of its pages are lost.
    EXPECT_THAT(run.output, Not(HasSubstr("第2页无法保存")));
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！但有2页未能保存"));
}

TEST_F(PrintJobTest, InOneSetAFolderThatCannotBeWrittenIsToldOnceAndEveryLostPageCounted)
{
    // Seven pictures at 2 x 2 are two pages, each its own batch asking for its folder.
    addPictures("trip", 7);
    fs::create_directory_symlink("/sys/kernel", machine.drive('E') / "locked");
    const RunResult run = machine.run(searchLines(false) + "answer folder E:\\locked\nanswer folder E:\\locked\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto first = run.output.find("message-box\t保存页面失败");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(run.output.find("message-box\t保存页面失败", first + 1), std::string::npos);
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！但有2页未能保存"));
}

TEST_F(PrintJobTest, PicturesDeletedOrReplacedAfterTheSearchLeaveTheirCellsAndAreCounted)
{
    addPictures("trip", 4);
    const fs::path trip = machine.drive('D') / "pics" / "trip";
    const fs::path out = outFolder("album");
    machine.writeFile(machine.drive('E') / "green.bmp", tinyBmp(30, 40, 0, 255, 0));
    machine.writeFile(machine.drive('E') / "broken.bmp", "BM not a picture any more");
    // Between the search and the job: one picture deleted, one replaced by another picture, one
    // by bytes that are no picture.
    const RunResult run = machine.run(searchLines(true) + "remove-file " + (trip / "p02.bmp").string() + "\n"
                                      "copy-file " + (machine.drive('E') / "green.bmp").string() + " " +
                                      (trip / "p03.bmp").string() + "\n"
                                      "copy-file " + (machine.drive('E') / "broken.bmp").string() + " " +
                                      (trip / "p04.bmp").string() + "\n"
                                      "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(PageSetup{}) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！有2张照片读不出来"));
    const std::vector<fs::path> pages = pageFiles(out);
    ASSERT_EQ(pages.size(), 1u);
    const std::string page = contentOf(pages.front());
    EXPECT_TRUE(wholeBmp(page));
    // The replaced picture is drawn as it is now, beside the one left alone.
    EXPECT_GT(pixelsOfColour(page, 0, 255, 0), 0u);
    EXPECT_GT(pixelsOfColour(page, 255, 0, 0), 0u);
}

TEST_F(PrintJobTest, CancelDuringAFolderBatchEndsItWithAOnePicturePageAndTheNextFolderStillRuns)
{
    // Ten pages of four in folder A, so however late the click is seen on a busy machine, it
    // lands while pages of the batch remain.
    addPictures("A", 40, 1);
    addPictures("B", 1, 41);
    const fs::path a = outFolder("a"), b = outFolder("b");
    PageSetup setup;
    setup.columns = 2;
    // The click lands at the loop's first event processing after a finished page.
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\a\nanswer folder E:\\b\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      // The bar's maximum is the batch's 40 pictures once
                                      // the loop runs; the wait ends at an event point of it.
                                      "watch-text ProgressWindow.进度条_当前进度 \"\t40\"\n"
                                      "click ProgressWindow.按钮_取消打印\n"
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<fs::path> pagesOfA = pageFiles(a);
    ASSERT_GE(pagesOfA.size(), 2u);
    ASSERT_LT(pagesOfA.size(), 10u);
    std::size_t lastRed = 0, firstRed = 0;
    for (const fs::path& file : pagesOfA) {
        const std::size_t red = pixelsOfColour(contentOf(file), 255, 0, 0);
        if (pageNumberOf(file) == 1)
            firstRed = red;
        if (pageNumberOf(file) == static_cast<int>(pagesOfA.size()))
            lastRed = red;
    }
    EXPECT_NEAR(static_cast<double>(firstRed) / static_cast<double>(lastRed), 4.0, 0.4);
    EXPECT_EQ(pageFiles(b).size(), 1u);
    // The closing status does not claim the whole album: it counts every page made, B's included.
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！已取消，完成了" + std::to_string(pagesOfA.size() + 1) + "页。\n"));
}

TEST_F(PrintJobTest, ButtonsPressedDuringAJobAreRefusedAndTheJobKeepsEveryPage)
{
    // Ten pages of four: the clicks land while the job still has pages to make.
    addPictures("A", 40, 1);
    const fs::path a = outFolder("a");
    PageSetup setup;
    setup.columns = 2;
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\a\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "watch-text ProgressWindow.进度条_当前进度 \"\t40\"\n"
                                      "click MainWindow.按钮_文件夹准备打印\n"
                                      "click MainWindow.按钮_打印预览\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "echo during\nstatus\n"
                                      "wait-idle\necho after\nstatus\nrows MainWindow.超级列表框_显示\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(outputSection(run.output, "during", "after"), "status\t正在打印，请等打印完毕后再操作。\n");
    EXPECT_THAT(outputSection(run.output, "after"), HasSubstr("status\t打印完毕！"));
    // The search did not run again: the list still holds the 40 pictures the job printed.
    EXPECT_THAT(outputSection(run.output, "after"), HasSubstr("p40.bmp"));
    EXPECT_EQ(pageFiles(a).size(), 10u);
}

TEST_F(PrintJobTest, QuittingDuringAJobAsksThenEndsAfterAWholePageAndStartsNoOtherFolder)
{
    addPictures("A", 40, 1);
    addPictures("B", 1, 41);
    const fs::path a = outFolder("a"), b = outFolder("b");
    PageSetup setup;
    setup.columns = 2;
    // The close box is pressed while folder A's ten pages are made; the program ends on its own
    // once the page it was drawing is written, so the script never gets past its wait.
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\a\nanswer folder E:\\b\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "watch-text ProgressWindow.进度条_当前进度 \"\t40\"\n"
                                      "answer message-box yes\nclose MainWindow\n"
                                      "wait-idle\necho never\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("message-box\t正在打印\t正在打印。现在退出"));
    EXPECT_THAT(run.output, Not(HasSubstr("never")));
    const std::vector<fs::path> pages = pageFiles(a);
    ASSERT_GE(pages.size(), 1u);
    EXPECT_LT(pages.size(), 10u);
    for (const fs::path& page : pages)
        EXPECT_TRUE(wholeBmp(contentOf(page))) << page;
    EXPECT_TRUE(pageFiles(b).empty());
}

TEST_F(PrintJobTest, QuittingDuringAJobAnsweredNoLetsTheJobFinish)
{
    addPictures("A", 40, 1);
    const fs::path a = outFolder("a");
    PageSetup setup;
    setup.columns = 2;
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\a\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "watch-text ProgressWindow.进度条_当前进度 \"\t40\"\n"
                                      "answer message-box no\nclick MainWindow.按钮_结束程序\n"
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("message-box\t正在打印\t"));
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));
    EXPECT_EQ(pageFiles(a).size(), 10u);
}

struct FormatCase {
    const char* item;
    const char* extension;
    PictureFacts (*facts)(const std::string&);
    bool hasResolution;
};

class PageFormatTest : public PrintJobTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(PageFormatTest, ALandscapeA4PageIsTurnedAndStampedWith300PixelsPerInch)
{
    addPictures("trip", 1);
    const fs::path out = outFolder("album");
    PageSetup setup;
    setup.widthMm = 210;
    setup.heightMm = 297;
    setup.landscape = true;
    setup.format = GetParam().item;
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" + settingsWindowLines(setup) +
                                      "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<fs::path> files = pageFiles(out);
    ASSERT_EQ(files.size(), 1u) << run.output;
    EXPECT_EQ(files[0].extension(), GetParam().extension);
    const PictureFacts facts = GetParam().facts(contentOf(files[0]));
    // The landscape panel is 2970 × 2100; turned, the saved page stands upright again.
    EXPECT_EQ(facts.width, 2100u);
    EXPECT_EQ(facts.height, 2970u);
    if (GetParam().hasResolution) {
        EXPECT_NEAR(facts.pixelsPerMetre, 11811u, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PageFormatTest,
                         testing::Values(FormatCase{"bmp格式", ".bmp", bmpFacts, true},
                                         FormatCase{"jpg格式", ".jpg", jpegFacts, true},
                                         FormatCase{"gif格式", ".gif", gifFacts, false},
                                         FormatCase{"tiff格式", ".tiff", tiffFacts, true},
                                         FormatCase{"png格式", ".png", pngFacts, true}),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.extension + 1);
                         });

TEST_F(PrintJobTest, TheSameAlbumOnThePdfPrinterGivesOneDocumentPerFolder)
{
    addPictures("A", 2, 1);
    addPictures("B", 1, 3);
    PageSetup setup;
    setup.toFiles = false;
    const RunResult run = machine.run(searchLines(true) + "click MainWindow.按钮_文件夹准备打印\n" +
                                      settingsWindowLines(setup) + "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // The status says where the documents went.
    const fs::path pdfFolder = machine.home() / "Documents" / "Quillora 打印文件";
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！PDF 文件在“" + pdfFolder.string() + "”里。\n"));
    std::vector<fs::path> documents;
    for (const auto& entry : fs::recursive_directory_iterator(machine.home()))
        if (entry.path().extension() == ".pdf")
            documents.push_back(entry.path());
    ASSERT_EQ(documents.size(), 2u);
    for (const fs::path& document : documents)
        EXPECT_EQ(contentOf(document).substr(0, 5), "%PDF-");
}

TEST_F(PrintJobTest, SettingsClosedWithoutOkInterruptsTheJob)
{
    addPictures("A", 1, 1);
    addPictures("B", 1, 2);
    const fs::path out = outFolder("album");
    const RunResult run = machine.run(searchLines(true) + "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n"
                                      "wait-loaded PrintSettingsWindow\n"
                                      "click PrintSettingsWindow.按钮_取消\n"
                                      "wait-idle\nstatus\n", 60);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t用户中断打印。"));
    EXPECT_TRUE(pageFiles(out).empty());
}

TEST_F(PrintJobTest, AnEmptyListPrintsNothingAndSaysNothing)
{
    const RunResult run = machine.run("status\nclick MainWindow.按钮_文件夹准备打印\nwait-idle\nstatus\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, Not(HasSubstr("打印程序正在初始化")));
    EXPECT_THAT(run.output, Not(HasSubstr("打印完毕")));
    EXPECT_THAT(run.output, Not(HasSubstr("用户中断打印")));
}

}  // namespace
}  // namespace quillora::e2e
