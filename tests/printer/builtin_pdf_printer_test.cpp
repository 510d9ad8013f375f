// The built-in PDF printer with no print server at all: its files, its pages, the placement of
// text, the lazy pages, the abort button, and the unit's properties.
#include "printer_test_support.h"

#include "platform/device_fonts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include <cmath>
#include <cstdio>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillora::test {
namespace {

namespace fs = std::filesystem;
constexpr double kPointsPerTenth = 72.0 / 254.0;

std::string pdfFolder()
{
    return runtime::builtInPdfFolder();
}

class BuiltInPdfPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.loaded());
        runtime::clearProgramDefaultPrinter();
        std::error_code error;
        fs::remove_all(pdfFolder(), error);
        HostPrinter::set(kPrinterScaleMode, 1);
    }
    void TearDown() override
    {
        if (HostPrinter::unit())
            Call().run(printerEndPrinting);
    }

    // The PDF the last job on the built-in printer wrote.
    static std::optional<PdfFacts> written()
    {
        const std::string& file = HostPrinter::unit()->lastWrittenFile();
        if (file.empty())
            return std::nullopt;
        return readPdf(file);
    }

    const NoPrintServer gone;
    HostPrinter host;
};

TEST_F(BuiltInPdfPrinter, AJobWritesOnePdfWithItsPagesAndPaper)
{
    HostPrinter::setText(kPrinterDocumentName, "相册 1");
    ASSERT_TRUE(startQuietly({-1, 0, 1500, 2000}));
    EXPECT_EQ(HostPrinter::unit()->lastPrinterName(), kBuiltInPdfPrinterName);
    Call().arg(0).arg(0).text("one").run(printerWriteTextAt);
    ASSERT_TRUE(Call().runBool(printerNewPage));
    Call().arg(0).arg(0).text("two").run(printerWriteTextAt);
    ASSERT_TRUE(Call().runBool(printerNewPage));
    Call().arg(0).arg(0).text("three").run(printerWriteTextAt);
    Call().run(printerEndPrinting);

    EXPECT_EQ(HostPrinter::unit()->lastWrittenFile(), pdfFolder() + "/相册 1.pdf");
    // The program learns where the document went from the unit's property.
    const RuntimeValue writtenDocument = HostPrinter::get(kPrinterWrittenDocument);
    EXPECT_EQ(asText(writtenDocument), pdfFolder() + "/相册 1.pdf");
    runtime::freeBlock(asPointer(writtenDocument));
    const std::optional<PdfFacts> pdf = written();
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->pages, 3);
    EXPECT_NEAR(pdf->width, 1500 * kPointsPerTenth, 0.5);
    EXPECT_NEAR(pdf->height, 2000 * kPointsPerTenth, 0.5);
    EXPECT_FALSE(HostPrinter::unit()->printing());
}

TEST_F(BuiltInPdfPrinter, AnExistingFileIsNeverReplaced)
{
    HostPrinter::setText(kPrinterDocumentName, "a/b");
    std::vector<std::string> files;
    for (int job = 0; job < 3; ++job) {
        ASSERT_TRUE(startQuietly());
        Call().run(printerEndPrinting);
        files.push_back(HostPrinter::unit()->lastWrittenFile());
    }
    EXPECT_EQ(files, (std::vector<std::string>{pdfFolder() + "/a_b.pdf", pdfFolder() + "/a_b (2).pdf",
                                                pdfFolder() + "/a_b (3).pdf"}));
    for (const std::string& file : files)
        EXPECT_TRUE(readPdf(file)) << file;
}

TEST_F(BuiltInPdfPrinter, NewPageWithNoPageOpenEmitsAnEmptyPage)
{
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(0).arg(0).text("first").run(printerWriteTextAt);
    ASSERT_TRUE(Call().runBool(printerNewPage));
    EXPECT_FALSE(HostPrinter::unit()->pageOpen());
    ASSERT_TRUE(Call().runBool(printerNewPage));  // nothing drawn: an empty page
    ASSERT_TRUE(Call().runBool(printerNewPage));
    EXPECT_EQ(HostPrinter::unit()->pageNumber(), 4);
    Call().run(printerEndPrinting);
    const std::optional<PdfFacts> pdf = written();
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->pages, 3);
    EXPECT_NEAR(pdf->width, 595.3, 0.5);
}

TEST_F(BuiltInPdfPrinter, TheSecondLineLiesALineHeightAndTwoDevicePixelsLower)
{
    HostPrinter::setText(kPrinterDocumentName, "lines");
    ASSERT_TRUE(startQuietly({2, 0}));
    const int lineHeight = Call().text("Upper").runInt(printerTextHeight);
    ASSERT_GT(lineHeight, 0);
    Call().arg(300).arg(100).text("Upper\r\nLower").run(printerWriteTextAt);
    Call().run(printerEndPrinting);

    const std::optional<std::string> boxes =
        commandOutput({"pdftotext", "-bbox", HostPrinter::unit()->lastWrittenFile(), "-"});
    ASSERT_TRUE(boxes);
    const auto top = [&](const std::string& word) {
        const auto at = boxes->find(">" + word + "<");
        const auto tag = boxes->rfind("<word", at);
        double yMin = -1;
        if (at != std::string::npos && tag != std::string::npos)
            std::sscanf(boxes->c_str() + boxes->find("yMin=\"", tag) + 6, "%lf", &yMin);
        return yMin;
    };
    const double upper = top("Upper");
    const double lower = top("Lower");
    ASSERT_GT(upper, 0);
    // 300 dots per inch: a tenth of a millimetre is 300 / 254 device pixels.
    const double devicePerTenth = platform::kPrinterDotsPerInch / 254.0;
    // The line height is known to the nearest tenth of a millimetre, 1.2 device pixels.
    const double expectedPixels = lineHeight * devicePerTenth + 2;
    EXPECT_NEAR((lower - upper) * platform::kPrinterDotsPerInch / 72.0, expectedPixels, 0.65);
    // The first line's top is at y = 100 of the margin box (no margins, no unprintable strip).
    EXPECT_NEAR(upper / kPointsPerTenth, 100, 3);
}

TEST_F(BuiltInPdfPrinter, MarginsOffsetEveryDrawingCommand)
{
    HostPrinter::set(kPrinterMarginLeft, 200);
    HostPrinter::set(kPrinterMarginTop, 300);
    HostPrinter::setText(kPrinterDocumentName, "margins");
    ASSERT_TRUE(startQuietly({2, 0}));
    Call().arg(100).arg(100).text("Shifted").run(printerWriteTextAt);
    Call().run(printerEndPrinting);
    const std::optional<std::string> boxes =
        commandOutput({"pdftotext", "-bbox", HostPrinter::unit()->lastWrittenFile(), "-"});
    ASSERT_TRUE(boxes);
    const auto tag = boxes->rfind("<word", boxes->find(">Shifted<"));
    ASSERT_NE(tag, std::string::npos);
    double xMin = 0, yMin = 0;
    std::sscanf(boxes->c_str() + boxes->find("xMin=\"", tag) + 6, "%lf", &xMin);
    std::sscanf(boxes->c_str() + boxes->find("yMin=\"", tag) + 6, "%lf", &yMin);
    EXPECT_NEAR(xMin / kPointsPerTenth, 300, 5);
    EXPECT_NEAR(yMin / kPointsPerTenth, 400, 5);
}

TEST_F(BuiltInPdfPrinter, TheAbortButtonEndsTheJobAndLeavesNoFile)
{
    HostPrinter::setText(kPrinterDocumentName, "aborted");
    ASSERT_TRUE(Call().flag(false).flag(true).arg(2).arg(0).runBool(printerStartPrinting));
    runtime::PrinterStatusDialog* dialog = HostPrinter::unit()->statusDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "正在进行打印，请稍候 ......");
    QPushButton* button = dialog->findChild<QPushButton*>(QStringLiteral("中止打印"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), "中止打印");
    std::vector<std::string> rows;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        rows.push_back(label->text().toStdString());
    for (const std::string& expected : {std::string("打印作业名："), std::string("aborted"), std::string("打印目的："),
                                        pdfFolder() + "/aborted.pdf", std::string("已打印份数："),
                                        std::string("当前页号：")})
        EXPECT_NE(std::find(rows.begin(), rows.end(), expected), rows.end()) << expected;

    // The click is queued, as a user's would be; the unit takes it before the next line.
    QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    Call().arg(0).arg(0).text("one\ntwo").run(printerWriteTextAt);
    EXPECT_FALSE(HostPrinter::unit()->printing());
    EXPECT_EQ(HostPrinter::unit()->statusDialog(), nullptr);
    EXPECT_FALSE(Call().runBool(printerNewPage));
    EXPECT_EQ(Call().text("x").runInt(printerTextWidth), 0);
    QApplication::processEvents();
    EXPECT_FALSE(fs::exists(pdfFolder() + "/aborted.pdf"));
    EXPECT_TRUE(fs::is_empty(pdfFolder()));
}

TEST_F(BuiltInPdfPrinter, AWindowClosedWhileTextIsWrittenEndsTheDocument)
{
    HostPrinter::setText(kPrinterDocumentName, "closed");
    ASSERT_TRUE(startQuietly());
    // A handler that runs between two lines closes the printer's window.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { runtime::destroyLiveWindow(kPrinterWindowId); }, Qt::QueuedConnection);
    Call().arg(0).arg(0).text("one\ntwo\nthree").run(printerWriteTextAt);
    EXPECT_EQ(HostPrinter::unit(), nullptr);
    const std::optional<PdfFacts> pdf = readPdf(pdfFolder() + "/closed.pdf");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->pages, 1);
}

TEST_F(BuiltInPdfPrinter, AFileInTheWayOfTheFolderFailsTheStart)
{
    // A folder that cannot be written; root writes into read-only folders, but nothing can be
    // written below a plain file.
    const std::string documents = fs::path(pdfFolder()).parent_path().string();
    fs::create_directories(documents);
    { std::ofstream(pdfFolder()) << "not a folder"; }
    EXPECT_FALSE(startQuietly());
    EXPECT_FALSE(HostPrinter::unit()->printing());
    fs::remove(pdfFolder());
}

TEST_F(BuiltInPdfPrinter, ARunningJobRefusesASecondStart)
{
    ASSERT_TRUE(startQuietly());
    EXPECT_FALSE(startQuietly());
    EXPECT_TRUE(HostPrinter::unit()->printing());
}

TEST_F(BuiltInPdfPrinter, IdleCommandsDoNothing)
{
    EXPECT_FALSE(Call().runBool(printerNewPage));
    EXPECT_EQ(Call().text("x").runInt(printerTextHeight), 0);
    Call().arg(0).arg(0).text("x").run(printerWriteTextAt);
    Call().run(printerEndPrinting);
    EXPECT_TRUE(HostPrinter::unit()->lastWrittenFile().empty());
    // Without a dialog answer the print dialog counts as cancelled.
    EXPECT_FALSE(Call().flag(true).flag(false).runBool(printerStartPrinting));
}

// The printer's font height rule in every scale mode: points × factor, truncated.
struct FontCase {
    int scaleMode;
    double unitsPerPoint;
};

class PrinterFontHeight : public BuiltInPdfPrinter, public ::testing::WithParamInterface<FontCase> {};

TEST_P(PrinterFontHeight, FollowsTheFactorOfTheScaleMode)
{
    HostPrinter::set(kPrinterScaleMode, GetParam().scaleMode);
    runtime::writeUnitProperty(kPrinterWindowId, kPrinterUnitId, kPrinterFont + 8,
                               static_cast<std::int32_t>(FontMember::Size), 12, 0);
    ASSERT_TRUE(startQuietly());
    const double display = platform::displayDotsPerInch();
    const double points = platform::displayFontHeight(12, display) * 72.0 / display;
    EXPECT_EQ(HostPrinter::unit()->fontHeight(), static_cast<int>(points * GetParam().unitsPerPoint));
}

INSTANTIATE_TEST_SUITE_P(Modes, PrinterFontHeight,
                         ::testing::Values(FontCase{0, 300.0 / 72}, FontCase{1, 253.8071065989848 / 72},
                                           FontCase{2, 2538.0710659898477 / 72}, FontCase{3, 100.0 / 72},
                                           FontCase{4, 13.888888888888888}, FontCase{5, 20}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.scaleMode); });

struct ClampCase {
    std::int32_t property;
    std::int32_t written;
    std::int32_t read;
};

class PrinterPropertyClamp : public BuiltInPdfPrinter, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(PrinterPropertyClamp, HoldsValuesInTheirRange)
{
    HostPrinter::set(GetParam().property, GetParam().written);
    EXPECT_EQ(asInt(HostPrinter::get(GetParam().property)), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PrinterPropertyClamp,
    ::testing::Values(ClampCase{kPrinterScaleMode, 9, 5}, ClampCase{kPrinterScaleMode, -3, 0},
                      ClampCase{kPrinterPenType, 7, 6}, ClampCase{kPrinterDrawMode, 16, 15},
                      ClampCase{kPrinterPenWidth, 40000, 32767}, ClampCase{kPrinterBrushType, 56, 55},
                      ClampCase{kPrinterCopies, -5, -1}, ClampCase{kPrinterCopies, 70000, 65535},
                      ClampCase{kPrinterMinimumPage, 40000, 32767}, ClampCase{kPrinterMinimumPage, -9, -1},
                      ClampCase{kPrinterPrintRange, 4, 1}, ClampCase{kPrinterPrintRange, -4, -1},
                      ClampCase{kPrinterMarginLeft, 123, 123}));

TEST_F(BuiltInPdfPrinter, PicturesAreDrawnAtTheirPlaceAndUnregisteredHandlesNotAtAll)
{
    const TestPicture red_blue(bmpRow({0xFF0000, 0x0000FF}));
    const runtime::PictureHandle picture = red_blue.handle();
    ASSERT_NE(picture, 0);
    HostPrinter::setText(kPrinterDocumentName, "picture");
    // Idle: the pixel size unconverted; running: device pixels in tenths of a millimetre.
    EXPECT_EQ(Call().arg(picture).runInt(printerPictureWidth), 2);
    ASSERT_TRUE(startQuietly({2, 0}));
    EXPECT_EQ(Call().arg(picture).runInt(printerPictureWidth), 2);  // 2 px at 300 dpi = 1.7 tenths
    EXPECT_EQ(Call().arg(987654).runInt(printerPictureWidth), 0);
    Call().arg(picture).arg(1000).arg(1000).arg(200).arg(100).run(printerDrawPicture);
    Call().arg(987654).arg(0).arg(0).arg(2100).arg(2970).run(printerDrawPicture);
    Call().run(printerEndPrinting);

    // Rendered at 254 dots per inch, one pixel is a tenth of a millimetre.
    const std::optional<Raster> page = renderFirstPage(HostPrinter::unit()->lastWrittenFile(), 254);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->pixel(1050, 1050), 0xFF0000u);
    EXPECT_EQ(page->pixel(1150, 1050), 0x0000FFu);
    EXPECT_EQ(page->pixel(50, 50), 0xFFFFFFu);
    EXPECT_EQ(page->pixel(1250, 1050), 0xFFFFFFu);
    EXPECT_EQ(page->pixel(1050, 1150), 0xFFFFFFu);
}

}  // namespace
}  // namespace quillora::test
