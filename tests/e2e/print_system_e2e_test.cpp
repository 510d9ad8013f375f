// The album on a real print system: the program run under the automation driver against a
// private print server with two virtual printers, and on the built-in PDF printer. The print
// documents the printers keep are read back (pdfinfo, pdftoppm) and the server asked about its
// jobs.
#include "e2e_support.h"
#include "private_cups_test.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#ifndef QUILLORA_SAMPLE_PHOTOS
#error "the build names the folder of the sample photos"
#endif

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

// The items a dump lists for a unit of the settings window, in order.
std::vector<std::string> itemsOf(const std::string& dump, const std::string& unit)
{
    std::vector<std::string> items;
    const std::string prefix = "item\tPrintSettingsWindow." + unit + "\t";
    for (const std::string& line : linesOf(dump))
        if (line.starts_with(prefix))
            items.push_back(line.substr(line.find('\t', prefix.size()) + 1));
    return items;
}

// The selected index a dump shows for a unit of the settings window; -1 when it shows none.
int selectedIndexOf(const std::string& dump, const std::string& unit)
{
    const std::string prefix = "selected\tPrintSettingsWindow." + unit + "\t";
    for (const std::string& line : linesOf(dump))
        if (line.starts_with(prefix))
            return std::atoi(line.c_str() + prefix.size());
    return -1;
}

// A binary PPM file's pixels.
struct Raster {
    int width = 0;
    int height = 0;
    std::string bytes;
    // Red + green + blue of a pixel; 765 is white.
    int brightness(int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        if (x < 0 || y < 0 || x >= width || y >= height || at + 2 >= bytes.size())
            return 765;
        return static_cast<unsigned char>(bytes[at]) + static_cast<unsigned char>(bytes[at + 1]) +
               static_cast<unsigned char>(bytes[at + 2]);
    }
    // Pixels of a rectangle (in pixels) darker than `limit`.
    int countBelow(int left, int top, int right, int bottom, int limit) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += brightness(x, y) < limit ? 1 : 0;
        return count;
    }
    // How many columns and how many rows hold at least `minimum` pixels darker than `limit`: the
    // extent of a picture, without the thin strokes of a caption beside it.
    std::pair<int, int> solidExtent(int limit, int minimum) const
    {
        std::vector<int> columns(static_cast<std::size_t>(width)), rows(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (brightness(x, y) < limit)
                    ++columns[static_cast<std::size_t>(x)], ++rows[static_cast<std::size_t>(y)];
        const auto count = [minimum](const std::vector<int>& lines) {
            return static_cast<int>(std::count_if(lines.begin(), lines.end(), [minimum](int n) { return n >= minimum; }));
        };
        return {count(columns), count(rows)};
    }
};

// The first page of a PDF rendered at `dotsPerInch`.
std::optional<Raster> renderFirstPage(const fs::path& pdf, int dotsPerInch, const fs::path& scratch)
{
    const fs::path prefix = scratch / "page";
    if (!test::commandOutput({"pdftoppm", "-r", std::to_string(dotsPerInch), "-f", "1", "-l", "1", "-singlefile",
                              pdf.string(), prefix.string()}))
        return std::nullopt;
    std::ifstream in(prefix.string() + ".ppm", std::ios::binary);
    std::string magic;
    int maximum = 0;
    Raster raster;
    in >> magic >> raster.width >> raster.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255 || raster.width <= 0 || raster.height <= 0)
        return std::nullopt;
    raster.bytes.assign(std::istreambuf_iterator<char>(in), {});
    return raster;
}

constexpr double kPointsPerMm = 72.0 / 25.4;

// The settings window filled in for a job on the private print server and confirmed.
struct JobSetup : SettingsChoice {
    JobSetup()
    {
        printer = "VirtualCustom";
        widthMm = 150;
        heightMm = 200;
        rows = 2;
        columns = 2;
        copies = 1;
    }
};


// The sample photos: D:\photos\2024\cover.bmp, spring\ (two), seaside\ (one).
constexpr int kSampleFolders = 3;

class PrintSystemTest : public PrivateCupsTest {
protected:
    void SetUp() override
    {
        PrivateCupsTest::SetUp();
        if (HasFatalFailure())
            return;
        machine.addDrive('D', "fixed", "Photos");
        fs::copy(QUILLORA_SAMPLE_PHOTOS, machine.drive('D') / "photos", fs::copy_options::recursive);
    }
    void TearDown() override
    {
        if (cups && cups->started()) {
            std::error_code ignored;
            fs::remove(cups->clientRoot() + "/lpoptions", ignored);
            fs::remove(cups->home() + "/.cups/lpoptions", ignored);
        }
        PrivateCupsTest::TearDown();
    }

    // Searches a folder of drive D: ("photos/2024"), with its sub-folders or not, and ticks the
    // folder-wise driver. A tree item's sub-folders are read when the item is chosen.
    static std::string searchLines(const std::string& folder, bool withSubFolders)
    {
        std::string lines = "tree MainWindow.树型框_文件夹 Photos(D:)\n";
        std::string path = "Photos(D:)";
        std::istringstream parts(folder);
        for (std::string part; std::getline(parts, part, '/');)
            lines += "tree MainWindow.树型框_文件夹 " + (path += "/" + part) + "\n";
        return lines + "check MainWindow.选择框_包括文件夹 " + (withSubFolders ? "on" : "off") +
               "\nclick MainWindow.按钮_文件夹搜索\nwait-idle\ncheck MainWindow.选择框_按文件夹分类 on\n";
    }

    // The user's printer settings of the run are those lpoptions wrote for the fixture's HOME.
    void useFixturePrinterSettings()
    {
        fs::create_directories(machine.home() / ".cups");
        fs::copy_file(cups->home() + "/.cups/lpoptions", machine.home() / ".cups" / "lpoptions",
                      fs::copy_options::overwrite_existing);
    }

    // Every lpoptions file a client of the server may read or write: the user's in the run's
    // HOME, the one lpoptions wrote for the fixture, and the client configuration's.
    std::string printerSettingsFiles() const
    {
        return contentOf(machine.home() / ".cups" / "lpoptions") + "|" + contentOf(cups->home() + "/.cups/lpoptions") +
               "|" + contentOf(cups->clientRoot() + "/lpoptions");
    }

    // Waits for `count` new job files of a printer beyond the `known` ones; their paths in order.
    std::vector<std::string> waitForJobs(const std::string& printer, std::size_t known, std::size_t count) const
    {
        for (std::size_t i = 0; i < count; ++i)
            if (!cups->waitForJobFile(printer, known + i))
                break;
        std::vector<std::string> files = cups->jobFiles(printer);
        files.erase(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(std::min(known, files.size())));
        return files;
    }
};

// The page facts of the documents a job left, in the order they were printed.
struct Document {
    std::string path;
    test::PdfFacts facts;
};

std::vector<Document> documentsOf(const std::vector<std::string>& files)
{
    std::vector<Document> documents;
    for (const std::string& file : files)
        if (const std::optional<test::PdfFacts> facts = test::readPdf(file))
            documents.push_back({file, *facts});
    return documents;
}

std::vector<int> sortedPageCounts(const std::vector<Document>& documents)
{
    std::vector<int> pages;
    for (const Document& document : documents)
        pages.push_back(document.facts.pages);
    std::sort(pages.begin(), pages.end());
    return pages;
}

// "MMSS_宽高：W×H，方向：O" — the minute and second of the job's start, the paper unswapped.
std::regex documentNamePattern(int width, int height, int orientation)
{
    return std::regex("^[0-9]{1,4}_宽高：" + std::to_string(width) + "×" + std::to_string(height) + "，方向：" +
                      std::to_string(orientation) + "$");
}

TEST_F(PrintSystemTest, PrinterListComesFromTheServerAndAJobNeverChangesTheUsersDefault)
{
    // The user's default is VirtualCustom; the job prints on VirtualA4.
    ASSERT_EQ(cups->run({"lpoptions", "-d", "VirtualCustom"}), 0);
    useFixturePrinterSettings();
    const std::string before = printerSettingsFiles();
    ASSERT_THAT(before, HasSubstr("VirtualCustom"));
    const std::size_t known = cups->jobFiles("VirtualA4").size();
    JobSetup setup;
    setup.printer = "VirtualA4";
    setup.widthMm = 210;
    setup.heightMm = 297;
    const RunResult run = machine.run(searchLines("photos/2024/seaside", false) +
                                      "click MainWindow.按钮_文件夹准备打印\n"
                                      "wait-loaded PrintSettingsWindow\n"
                                      "echo list\ndump PrintSettingsWindow.组合框_打印机列表\necho end\n" +
                                      settingsWindowLines(setup) + "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string list = outputSection(run.output, "list", "end");
    EXPECT_EQ(itemsOf(list, "组合框_打印机列表"),
              (std::vector<std::string>{"VirtualA4", "VirtualCustom", "PDF 打印机"}));
    EXPECT_EQ(selectedIndexOf(list, "组合框_打印机列表"), 1) << list;
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));

    const std::vector<Document> documents = documentsOf(waitForJobs("VirtualA4", known, 1));
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].facts.pages, 1);
    EXPECT_NEAR(documents[0].facts.width, 210 * kPointsPerMm, 1.5);
    EXPECT_NEAR(documents[0].facts.height, 297 * kPointsPerMm, 1.5);
    EXPECT_EQ(printerSettingsFiles(), before);
}

TEST_F(PrintSystemTest, FolderBatchesOnTheCustomSizeQueueArriveAsTheAlbumsDocuments)
{
    const std::size_t known = cups->jobFiles("VirtualCustom").size();
    const RunResult run = machine.run(searchLines("photos", true) + "click MainWindow.按钮_文件夹准备打印\n" +
                                      settingsWindowLines(JobSetup{}) + "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));
    // One job per folder: 2024 (the cover), spring (two photos), seaside (one); at 2 × 2 each is
    // one page of 150 × 200 mm.
    const std::vector<Document> documents = documentsOf(waitForJobs("VirtualCustom", known, kSampleFolders));
    ASSERT_EQ(documents.size(), static_cast<std::size_t>(kSampleFolders));
    const std::regex name = documentNamePattern(1500, 2000, 0);
    for (const Document& document : documents) {
        EXPECT_EQ(document.facts.pages, 1) << document.path;
        EXPECT_NEAR(document.facts.width, 150 * kPointsPerMm, 1.5);
        EXPECT_NEAR(document.facts.height, 200 * kPointsPerMm, 1.5);
        EXPECT_TRUE(std::regex_match(document.facts.title, name)) << document.facts.title;
    }
    const std::optional<test::RecordedJob> job = cups->lastJob("VirtualCustom");
    ASSERT_TRUE(job);
    EXPECT_TRUE(std::regex_match(job->name, name)) << job->name;
    EXPECT_EQ(job->copies, 1);
    EXPECT_EQ(job->media, "Custom.150x200mm");

    // The first cell of the default layout, in 0.1 mm from the paper's corner. The queue's paper
    // has an unprintable edge of 12 points (42), where the printer's origin lies, and the margins
    // (left 50, top 200, right 150, bottom 180) are counted from there: 1300 × 1620 remain; two
    // by two with 10 between give cells of 645 × 805 from (92, 242), the caption line at the
    // bottom of the cell (ending at 1047) and the picture above it, fitted to the cell's width
    // and centred in its height.
    const int dotsPerInch = 72;
    const auto pixels = [&](int tenths) { return tenths * dotsPerInch / 254; };
    for (const Document& document : documents) {
        const std::optional<Raster> page = renderFirstPage(document.path, dotsPerInch, machine.root());
        ASSERT_TRUE(page) << document.path;
        EXPECT_NEAR(page->width, pixels(1500), 2) << document.path;
        // The middle of the picture box is photo, not paper.
        EXPECT_GT(page->countBelow(pixels(250), pixels(500), pixels(600), pixels(740), 700),
                  pixels(350) * pixels(240) * 9 / 10)
            << document.path;
        // Caption strokes in the caption line, under the picture's middle.
        EXPECT_GT(page->countBelow(pixels(250), pixels(975), pixels(600), pixels(1055), 600), 5) << document.path;
        // Nothing between the paper's left edge and the margin.
        EXPECT_EQ(page->countBelow(0, 0, pixels(85), page->height, 700), 0) << document.path;
    }
}

TEST_F(PrintSystemTest, LandscapeWithTwoCopiesTurnsThePagesAndAsksForTwoCopies)
{
    const std::size_t known = cups->jobFiles("VirtualCustom").size();
    JobSetup setup;
    setup.rows = 1;
    setup.columns = 1;
    setup.landscape = true;
    setup.copies = 2;
    const RunResult run = machine.run(searchLines("photos", true) + "click MainWindow.按钮_文件夹准备打印\n" +
                                      settingsWindowLines(setup) + "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<Document> documents = documentsOf(waitForJobs("VirtualCustom", known, kSampleFolders));
    ASSERT_EQ(documents.size(), static_cast<std::size_t>(kSampleFolders));
    // One picture a page: the spring folder's job has two pages.
    EXPECT_EQ(sortedPageCounts(documents), (std::vector<int>{1, 1, 2}));
    const std::regex name = documentNamePattern(1500, 2000, 1);
    for (const Document& document : documents) {
        // The paper is the queue's 150 × 200 mm sheet; the landscape page is turned onto it.
        EXPECT_NEAR(document.facts.width, 150 * kPointsPerMm, 1.5) << document.path;
        EXPECT_NEAR(document.facts.height, 200 * kPointsPerMm, 1.5) << document.path;
        EXPECT_TRUE(std::regex_match(document.facts.title, name)) << document.facts.title;
        // The picture is fitted to the height of the landscape page, 1800 × 1120 inside the
        // margins: the square cover as high as wide, a 4 : 3 photo (the spring folder's, the
        // two-page job) wider — both turned, so their long side runs down the sheet.
        const std::optional<Raster> page = renderFirstPage(document.path, 36, machine.root());
        ASSERT_TRUE(page);
        const auto [across, down] = page->solidExtent(600, 40);
        EXPECT_GE(down + 2, across) << document.path;
        if (document.facts.pages == 2) {
            EXPECT_GT(down, across * 5 / 4) << document.path;
        }
    }
    const std::optional<test::RecordedJob> job = cups->lastJob("VirtualCustom");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->copies, 2);
    EXPECT_TRUE(std::regex_match(job->name, name)) << job->name;
}

TEST_F(PrintSystemTest, ThePdfPrinterWritesTheSameAlbumIntoTheDocumentsFolderAndReplacesNothing)
{
    const fs::path folder = machine.home() / "Documents" / "Quillora 打印文件";
    fs::create_directories(folder);
    // Documents of an earlier job under every name this job could take in the next two minutes.
    const std::time_t now = std::time(nullptr);
    for (std::time_t second = now - 2; second < now + 120; ++second) {
        std::tm local{};
        localtime_r(&second, &local);
        std::ofstream(folder / (std::to_string(local.tm_min * 100 + local.tm_sec) + "_宽高：1500×2000，方向：0.pdf"))
            << "earlier job";
    }
    std::size_t earlier = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        earlier += entry.is_regular_file() ? 1 : 0;

    JobSetup setup;
    setup.printer = "PDF 打印机";
    setup.rows = 1;
    setup.columns = 1;
    const RunResult run = machine.run(searchLines("photos", true) + "click MainWindow.按钮_文件夹准备打印\n" +
                                      settingsWindowLines(setup) + "wait-idle\nstatus\n", 120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t打印完毕！"));

    std::vector<std::string> written;
    std::size_t untouched = 0;
    const std::regex suffixed("^[0-9]{1,4}_宽高：1500×2000，方向：0 \\([0-9]+\\)\\.pdf$");
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (contentOf(entry.path()) == "earlier job") {
            ++untouched;
            continue;
        }
        EXPECT_TRUE(std::regex_match(entry.path().filename().string(), suffixed)) << entry.path();
        written.push_back(entry.path().string());
    }
    EXPECT_EQ(untouched, earlier);
    const std::vector<Document> documents = documentsOf(written);
    ASSERT_EQ(documents.size(), static_cast<std::size_t>(kSampleFolders));
    EXPECT_EQ(sortedPageCounts(documents), (std::vector<int>{1, 1, 2}));
    for (const Document& document : documents) {
        EXPECT_NEAR(document.facts.width, 150 * kPointsPerMm, 1.5) << document.path;
        EXPECT_NEAR(document.facts.height, 200 * kPointsPerMm, 1.5) << document.path;
        // The built-in printer prints to the paper's edge: at one picture a page the cell is the
        // whole 1300 × 1620 inside the margins from (50, 200), its caption line ending at 1820
        // and the fitted picture centred above it.
        const int dotsPerInch = 72;
        const auto pixels = [&](int tenths) { return tenths * dotsPerInch / 254; };
        const std::optional<Raster> page = renderFirstPage(document.path, dotsPerInch, machine.root());
        ASSERT_TRUE(page);
        EXPECT_GT(page->countBelow(pixels(400), pixels(800), pixels(1000), pixels(1200), 700),
                  pixels(600) * pixels(400) * 9 / 10)
            << document.path;
        EXPECT_GT(page->countBelow(pixels(400), pixels(1760), pixels(1100), pixels(1830), 600), 5) << document.path;
        EXPECT_EQ(page->countBelow(0, 0, pixels(45), page->height, 700), 0) << document.path;
    }
}

// The preview region of a screenshot of the settings window (画板_预览 at 331, 7, 240 × 340).
QImage previewOf(const std::string& file)
{
    return QImage(QString::fromStdString(file)).copy(331, 7, 240, 340);
}

// Whether two previews differ anywhere in the rows from `top` to `bottom` (exclusive).
bool differIn(const QImage& a, const QImage& b, int top, int bottom)
{
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

TEST_F(PrintSystemTest, OnlyTheFooterAlignmentRedrawsThePreviewNotTheHeaderAlignment)
{
    const auto shot = [&](const char* name) { return (machine.root() / name).string(); };
    const RunResult run = machine.run(
        searchLines("photos", true) +
            "type MainWindow.编辑框_页眉 \"春天的相册\"\n"
            "type MainWindow.编辑框_页脚 \"第&p页 共&a页\"\n"
            "click MainWindow.按钮_打印预览\n"
            "wait-loaded PrintSettingsWindow\n"
            // An edit that draws the first preview.
            "type PrintSettingsWindow.编辑框_右边距 10\n"
            "focus PrintSettingsWindow.编辑框_下边距\n"
            "wait-closed ProgressWindow\n"
            "screenshot PrintSettingsWindow " + shot("first.png") + "\n"
            "events on\necho header\n"
            "select PrintSettingsWindow.组合框_页眉对齐 右对齐\n"
            "wait-closed ProgressWindow\n"
            "echo footer\n"
            "screenshot PrintSettingsWindow " + shot("header.png") + "\n"
            "select PrintSettingsWindow.组合框_页脚对齐 右对齐\n"
            "wait-closed ProgressWindow\n"
            "echo done\nevents off\n"
            "screenshot PrintSettingsWindow " + shot("footer.png") + "\n"
            "close PrintSettingsWindow\nwait-closed ProgressWindow\n",
        120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage first = previewOf(shot("first.png"));
    const QImage header = previewOf(shot("header.png"));
    const QImage footer = previewOf(shot("footer.png"));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(header.isNull());
    ASSERT_FALSE(footer.isNull());
    // The header's choice differs from what the window showed (centred, or left on a record that
    // never took the combo's value), yet the preview stays as it was...
    EXPECT_TRUE(first == header) << "the header alignment redrew the preview";
    // ...while the footer's choice redraws it, with both lines where the record now puts them: the
    // footer in the lower half of the page, and the header, moved right, in the upper half. So the
    // header's choice was taken, and only not drawn at once.
    const int half = first.height() / 2;
    EXPECT_TRUE(differIn(header, footer, half, footer.height())) << "the footer alignment did not redraw the preview";
    EXPECT_TRUE(differIn(header, footer, 0, half)) << "the redrawn preview does not show the header's alignment";
    // The progress window shows while a preview draws: after the footer choice, not the header's.
    EXPECT_THAT(outputSection(run.output, "header", "footer"), Not(HasSubstr("ProgressWindow")));
    EXPECT_THAT(outputSection(run.output, "footer", "done"), HasSubstr("ProgressWindow"));
}

}  // namespace
}  // namespace quillora::e2e
