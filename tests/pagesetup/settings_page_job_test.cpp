// The settings record as the page job a batch is printed with, and the defaults every renderer
// applies to a job in one place.
#include <gtest/gtest.h>

#include "pages/page_job.h"
#include "pages/page_model.h"
#include "pagesetup/settings_page_job.h"

namespace quillora::app {
namespace {

PrintSettings confirmedRecord()
{
    PrintSettings settings;
    settings.printerName = "Office";
    settings.defaultPrinter = "Home";
    settings.orientation = 1;
    settings.paperWidth = 2100;
    settings.paperHeight = 2970;
    settings.marginTop = 200;
    settings.marginBottom = 180;
    settings.marginLeft = 50;
    settings.marginRight = 150;
    settings.headerOffset = 110;
    settings.footerOffset = 140;
    settings.rows = 4;
    settings.columns = 3;
    settings.rowSpacing = 10;
    settings.columnSpacing = 20;
    settings.captionGap = 2;
    settings.photoMode = 3;
    settings.copies = 2;
    settings.headerAlign = 2;
    settings.footerAlign = 1;
    settings.headerFont.name = "黑体";
    settings.footerFont.size = 12;
    settings.optimisation = 4;
    settings.captionKind = 2;
    return settings;
}

TEST(SettingsPageJob, TheRecordBecomesTheJobOfABatch)
{
    const PageJob job = batchPageJob(confirmedRecord(), PageBatch{{"a.jpg", "b.jpg"}, {"a", "b"}, {}, "H &p", "F"});
    EXPECT_EQ(job.paperWidth, 2100);
    EXPECT_EQ(job.paperHeight, 2970);
    // The paper stays as stored; the page the cells are laid out on is turned.
    EXPECT_TRUE(job.landscape());
    EXPECT_EQ(job.pageWidth(), 2970);
    EXPECT_EQ(job.pageHeight(), 2100);
    EXPECT_EQ(job.marginLeft, 50);
    EXPECT_EQ(job.rows, 4);
    EXPECT_EQ(job.columnSpacing, 20);
    EXPECT_EQ(job.photoMode, 3);
    EXPECT_EQ(job.captionKind, CaptionKind::FileNameAndDate);
    EXPECT_EQ(job.copies, 2);
    EXPECT_EQ(job.header.text, "H &p");
    EXPECT_EQ(job.header.font.name, "黑体");
    EXPECT_EQ(job.header.align, 2);
    EXPECT_EQ(job.header.offset, 110);
    EXPECT_EQ(job.footer.font.size, 12);
    EXPECT_EQ(job.footer.align, 1);
    EXPECT_EQ(job.footer.offset, 140);
    EXPECT_EQ(job.optimisation, 4);
    EXPECT_EQ(job.paths, (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(job.captions, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(job.output.kind, PageOutput::Kind::Printer);
    EXPECT_EQ(job.output.printerName, "Office");
    EXPECT_EQ(job.output.defaultPrinter, "Home");
}

TEST(SettingsPageJob, PictureFilesAreTheOutputWhenChosen)
{
    PrintSettings settings = confirmedRecord();
    settings.toPictureFiles = true;
    settings.pictureFormat = 5;
    const PageJob job = batchPageJob(settings, {});
    EXPECT_EQ(job.output.kind, PageOutput::Kind::Files);
    EXPECT_EQ(job.output.pictureFormat, 5);
    EXPECT_TRUE(job.output.folder.empty());
}

TEST(SettingsPageJob, AnOptimisationTheWindowCannotGiveLoadsPicturesAsTheyAre)
{
    PrintSettings settings = confirmedRecord();
    settings.optimisation = 9;
    EXPECT_EQ(batchPageJob(settings, {}).optimisation, 0);
    // The preview asks for its own level, unless the record's choice is out of range.
    EXPECT_EQ(optimisationLevel(settings, 1), 0);
    settings.optimisation = 0;
    EXPECT_EQ(optimisationLevel(settings, 1), 1);
}

TEST(PageDefaults, EachRendererFillsWhatTheJobLacks)
{
    PageJob job;
    job.photoMode = 7;
    job.captionFont.name.clear();
    PageJob preview = job;
    applyPageDefaults(preview, previewRules());
    EXPECT_EQ(preview.paperWidth, 210);
    EXPECT_EQ(preview.paperHeight, 297);
    EXPECT_EQ(preview.rows, 5);
    EXPECT_EQ(preview.columns, 5);
    EXPECT_EQ(preview.photoMode, 0);
    EXPECT_EQ(preview.captionFont.name, "宋体");
    EXPECT_EQ(preview.captionFont.size, 9);

    PageJob exported = job;
    exported.rows = 3;  // one of the two missing is enough for 5 × 5
    applyPageDefaults(exported, exportRules());
    EXPECT_EQ(exported.paperWidth, 2100);
    EXPECT_EQ(exported.paperHeight, 2970);
    EXPECT_EQ(exported.rows, 5);
    EXPECT_EQ(exported.columns, 5);

    // The printer has no grid of its own: a job without rows or columns is refused instead.
    PageJob printed = job;
    applyPageDefaults(printed, printerRules());
    EXPECT_EQ(printed.paperWidth, 2100);
    EXPECT_EQ(printed.rows, 0);
    EXPECT_EQ(printed.columns, 0);
}

TEST(PageDefaults, ASizeIsOnlyReplacedWhenOneSideIsMissing)
{
    PageJob job;
    job.paperWidth = 1480;
    job.paperHeight = 2100;
    applyPageDefaults(job, exportRules());
    EXPECT_EQ(job.paperWidth, 1480);
    EXPECT_EQ(job.paperHeight, 2100);
    job.paperHeight = 0;
    applyPageDefaults(job, exportRules());
    EXPECT_EQ(job.paperWidth, 2100);
    EXPECT_EQ(job.paperHeight, 2970);
}

struct FontScaleCase {
    std::int32_t points;
    std::int32_t preview;  // whole millimetres
    std::int32_t exported;  // 0.1 mm
};

class FontScale : public ::testing::TestWithParam<FontScaleCase> {};

TEST_P(FontScale, PanelsConvertScreenPointsThePrinterTakesThemAsTheyAre)
{
    const FontScaleCase& c = GetParam();
    EXPECT_EQ(previewRules().fontSize(c.points), c.preview);
    EXPECT_EQ(exportRules().fontSize(c.points), c.exported);
    EXPECT_EQ(printerRules().fontSize(c.points), c.points);
}

// truncate(size ÷ 96 × 25.4) and truncate(size × 2.6458).
INSTANTIATE_TEST_SUITE_P(Sizes, FontScale,
                         ::testing::Values(FontScaleCase{9, 2, 23}, FontScaleCase{12, 3, 31},
                                           FontScaleCase{72, 19, 190}, FontScaleCase{3, 0, 7}));

}  // namespace
}  // namespace quillora::app
