// The shared page loop on a surface that records what is drawn: pages and their pictures,
// caption positions, header and footer lines with the fonts around them, cancel and a page that
// cannot be finished. The printer's rules are used, so natural sizes come from the surface.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "pagesetup/page_drawing.h"
#include "pagesetup/print_settings.h"

namespace quillora::app {
namespace {

struct Drawn {
    std::int32_t picture;
    PictureRect rect;
    bool operator==(const Drawn&) const = default;
};

struct Written {
    std::int32_t x;
    std::int32_t y;
    std::string text;
    std::string font;  // name of the font the text was written in
    bool operator==(const Written&) const = default;
};

// Text 10 units a byte wide and 40 high; pictures as large as the table says.
class RecordingSurface final : public PageSurface {
public:
    void setFont(const FontSpec& font, std::int32_t size) override { font_ = font.name + "/" + std::to_string(size); }
    std::int32_t textWidth(const std::string& text) override { return static_cast<std::int32_t>(text.size()) * 10; }
    std::int32_t textHeight(const std::string&) override { return 40; }
    void writeText(std::int32_t x, std::int32_t y, const std::string& text) override
    {
        texts.push_back({x, y, text, font_});
    }
    std::int32_t pictureWidth(std::int32_t picture) override { return sizes[picture].first; }
    std::int32_t pictureHeight(std::int32_t picture) override { return sizes[picture].second; }
    void drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                     std::int32_t height) override
    {
        pictures.push_back({picture, {x, y, width, height}});
    }

    std::map<std::int32_t, std::pair<std::int32_t, std::int32_t>> sizes;
    std::vector<Drawn> pictures;
    std::vector<Written> texts;

private:
    std::string font_;
};

// A4 on the printer, margins 20/18/5/15 mm, 3 × 3, 1 mm spacings, a 40-unit caption line:
// cells of 626 × 856 (whole units), picture boxes 626 × 816 every 636 across and 866 down.
class PageLoop : public ::testing::Test {
protected:
    void prepare(std::size_t pictures, std::int32_t mode)
    {
        paths.assign(pictures, "p");
        captions.assign(pictures, "abc");
        ratios.assign(pictures, 0.0f);
        run.rules = printerRules();
        run.layout = computePageLayout({2100, 2970, 200, 180, 50, 150, 3, 3, 10, 10, 0, 40}, run.rules);
        run.cells.paths = &paths;
        run.cells.captions = &captions;
        run.cells.ratios = &ratios;
        run.cells.photoMode = mode;
        // Picture k is handle k + 1, 500 × 300 units.
        run.cells.load = [this](std::size_t index) {
            const auto handle = static_cast<std::int32_t>(index + 1);
            surface.sizes[handle] = {500, 300};
            return handle;
        };
        run.cells.afterCell = [this](std::size_t done) { return done == stopAfter; };
        run.headerFonts = {FontSpec{0, false, false, false, false, 12, "黑体"}, 12, FontSpec{}, 9};
        run.footerFonts = {FontSpec{0, false, false, false, false, 8, "楷体"}, 8, FontSpec{}, 9};
        run.lineWidth = run.layout.availW;
        run.lineHeight = run.layout.availH;
        run.headerOffset = 110 - 200;
        run.footerOffset = 140 - 180;
        run.totalPages = pagesNeeded(static_cast<std::int64_t>(pictures), run.layout.cellsPerPage());
        run.finishPage = [this](std::int32_t page) {
            finished.push_back(page);
            picturesPerPage.push_back(surface.pictures.size() - drawnBefore);
            drawnBefore = surface.pictures.size();
            return page != refusePage;
        };
    }

    std::vector<Written> textsAt(std::int32_t y) const
    {
        std::vector<Written> found;
        for (const Written& text : surface.texts)
            if (text.y == y)
                found.push_back(text);
        return found;
    }

    RecordingSurface surface;
    PageRun run;
    std::vector<std::string> paths;
    std::vector<std::string> captions;
    std::vector<float> ratios;
    std::vector<std::int32_t> finished;
    std::vector<std::size_t> picturesPerPage;
    std::size_t drawnBefore = 0;
    std::size_t stopAfter = 0;
    std::int32_t refusePage = 0;
};

TEST_F(PageLoop, TenPicturesAtThreeByThreeMakeTwoPages)
{
    prepare(10, kPhotoFillBox);
    EXPECT_EQ(run.totalPages, 2);
    EXPECT_EQ(drawPages(surface, run, paths.size()), 2);
    EXPECT_EQ(finished, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(picturesPerPage, (std::vector<std::size_t>{9, 1}));
    // Row by row, left to right; the tenth picture starts page 2 in the first cell.
    EXPECT_EQ(surface.pictures[1], (Drawn{2, {636, 0, 626, 816}}));
    EXPECT_EQ(surface.pictures[4], (Drawn{5, {636, 866, 626, 816}}));
    EXPECT_EQ(surface.pictures[8], (Drawn{9, {1272, 1732, 626, 816}}));
    EXPECT_EQ(surface.pictures[9], (Drawn{10, {0, 0, 626, 816}}));
}

TEST_F(PageLoop, NinePicturesMakeOnePage)
{
    prepare(9, kPhotoFillBox);
    EXPECT_EQ(drawPages(surface, run, paths.size()), 1);
    EXPECT_EQ(picturesPerPage, (std::vector<std::size_t>{9}));
}

TEST_F(PageLoop, NaturalSizeComesFromTheSurfaceAndIsCentred)
{
    prepare(1, kPhotoNaturalCentred);
    drawPages(surface, run, paths.size());
    // 0 + (626 - 500) / 2 = 63, 0 + (816 - 300) / 2 = 258.
    ASSERT_EQ(surface.pictures.size(), 1u);
    EXPECT_EQ(surface.pictures[0], (Drawn{1, {63, 258, 500, 300}}));
}

TEST_F(PageLoop, CaptionsAreCentredUnderTheirCellOrStartAtItsLeftEdge)
{
    prepare(3, kPhotoFillBox);
    captions[1] = std::string(70, 'w');  // 700 units, wider than the 626 of a cell
    drawPages(surface, run, paths.size());
    // The caption line is the bottom 40 of the cell: 866 - 10 - 40 = 816.
    const std::vector<Written> line = textsAt(816);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[0], (Written{298, 816, "abc", ""}));
    EXPECT_EQ(line[1].x, 636);
    EXPECT_EQ(line[2], (Written{1272 + 298, 816, "abc", ""}));
}

TEST_F(PageLoop, EveryPageHasItsHeaderAndFooterInTheirFonts)
{
    prepare(10, kPhotoFillBox);
    run.header = "Album";
    run.footer = "End";
    drawPages(surface, run, paths.size());
    // On the margin box: the header 110 - 200 above its top, the footer 140 - 180 above its
    // bottom (2590 + 40).
    const std::vector<Written> headers = textsAt(-90);
    const std::vector<Written> footers = textsAt(2630);
    ASSERT_EQ(headers.size(), 2u);
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_EQ(headers[0], (Written{0, -90, "Album", "黑体/12"}));
    EXPECT_EQ(footers[1], (Written{0, 2630, "End", "楷体/8"}));
    // The captions after a header are written in the caption font again.
    EXPECT_EQ(surface.texts[1].font, "宋体/9");
}

TEST_F(PageLoop, WithoutHeaderOrFooterNoLineFontIsSet)
{
    prepare(2, kPhotoFillBox);
    drawPages(surface, run, paths.size());
    for (const Written& text : surface.texts)
        EXPECT_EQ(text.font, "");  // nothing ever set a font: only captions were written
}

TEST_F(PageLoop, AMissingPictureLeavesItsCellEmptyButKeepsItsCaption)
{
    prepare(3, kPhotoFillBox);
    run.cells.load = [this](std::size_t index) {
        const auto handle = static_cast<std::int32_t>(index + 1);
        surface.sizes[handle] = {500, 300};
        return index == 1 ? 0 : handle;
    };
    drawPages(surface, run, paths.size());
    ASSERT_EQ(surface.pictures.size(), 2u);
    EXPECT_EQ(surface.pictures[1].picture, 3);
    EXPECT_EQ(textsAt(816).size(), 3u);
}

TEST_F(PageLoop, ACancelFinishesThePageAndEndsTheRun)
{
    prepare(20, kPhotoFillBox);
    run.footer = "End";
    stopAfter = 2;
    EXPECT_EQ(drawPages(surface, run, paths.size()), 1);
    EXPECT_EQ(finished, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(picturesPerPage, (std::vector<std::size_t>{2}));
    EXPECT_EQ(textsAt(2630).size(), 1u);  // the stopped page still has its footer
}

TEST_F(PageLoop, APageThatCannotBeFinishedEndsTheRun)
{
    prepare(20, kPhotoFillBox);
    refusePage = 1;
    EXPECT_EQ(drawPages(surface, run, paths.size()), 1);
    EXPECT_EQ(surface.pictures.size(), 9u);
}

TEST_F(PageLoop, ALayoutWithoutRoomDrawsNothing)
{
    prepare(5, kPhotoFillBox);
    run.layout = computePageLayout({2100, 2970, 0, 0, 1200, 1200, 3, 3, 0, 0, 0, 40}, run.rules);
    EXPECT_EQ(drawPages(surface, run, paths.size()), 0);
    EXPECT_TRUE(finished.empty());
    EXPECT_TRUE(surface.texts.empty());
}

}  // namespace
}  // namespace quillora::app
