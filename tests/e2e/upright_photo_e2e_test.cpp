// A photo taken with the camera held upright, stored lying on its side with an EXIF orientation,
// printed to a page file and on the PDF printer and shown in the picture window as a user does it:
// it stands upright, as tall as it is in the camera's view, each corner where it belongs. On the
// PDF printer also: a photo filling its cell in mode 5 puts nothing of itself outside the cell,
// and captions carry the date the photo was taken.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

#include "tests/picture/exif_test_files.h"

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;

// A 24-bit bottom-up BMP page file, read pixel by pixel.
class BmpPage {
public:
    explicit BmpPage(std::string bytes) : bytes_(std::move(bytes))
    {
        if (bytes_.size() < 54 || bytes_.compare(0, 2, "BM") != 0)
            return;
        offset_ = field(10);
        width_ = static_cast<int>(field(18));
        height_ = static_cast<int>(field(22));
        rowBytes_ = (static_cast<std::size_t>(width_) * 3 + 3) / 4 * 4;
        if (offset_ + rowBytes_ * static_cast<std::size_t>(height_) > bytes_.size())
            width_ = height_ = 0;
    }

    int width() const { return width_; }
    int height() const { return height_; }

    // The quadrant colour of the pixel x, y counted from the top-left corner.
    int quadrantAt(int x, int y) const
    {
        const std::size_t at = offset_ + static_cast<std::size_t>(height_ - 1 - y) * rowBytes_ + static_cast<std::size_t>(x) * 3;
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes_[at + i]); };
        return test::quadrantOf(byte(2), byte(1), byte(0));
    }

private:
    std::uint32_t field(std::size_t at) const
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(i)]);
        return value;
    }

    std::string bytes_;
    std::size_t offset_ = 0;
    std::size_t rowBytes_ = 0;
    int width_ = 0;
    int height_ = 0;
};

struct Box {
    int left, top, right, bottom;  // inclusive
};

// The smallest box around every pixel in one of the photo's colours.
Box photoBox(const BmpPage& page)
{
    Box box{page.width(), page.height(), -1, -1};
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.quadrantAt(x, y) != 4) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// The box around the photo's colours on a page rendered from a PDF.
Box photoBox(const QImage& page)
{
    Box box{page.width(), page.height(), -1, -1};
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor colour(page.pixel(x, y));
            if (test::quadrantOf(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                                 static_cast<std::uint8_t>(colour.blue())) != 4) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

int quadrantAt(const QImage& page, int x, int y)
{
    const QColor colour(page.pixel(x, y));
    return test::quadrantOf(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                            static_cast<std::uint8_t>(colour.blue()));
}

// Searches drive D: with its sub-folders and prints what it finds on the PDF printer on a page of
// 100 × 150 mm with one cell (margins 20/18/5/15 mm: the cell is 80 mm wide); the document the
// printer wrote, or nothing.
std::optional<fs::path> printOnePhotoPerPage(TestMachine& machine, SettingsChoice setup, std::string& output)
{
    setup.widthMm = 100;
    setup.heightMm = 150;
    setup.rows = 1;
    setup.columns = 1;
    setup.toFiles = false;
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "check MainWindow.选择框_包括文件夹 on\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" +
                                          settingsWindowLines(setup) + "wait-idle\nstatus\n",
                                      120);
    output = run.output + run.errors;
    if (run.exitCode != 0 || run.output.find("status\t打印完毕！") == std::string::npos)
        return std::nullopt;
    for (const auto& entry : fs::recursive_directory_iterator(machine.home()))
        if (entry.path().extension() == ".pdf")
            return entry.path();
    return std::nullopt;
}

// The first page of the PDF at 72 pixels per inch (one pixel per point), through pdftoppm.
QImage renderedPage(const fs::path& pdf)
{
    const fs::path base = pdf.parent_path() / "page";
    QProcess::execute("pdftoppm", {"-r", "72", "-singlefile", "-png", QString::fromStdString(pdf.string()),
                                   QString::fromStdString(base.string())});
    QImage page;
    page.load(QString::fromStdString(base.string() + ".png"));
    return page;
}

bool popplerToolsInstalled()
{
    return !QStandardPaths::findExecutable("pdftoppm").isEmpty() && !QStandardPaths::findExecutable("pdfimages").isEmpty()
        && !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// What a tool prints on standard output.
std::string toolOutput(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput().toStdString();
}

class UprightPhotoPage : public testing::TestWithParam<int> {};

TEST_P(UprightPhotoPage, AnExportedPageShowsThePhotoUprightWithEveryCornerInPlace)
{
    const int orientation = GetParam();
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    machine.addDrive('E', "fixed", "Out");
    // Stored 320 x 192, so 192 x 320 upright.
    const test::Bytes photo = test::quadrantPhoto(320, 192, static_cast<std::uint16_t>(orientation));
    machine.writeFile(machine.drive('D') / "pics" / "trip" / "portrait.jpg", std::string(photo.begin(), photo.end()));
    fs::create_directories(machine.drive('E') / "album");

    SettingsChoice setup;
    setup.widthMm = 100;
    setup.heightMm = 150;
    setup.rows = 1;
    setup.columns = 1;
    setup.toFiles = true;
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "tree MainWindow.树型框_文件夹 Photos(D:)/pics\n"
                                      "check MainWindow.选择框_包括文件夹 on\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" +
                                          settingsWindowLines(setup) + "wait-idle\nstatus\n",
                                      120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, testing::HasSubstr("status\t打印完毕！"));
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(machine.drive('E') / "album"))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u) << run.output;

    const BmpPage page(contentOf(files[0]));
    ASSERT_EQ(page.width(), 1000);
    const Box box = photoBox(page);
    ASSERT_GT(box.right - box.left, 100) << "no photo on the page";
    // Fitted into the cell with its proportions, the photo is as tall as it stands upright.
    const double ratio = static_cast<double>(box.right - box.left + 1) / (box.bottom - box.top + 1);
    EXPECT_NEAR(ratio, 192.0 / 320.0, 0.02);
    // A few pixels in from each corner of the photo, clear of its blurred edge.
    const int inset = 4;
    const auto& expected = test::kUprightCorners[static_cast<std::size_t>(orientation)];
    EXPECT_EQ(page.quadrantAt(box.left + inset, box.top + inset), expected[0]);
    EXPECT_EQ(page.quadrantAt(box.right - inset, box.top + inset), expected[1]);
    EXPECT_EQ(page.quadrantAt(box.left + inset, box.bottom - inset), expected[2]);
    EXPECT_EQ(page.quadrantAt(box.right - inset, box.bottom - inset), expected[3]);
}

TEST_P(UprightPhotoPage, ThePdfPrinterPrintsThePhotoUprightWithEveryCornerInPlace)
{
    if (!popplerToolsInstalled())
        GTEST_SKIP() << "pdftoppm is not installed";
    const int orientation = GetParam();
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    const test::Bytes photo = test::quadrantPhoto(320, 192, static_cast<std::uint16_t>(orientation));
    machine.writeFile(machine.drive('D') / "trip" / "portrait.jpg", std::string(photo.begin(), photo.end()));
    std::string output;
    const auto pdf = printOnePhotoPerPage(machine, SettingsChoice{}, output);
    ASSERT_TRUE(pdf) << output;

    const QImage page = renderedPage(*pdf);
    ASSERT_FALSE(page.isNull());
    const Box box = photoBox(page);
    ASSERT_GT(box.right - box.left, 60) << "no photo on the page";
    const double ratio = static_cast<double>(box.right - box.left + 1) / (box.bottom - box.top + 1);
    EXPECT_NEAR(ratio, 192.0 / 320.0, 0.03);
    const int inset = 4;
    const auto& expected = test::kUprightCorners[static_cast<std::size_t>(orientation)];
    EXPECT_EQ(quadrantAt(page, box.left + inset, box.top + inset), expected[0]);
    EXPECT_EQ(quadrantAt(page, box.right - inset, box.top + inset), expected[1]);
    EXPECT_EQ(quadrantAt(page, box.left + inset, box.bottom - inset), expected[2]);
    EXPECT_EQ(quadrantAt(page, box.right - inset, box.bottom - inset), expected[3]);
}

// The picture window stretches the photo over its client area: upright, each corner of the
// window shows the corner of the photo that belongs there.
TEST_P(UprightPhotoPage, ThePictureWindowShowsThePhotoUpright)
{
    const int orientation = GetParam();
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    const test::Bytes photo = test::quadrantPhoto(320, 192, static_cast<std::uint16_t>(orientation));
    machine.writeFile(machine.drive('D') / "portrait.jpg", std::string(photo.begin(), photo.end()));
    const auto shot = machine.root() / "picture.png";
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "dblclick MainWindow.超级列表框_显示 0\n"
                                      "wait-idle\n"
                                      "screenshot PictureWindow " + shot.string() + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    QImage window;
    ASSERT_TRUE(window.load(QString::fromStdString(shot.string())));
    const auto quadrantAt = [&](int x, int y) {
        const QColor colour(window.pixel(x, y));
        return test::quadrantOf(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                                static_cast<std::uint8_t>(colour.blue()));
    };
    const int inset = 8;
    const auto& expected = test::kUprightCorners[static_cast<std::size_t>(orientation)];
    EXPECT_EQ(quadrantAt(inset, inset), expected[0]);
    EXPECT_EQ(quadrantAt(window.width() - 1 - inset, inset), expected[1]);
    EXPECT_EQ(quadrantAt(inset, window.height() - 1 - inset), expected[2]);
    EXPECT_EQ(quadrantAt(window.width() - 1 - inset, window.height() - 1 - inset), expected[3]);
}

// The two a phone writes when it is held upright: turned a quarter clockwise or anticlockwise.
INSTANTIATE_TEST_SUITE_P(PortraitOrientations, UprightPhotoPage, testing::Values(6, 8),
                         [](const testing::TestParamInfo<int>& info) { return "Exif" + std::to_string(info.param); });

// Mode 5 on the PDF printer: a landscape photo (320 × 192, corners red, green, blue, yellow) in the
// tall cell of a portrait page covers the whole cell and shows its middle; the document holds
// only that middle, so nothing of the photo lies outside the cell, not even hidden.
TEST(CropFillOnThePdfPrinter, ThePhotoCoversItsCellAndTheDocumentHoldsOnlyThePartShown)
{
    if (!popplerToolsInstalled())
        GTEST_SKIP() << "pdftoppm or pdfimages is not installed";
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    const test::Bytes photo = test::quadrantPhoto(320, 192, 1);
    machine.writeFile(machine.drive('D') / "wide.jpg", std::string(photo.begin(), photo.end()));
    SettingsChoice setup;
    setup.photoMode = 5;
    std::string output;
    const auto pdf = printOnePhotoPerPage(machine, setup, output);
    ASSERT_TRUE(pdf) << output;

    // The cell at 72 pixels per inch: from the left margin of 5 mm, 80 mm wide; from the top
    // margin of 20 mm, 112 mm high less the caption line.
    const QImage page = renderedPage(*pdf);
    ASSERT_FALSE(page.isNull());
    const double pixelsPerMm = 72.0 / 25.4;
    const Box box = photoBox(page);
    EXPECT_NEAR(box.left, 5 * pixelsPerMm, 2);
    EXPECT_NEAR(box.right + 1, 85 * pixelsPerMm, 2);
    EXPECT_NEAR(box.top, 20 * pixelsPerMm, 2);
    EXPECT_LT(box.bottom + 1, 132 * pixelsPerMm + 1);
    EXPECT_GT(box.bottom + 1, 125 * pixelsPerMm);
    // The middle of the photo: its left half is red over blue, its right half green over yellow.
    EXPECT_EQ(quadrantAt(page, box.left + 4, box.top + 4), 0);
    EXPECT_EQ(quadrantAt(page, box.right - 4, box.top + 4), 1);
    EXPECT_EQ(quadrantAt(page, box.left + 4, box.bottom - 4), 2);
    EXPECT_EQ(quadrantAt(page, box.right - 4, box.bottom - 4), 3);

    // One picture in the document, shaped like the cell (taller than wide), not like the photo.
    const std::vector<std::string> lines =
        linesOf(toolOutput("pdfimages", {"-list", QString::fromStdString(pdf->string())}));
    ASSERT_EQ(lines.size(), 3u) << "one image expected after the two heading lines";
    int number = 0, imagePage = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(lines[2].c_str(), "%d %d %*s %d %d", &imagePage, &number, &width, &height), 4) << lines[2];
    ASSERT_GT(height, 0);
    const double cellRatio = static_cast<double>(box.right - box.left + 1) / (box.bottom - box.top + 1);
    EXPECT_NEAR(static_cast<double>(width) / height, cellRatio, 0.05);
    EXPECT_LT(width, height);
}

// The date captions on the PDF printer: the EXIF date of a photo, the file's time of a picture
// without one (in the time zone the program is given), each after its file name (as the list
// shows it, without its extension). One picture a page, so each page is a document of its own.
TEST(DateCaptionsOnThePdfPrinter, EachCaptionHasItsFileNameAndTheDateTaken)
{
    if (!popplerToolsInstalled())
        GTEST_SKIP() << "pdftotext is not installed";
    const char* previousZone = std::getenv("TZ");
    const std::optional<std::string> previous = previousZone ? std::optional<std::string>(previousZone) : std::nullopt;
    setenv("TZ", "UTC0", 1);
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    const test::Bytes photo = test::withSegment(test::quadrantPhoto(64, 48, 1), 0xE1,
                                                test::exifPayload(test::exifTiffWithDates("", "2024:05:01 10:20:33")));
    machine.writeFile(machine.drive('D') / "trip.jpg", std::string(photo.begin(), photo.end()));
    machine.writeFile(machine.drive('D') / "scan.bmp", tinyBmp(4, 4, 200, 10, 10));
    // 2021-03-04 05:06:07 UTC.
    fs::last_write_time(machine.drive('D') / "scan.bmp",
                        std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{1614834367}}));
    SettingsChoice setup;
    setup.captionKind = 2;
    std::string output;
    const auto pdf = printOnePhotoPerPage(machine, setup, output);
    if (previous)
        setenv("TZ", previous->c_str(), 1);
    else
        unsetenv("TZ");
    ASSERT_TRUE(pdf) << output;
    std::string text;
    for (const auto& entry : fs::recursive_directory_iterator(machine.home()))
        if (entry.path().extension() == ".pdf")
            text += toolOutput("pdftotext", {"-layout", QString::fromStdString(entry.path().string()), "-"});
    EXPECT_THAT(text, testing::ContainsRegex("trip +2024-05-01 10:20"));
    EXPECT_THAT(text, testing::ContainsRegex("scan +2021-03-04 05:06"));
}

}  // namespace
}  // namespace quillora::e2e
