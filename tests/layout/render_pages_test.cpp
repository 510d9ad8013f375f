// The one page loop on a sink whose surface records what is drawn: pages and their pictures,
// caption positions, header and footer lines with the fonts around them, cancel and a page that
// cannot be finished. The printer's rules are used, so natural sizes come from the surface; the
// loop runs in the program's own progress window and loads real picture files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/handlers.h"
#include "layout_test_support.h"
#include "pages/progress_window.h"
#include "pages/render_pages.h"
#include "platform/message_box.h"
#include "tests/picture/exif_test_files.h"

namespace quillora::app {
namespace {


struct Written {
    std::int32_t x;
    std::int32_t y;
    std::string text;
    std::string font;  // name of the font the text was written in
    bool operator==(const Written&) const = default;
};

// Text 10 units a byte wide and 40 high; every picture 500 × 300 units.
class RecordingSurface final : public PageSurface {
public:
    void setFont(const FontSpec& font, std::int32_t size) override { font_ = font.name + "/" + std::to_string(size); }
    std::int32_t textWidth(const std::string& text) override { return static_cast<std::int32_t>(text.size()) * 10; }
    std::int32_t textHeight(const std::string&) override { return 40; }
    void writeText(std::int32_t x, std::int32_t y, const std::string& text) override
    {
        texts.push_back({x, y, text, font_});
    }
    std::int32_t pictureWidth(std::int32_t) override { return 500; }
    std::int32_t pictureHeight(std::int32_t) override { return 300; }
    void drawPicture(std::int32_t, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override
    {
        pictures.push_back({x, y, width, height});
        // The user presses 取消 while this picture is drawn.
        if (pictures.size() == cancelAt)
            按钮_取消打印_被单击(EventArguments{});
    }
    void drawPicturePart(std::int32_t, const PictureRect& drawn, const PictureRect& source) override
    {
        pictures.push_back(drawn);
        parts.push_back(source);
    }

    std::vector<PictureRect> pictures;
    std::vector<PictureRect> parts;  // the source of each picture drawn in part
    std::vector<Written> texts;
    std::size_t cancelAt = 0;

private:
    std::string font_;
};

// The printer's rules on a recording surface; pages are counted as they end.
class RecordingSink final : public PageSink {
public:
    const PageRules& rules() const override { return rules_; }
    PageSurface& surface() override { return surface_; }
    bool begin(const PageJob&) override
    {
        ++begun;
        return !refuseStart;
    }
    bool endPage(std::int32_t page) override
    {
        finished.push_back(page);
        picturesPerPage.push_back(surface_.pictures.size() - drawnBefore_);
        drawnBefore_ = surface_.pictures.size();
        return page != refusePage;
    }
    void end() override { ++ended; }

    RecordingSurface& recorded() { return surface_; }

    std::vector<std::int32_t> finished;
    std::vector<std::size_t> picturesPerPage;
    std::int32_t refusePage = 0;
    bool refuseStart = false;
    int begun = 0;
    int ended = 0;

private:
    PageRules rules_ = printerRules();
    RecordingSurface surface_;
    std::size_t drawnBefore_ = 0;
};

// A4 on the printer, margins 20/18/5/15 mm, 3 × 3, 1 mm spacings, a 40-unit caption line:
// cells of 626 × 856 (whole units), picture boxes 626 × 816 every 636 across and 866 down.
class PageLoop : public ::testing::Test {
protected:
    void SetUp() override { layout_test::installProgramWindows(); }
    void TearDown() override { layout_test::unloadProgramWindows(); }

    void prepare(std::size_t pictures, std::int32_t mode)
    {
        const std::string picture =
            layout_test::writePicture(folder_.path() / "p.bmp", layout_test::plainBmp(50, 30, 0xFF0000));
        job.paperWidth = 2100;
        job.paperHeight = 2970;
        job.marginTop = 200;
        job.marginBottom = 180;
        job.marginLeft = 50;
        job.marginRight = 150;
        job.rows = job.columns = 3;
        job.rowSpacing = job.columnSpacing = 10;
        job.photoMode = mode;
        job.header.font = FontSpec{0, false, false, false, false, 12, "黑体"};
        job.header.offset = 110;
        job.footer.font = FontSpec{0, false, false, false, false, 8, "楷体"};
        job.footer.offset = 140;
        job.paths.assign(pictures, picture);
        job.captions.assign(pictures, "abc");
    }

    std::vector<Written> textsAt(std::int32_t y)
    {
        std::vector<Written> found;
        for (const Written& text : sink.recorded().texts)
            if (text.y == y)
                found.push_back(text);
        return found;
    }

    std::vector<PictureRect>& pictures() { return sink.recorded().pictures; }

    layout_test::TempFolder folder_;
    PageJob job;
    RecordingSink sink;
};

TEST_F(PageLoop, TenPicturesAtThreeByThreeMakeTwoPages)
{
    prepare(10, kPhotoFillBox);
    job.header.text = "&p/&a";
    const RenderResult result = renderPages(job, sink);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pagesFinished, 2);
    EXPECT_EQ(sink.finished, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(sink.picturesPerPage, (std::vector<std::size_t>{9, 1}));
    // Row by row, left to right; the tenth picture starts page 2 in the first cell.
    ASSERT_EQ(pictures().size(), 10u);
    EXPECT_EQ(pictures()[1], (PictureRect{636, 0, 626, 816}));
    EXPECT_EQ(pictures()[4], (PictureRect{636, 866, 626, 816}));
    EXPECT_EQ(pictures()[8], (PictureRect{1272, 1732, 626, 816}));
    EXPECT_EQ(pictures()[9], (PictureRect{0, 0, 626, 816}));
    const std::vector<Written> headers = textsAt(-90);
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[1].text, "2/2");
    // The progress window came and went; the sink was opened and closed once.
    EXPECT_EQ(sink.begun, 1);
    EXPECT_EQ(sink.ended, 1);
    EXPECT_FALSE(cancelRequested());
}

TEST_F(PageLoop, NinePicturesMakeOnePage)
{
    prepare(9, kPhotoFillBox);
    EXPECT_EQ(renderPages(job, sink).pagesFinished, 1);
    EXPECT_EQ(sink.picturesPerPage, (std::vector<std::size_t>{9}));
}

TEST_F(PageLoop, NaturalSizeComesFromTheSurfaceAndIsCentred)
{
    prepare(1, kPhotoNaturalCentred);
    renderPages(job, sink);
    // 0 + (626 - 500) / 2 = 63, 0 + (816 - 300) / 2 = 258.
    ASSERT_EQ(pictures().size(), 1u);
    EXPECT_EQ(pictures()[0], (PictureRect{63, 258, 500, 300}));
}

TEST_F(PageLoop, CaptionsAreCentredUnderTheirCellOrStartAtItsLeftEdge)
{
    prepare(3, kPhotoFillBox);
    job.captions[1] = std::string(70, 'w');  // 700 units, wider than the 626 of a cell
    renderPages(job, sink);
    // The caption line is the bottom 40 of the cell: 866 - 10 - 40 = 816.
    const std::vector<Written> line = textsAt(816);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[0], (Written{298, 816, "abc", "宋体/9"}));
    EXPECT_EQ(line[1].x, 636);
    EXPECT_EQ(line[2], (Written{1272 + 298, 816, "abc", "宋体/9"}));
}

// Mode 5 through the loop: the whole box is drawn from the centred part of the picture that
// fills it. The 50 × 30 picture in a tall 626 × 816 box keeps all its rows and
// 50 × (626 / 816) ÷ (50 / 30) = 23 of its columns, from (50 - 23) / 2 = 13.
TEST_F(PageLoop, CropFillDrawsTheBoxFromTheCentredPartOfThePicture)
{
    prepare(1, kPhotoCropFill);
    renderPages(job, sink);
    ASSERT_EQ(pictures().size(), 1u);
    EXPECT_EQ(pictures()[0], (PictureRect{0, 0, 626, 816}));
    ASSERT_EQ(sink.recorded().parts.size(), 1u);
    EXPECT_EQ(sink.recorded().parts[0], (PictureRect{13, 0, 23, 30}));

    // A tall 30 × 50 picture in a wide 1900 × 816 box (one column): all its columns and
    // 50 × (30 / 50) ÷ (1900 / 816) = 13 of its rows, from (50 - 13) / 2 = 18.
    job.columns = 1;
    job.paths.assign(1, layout_test::writePicture(folder_.path() / "tall.bmp", layout_test::plainBmp(30, 50, 0xFF)));
    RecordingSink wide;
    renderPages(job, wide);
    ASSERT_EQ(wide.recorded().parts.size(), 1u);
    EXPECT_EQ(wide.recorded().pictures[0], (PictureRect{0, 0, 1900, 816}));
    EXPECT_EQ(wide.recorded().parts[0], (PictureRect{0, 18, 30, 13}));
}

// The three caption kinds, for a photo with an EXIF date, a picture without one (its file's
// time) and a file that is gone (no date).
TEST_F(PageLoop, CaptionsSayTheFileNameTheDateTakenOrBoth)
{
    const layout_test::TimeZone utc("UTC0");
    prepare(3, kPhotoFitCentred);
    const test::Bytes photo = test::withSegment(test::redOverBlue(16, 8), 0xE1,
                                          test::exifPayload(test::exifTiffWithDates("", "2024:05:01 10:20:33")));
    job.paths = {layout_test::writePicture(folder_.path() / "a.jpg", photo),
                 layout_test::writePicture(folder_.path() / "b.bmp", layout_test::plainBmp(5, 3, 0xFF)),
                 layout_test::writePicture(folder_.path() / "c.jpg", photo)};
    // 2021-03-04 05:06:07 UTC.
    layout_test::setModifiedSeconds(folder_.path() / "b.bmp", 1614834367);
    std::filesystem::remove(folder_.path() / "c.jpg");
    job.captions = {"a.jpg", "b.bmp", "c.jpg"};

    const auto captions = [&](CaptionKind kind) {
        job.captionKind = kind;
        RecordingSink kindSink;
        renderPages(job, kindSink);
        std::vector<std::string> texts;
        for (const Written& text : kindSink.recorded().texts)
            texts.push_back(text.text);
        return texts;
    };
    EXPECT_EQ(captions(CaptionKind::FileName), (std::vector<std::string>{"a.jpg", "b.bmp", "c.jpg"}));
    EXPECT_EQ(captions(CaptionKind::TakenDate), (std::vector<std::string>{"2024-05-01 10:20", "2021-03-04 05:06"}));
    EXPECT_EQ(captions(CaptionKind::FileNameAndDate),
              (std::vector<std::string>{"a.jpg  2024-05-01 10:20", "b.bmp  2021-03-04 05:06", "c.jpg"}));

    // Placed by the caption rule: 23 characters of 10 units, centred in the 626 of the cell.
    job.captionKind = CaptionKind::FileNameAndDate;
    renderPages(job, sink);
    const std::vector<Written> line = textsAt(816);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[0].x, (626 - 230) / 2);
}

TEST_F(PageLoop, EveryPageHasItsHeaderAndFooterInTheirFonts)
{
    prepare(10, kPhotoFillBox);
    job.header.text = "Album";
    job.footer.text = "End";
    renderPages(job, sink);
    // On the margin box: the header 110 - 200 above its top, the footer 140 - 180 above its
    // bottom (2590 + 40).
    const std::vector<Written> headers = textsAt(-90);
    const std::vector<Written> footers = textsAt(2630);
    ASSERT_EQ(headers.size(), 2u);
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_EQ(headers[0], (Written{0, -90, "Album", "黑体/12"}));
    EXPECT_EQ(footers[1], (Written{0, 2630, "End", "楷体/8"}));
    // The captions after a header are written in the caption font again.
    EXPECT_EQ(sink.recorded().texts[1].font, "宋体/9");
}

TEST_F(PageLoop, WithoutHeaderOrFooterOnlyTheCaptionFontIsUsed)
{
    prepare(2, kPhotoFillBox);
    renderPages(job, sink);
    ASSERT_EQ(sink.recorded().texts.size(), 2u);
    for (const Written& text : sink.recorded().texts)
        EXPECT_EQ(text.font, "宋体/9");
}

TEST_F(PageLoop, AMissingPictureLeavesItsCellEmptyButKeepsItsCaption)
{
    prepare(3, kPhotoFillBox);
    job.paths[1] = job.paths[1] + ".gone";
    renderPages(job, sink);
    ASSERT_EQ(pictures().size(), 2u);
    EXPECT_EQ(pictures()[1], (PictureRect{1272, 0, 626, 816}));
    EXPECT_EQ(textsAt(816).size(), 3u);
}

TEST_F(PageLoop, ACancelFinishesThePageAndEndsTheRun)
{
    prepare(20, kPhotoFillBox);
    job.footer.text = "End";
    sink.recorded().cancelAt = 2;
    const RenderResult result = renderPages(job, sink);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 1);
    EXPECT_EQ(sink.finished, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(sink.picturesPerPage, (std::vector<std::size_t>{2}));
    EXPECT_EQ(textsAt(2630).size(), 1u);  // the stopped page still has its footer
    EXPECT_FALSE(cancelRequested());
    EXPECT_EQ(sink.ended, 1);
}

TEST_F(PageLoop, APageThatCannotBeFinishedEndsTheRun)
{
    prepare(20, kPhotoFillBox);
    sink.refusePage = 1;
    const RenderResult result = renderPages(job, sink);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.pagesFinished, 0);
    EXPECT_EQ(pictures().size(), 9u);
}

TEST_F(PageLoop, ASinkThatCannotStartDrawsNothingButIsEnded)
{
    prepare(5, kPhotoFillBox);
    sink.refuseStart = true;
    const RenderResult result = renderPages(job, sink);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(pictures().empty());
    EXPECT_EQ(sink.ended, 1);
    EXPECT_FALSE(progressWindowLoaded() && asBool(readProperty(progressPagePanel(), kPropertyVisible)));
}

TEST_F(PageLoop, ALayoutWithoutRoomDrawsNothing)
{
    prepare(5, kPhotoFillBox);
    job.marginLeft = job.marginRight = 1200;
    std::vector<std::string> messages;
    platform::setMessageBoxInterceptor([&messages](const platform::MessageBoxRequest& request) {
        messages.push_back(request.text);
        return 1;
    });
    const RenderResult result = renderPages(job, sink);
    platform::setMessageBoxInterceptor(nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{kNoRoomMessage});
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(sink.begun, 0);
    EXPECT_TRUE(sink.finished.empty());
    EXPECT_TRUE(sink.recorded().texts.empty());
}

}  // namespace
}  // namespace quillora::app
