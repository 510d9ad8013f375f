// Jobs through the printer unit onto the virtual printers of the private print server, read back
// from the files the printers keep and from what the server recorded.
#include "printer_test_support.h"

#include <cmath>

namespace quillora::test {
namespace {

constexpr double kPointsPerTenth = 72.0 / 254.0;

class QueueJob : public ::testing::Test {
public:
    QueueJob() : bar(blackPicture()) {}

protected:
    void SetUp() override
    {
        ASSERT_TRUE(privateCups().started()) << privateCups().problem();
        ASSERT_TRUE(host.loaded());
        runtime::clearProgramDefaultPrinter();
        HostPrinter::set(kPrinterScaleMode, 1);
    }
    void TearDown() override { runtime::clearProgramDefaultPrinter(); }

    // Prints one page with a line of text on `queue` and returns the file the printer kept.
    std::optional<PdfFacts> printOn(const std::string& queue, std::initializer_list<std::int32_t> paper,
                                    const char* documentName = "queue-job")
    {
        EXPECT_TRUE(Call::withoutUnit().text(queue.c_str()).runBool(SetDefaultPrinter));
        HostPrinter::setText(kPrinterDocumentName, documentName);
        const std::size_t known = privateCups().jobFiles(queue).size();
        if (!startQuietly(paper))
            return std::nullopt;
        Call().arg(100).arg(100).text("Quillora").run(printerWriteTextAt);
        Call().run(printerEndPrinting);
        const std::optional<std::string> file = privateCups().waitForJobFile(queue, known);
        if (!file)
            return std::nullopt;
        return readPdf(*file);
    }

    HostPrinter host;
    TestPicture bar;
};

TEST_F(QueueJob, CustomSizeArrivesOnTheQueueThatTakesIt)
{
    const std::optional<PdfFacts> job = printOn("VirtualCustom", {-1, 0, 1500, 2000});
    ASSERT_TRUE(job);
    EXPECT_EQ(job->pages, 1);
    EXPECT_NEAR(job->width, 1500 * kPointsPerTenth, 1.0);
    EXPECT_NEAR(job->height, 2000 * kPointsPerTenth, 1.0);
    const std::optional<RecordedJob> recorded = privateCups().lastJob("VirtualCustom");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->media, "Custom.150x200mm");
}

TEST_F(QueueJob, LandscapeTurnsTheSheet)
{
    // A bar across the top of the page: 100 × 20 mm. The queue may turn a landscape page back
    // onto its portrait paper, so the page is looked at: in landscape the bar runs along the
    // long side of the sheet.
    const auto barRunsAlongTheLongSide = [&](std::int32_t orientation) -> std::optional<bool> {
        EXPECT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
        HostPrinter::setText(kPrinterDocumentName, "orientation");
        const std::size_t known = privateCups().jobFiles("VirtualCustom").size();
        if (!startQuietly({2, orientation}))
            return std::nullopt;
        Call().arg(bar.handle()).arg(0).arg(0).arg(1000).arg(200).run(printerDrawPicture);
        Call().run(printerEndPrinting);
        const std::optional<std::string> file = privateCups().waitForJobFile("VirtualCustom", known);
        if (!file)
            return std::nullopt;
        const std::optional<Raster> page = renderFirstPage(*file, 25.4);  // 1 pixel = 1 mm
        if (!page)
            return std::nullopt;
        const auto [width, height] = page->darkExtent();
        const bool sheetIsTall = page->height > page->width;
        return sheetIsTall ? height > width : width > height;
    };
    EXPECT_EQ(barRunsAlongTheLongSide(1), std::optional<bool>(true));
    // Orientation 2 is not landscape.
    EXPECT_EQ(barRunsAlongTheLongSide(2), std::optional<bool>(false));
}

TEST_F(QueueJob, CopiesAndDocumentNameReachTheServer)
{
    HostPrinter::set(kPrinterCopies, 2);
    ASSERT_TRUE(printOn("VirtualCustom", {}, "份数-2"));
    std::optional<RecordedJob> recorded = privateCups().lastJob("VirtualCustom");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->copies, 2);
    EXPECT_EQ(recorded->name, "份数-2");

    HostPrinter::set(kPrinterCopies, 1);
    ASSERT_TRUE(printOn("VirtualCustom", {}, ""));
    recorded = privateCups().lastJob("VirtualCustom");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->name, "未命名打印作业");
    EXPECT_EQ(recorded->copies, 1);
}

struct PaperCase {
    std::int32_t code;
    double width;   // points
    double height;
};

class QueuePaperCode : public QueueJob, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(QueuePaperCode, SelectsItsPaperOrKeepsTheQueuesOwn)
{
    const PaperCase paper = GetParam();
    const std::optional<PdfFacts> job = printOn("VirtualCustom", {paper.code, 0});
    ASSERT_TRUE(job);
    EXPECT_NEAR(job->width, paper.width, 1.0);
    EXPECT_NEAR(job->height, paper.height, 1.0);
}

// The queue's own paper is A4; code 1000 is system paper 1, Letter.
INSTANTIATE_TEST_SUITE_P(Codes, QueuePaperCode,
                         ::testing::Values(PaperCase{17, 595.3, 841.9}, PaperCase{999, 595.3, 841.9},
                                           PaperCase{1000, 612, 792}, PaperCase{3, 419.5, 595.3}),
                         [](const auto& info) { return "code" + std::to_string(info.param.code); });

TEST_F(QueueJob, ADriverlessQueueFallsBackToAStandardSizeAndStillPrints)
{
    const std::optional<PdfFacts> job = printOn("VirtualA4", {-1, 0, 1500, 2000});
    ASSERT_TRUE(job);
    // One of its standard papers that holds 150 × 200 mm: Letter (the smallest) or A4, as the
    // queue lists them.
    const bool letter = std::abs(job->width - 612) < 1.5 && std::abs(job->height - 792) < 1.5;
    const bool a4 = std::abs(job->width - 595.3) < 1.5 && std::abs(job->height - 841.9) < 1.5;
    EXPECT_TRUE(letter || a4) << job->width << " x " << job->height;
}

TEST_F(QueueJob, AQueueThatHasGoneFailsTheStartAndLeavesTheUnitIdle)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_EQ(privateCups().run({"lpadmin", "-p", "Vanishing", "-E", "-v", "file:///dev/null"}), 0);
    ASSERT_TRUE(Call::withoutUnit().text("Vanishing").runBool(SetDefaultPrinter));
    ASSERT_EQ(privateCups().run({"lpadmin", "-x", "Vanishing"}), 0);
    EXPECT_FALSE(startQuietly({2, 0}));
    EXPECT_FALSE(HostPrinter::unit()->printing());
    EXPECT_FALSE(Call().runBool(printerNewPage));
}

TEST_F(QueueJob, AQueueThatRejectsJobsFailsTheStart)
{
    ASSERT_TRUE(Call::withoutUnit().text("VirtualCustom").runBool(SetDefaultPrinter));
    ASSERT_EQ(privateCups().run({"cupsreject", "VirtualCustom"}), 0);
    EXPECT_FALSE(startQuietly({2, 0}));
    EXPECT_FALSE(HostPrinter::unit()->printing());
    ASSERT_EQ(privateCups().run({"cupsaccept", "VirtualCustom"}), 0);
    const std::size_t known = privateCups().jobFiles("VirtualCustom").size();
    EXPECT_TRUE(startQuietly({2, 0}));
    Call().run(printerEndPrinting);
    // The job is waited for, so that it does not arrive during the next test.
    EXPECT_TRUE(privateCups().waitForJobFile("VirtualCustom", known));
}

}  // namespace
}  // namespace quillora::test
