#include "pages/render_pages.h"

#include <algorithm>
#include <limits>
#include <string>

#include "common/core_calls.h"
#include "common/picture_calls.h"
#include "pages/header_footer.h"
#include "pages/load_print_picture.h"
#include "pages/progress_window.h"

namespace quillora::app {

namespace {

// One picture into a box on the surface with the photo mode's rules; nothing for picture 0.
void drawPictureInBox(PageSurface& surface, const PageRules& rules, std::int32_t picture, const PictureRect& box,
                      float ratio, std::int32_t mode)
{
    if (picture == 0)
        return;
    std::int32_t picW = 0;
    std::int32_t picH = 0;
    if (rules.naturalPixels > 0) {
        picW = naturalLength(picturePixelWidth(picture), rules);
        picH = naturalLength(picturePixelHeight(picture), rules);
    } else {
        picW = surface.pictureWidth(picture);
        picH = surface.pictureHeight(picture);
    }
    // A picture smaller than one unit still has its own proportions.
    if ((picW <= 0 || picH <= 0) && !(ratio >= 0.001f)) {
        const std::int32_t pixelW = picturePixelWidth(picture);
        const std::int32_t pixelH = picturePixelHeight(picture);
        if (pixelW > 0 && pixelH > 0)
            ratio = static_cast<float>(pixelW) / static_cast<float>(pixelH);
    }
    const auto drawn = fitPictureInBox(box, picW, picH, ratio, mode);
    if (!drawn)
        return;
    if (normalisedPhotoMode(mode) != kPhotoCropFill) {
        surface.drawPicture(picture, drawn->x, drawn->y, drawn->width, drawn->height);
        return;
    }
    // The crop is taken from the picture's own pixels, at the given ratio or else its own.
    const std::int32_t pixelW = picturePixelWidth(picture);
    const std::int32_t pixelH = picturePixelHeight(picture);
    if (!(ratio >= 0.001f) && pixelW > 0 && pixelH > 0)
        ratio = static_cast<float>(pixelW) / static_cast<float>(pixelH);
    if (const auto source = cropSourceForBox(*drawn, ratio, pixelW, pixelH))
        surface.drawPicturePart(picture, *drawn, *source);
}

// A count of cells as the progress bar takes it, in 32 bits.
std::int32_t progressCount(std::size_t count)
{
    return static_cast<std::int32_t>(std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max()));
}

PageLayout layoutOf(const PageJob& job, const PageRules& rules, std::int32_t textH)
{
    return computePageLayout({job.pageWidth(), job.pageHeight(), job.marginTop, job.marginBottom, job.marginLeft,
                              job.marginRight, job.rows, job.columns, job.rowSpacing, job.columnSpacing,
                              job.captionGap, textH},
                             rules);
}

// One job on one sink, from the first page to the last.
class PageLoop {
public:
    PageLoop(const PageJob& job, PageSink& sink)
        : job_(job), sink_(sink), rules_(sink.rules()), surface_(sink.surface())
    {
    }

    RenderResult run();

private:
    void setUpLines();
    void writeLine(LineKind kind, const PageLine& line, std::int32_t page);
    // Fills the cells of one page from picture next_ on; true when the user asked to stop.
    bool drawCells();
    std::int32_t loadPicture(std::size_t index);
    // Names the pictures after paths[index] that will be loaded next.
    void readAhead(std::size_t index);
    void letGo(std::int32_t picture);
    // The caption of picture `index` as the job's caption kind has it.
    std::string captionOf(std::size_t index) const;

    const PageJob& job_;
    PageSink& sink_;
    const PageRules& rules_;
    PageSurface& surface_;
    std::int32_t captionSize_ = 0;
    PageLayout layout_;
    LineFrame lineFrame_;
    PageLine header_;
    PageLine footer_;
    std::size_t count_ = 0;  // the cells to draw: every picture, or the preview's cells up to its last picture
    std::size_t next_ = 0;
    std::int32_t totalPages_ = 0;
    bool ratiosUsable_ = false;
    LoadedPictures kept_;
    std::int32_t unread_ = 0;
};

RenderResult PageLoop::run()
{
    RenderResult result;
    captionSize_ = rules_.fontSize(job_.captionFont.size);
    surface_.setFont(job_.captionFont, captionSize_);
    std::int32_t textH = surface_.textHeight("大");
    if (rules_.noCaptionsFillCell && job_.captions.empty())
        textH = 0;
    layout_ = layoutOf(job_, rules_, textH);
    setUpLines();

    if (rules_.firstPageOnly) {
        // The cells of the one page that have a picture or a caption: an empty cell draws
        // nothing, so the loop stops at the last cell that has something.
        const std::size_t filled = std::max(job_.paths.size(), job_.captions.size());
        count_ = layout_.hasRoom() ? static_cast<std::size_t>(std::min<std::int64_t>(
                                         layout_.cellsPerPage(), static_cast<std::int64_t>(filled)))
                                   : 0;
        totalPages_ = 1;
    } else {
        count_ = job_.paths.size();
        totalPages_ = pagesNeeded(static_cast<std::int64_t>(count_), layout_.cellsPerPage());
    }
    // A ratio list shorter than the pictures is not used at all: every ratio then comes from its picture.
    ratiosUsable_ = job_.ratios.size() >= std::max(job_.paths.size(), count_);
    setProgressRange(0, progressCount(count_));
    result.pagesPlanned = totalPages_;

    std::int32_t page = 0;
    do {
        ++page;
        writeLine(LineKind::Header, header_, page);
        const bool stopped = drawCells();
        // A stop skips the rest of the job; this page still gets its footer and goes out.
        writeLine(LineKind::Footer, footer_, page);
        const bool pageOut = sink_.endPage(page);
        processEvents();
        if (pageOut)
            result.pagesFinished = page;
        // A progress window closed by the user takes its units with it.
        result.picturesUnread = unread_;
        if (!pageOut || !progressWindowLoaded())
            return result;
        if (stopped) {
            result.cancelled = true;
            return result;
        }
    } while (!rules_.firstPageOnly && next_ < count_);
    result.completed = true;
    return result;
}

void PageLoop::setUpLines()
{
    header_ = job_.header;
    footer_ = job_.footer;
    if (rules_.originAtMargins) {
        lineFrame_ = {job_.pageWidth(), job_.pageHeight(), job_.marginLeft, job_.marginRight};
        return;
    }
    // The printer counts from the margin box, so the lines are placed on the box with the offsets
    // taken from its edges.
    lineFrame_ = {layout_.availW, layout_.availH, 0, 0};
    header_.offset = saturated(std::int64_t{header_.offset} - job_.marginTop);
    footer_.offset = saturated(std::int64_t{footer_.offset} - job_.marginBottom);
}

void PageLoop::writeLine(LineKind kind, const PageLine& line, std::int32_t page)
{
    if (line.text.empty())
        return;
    surface_.setFont(line.font, rules_.fontSize(line.font.size));
    const PlacedLine placed = PlaceHeaderFooter(surface_, kind, line, lineFrame_, {page, totalPages_});
    surface_.writeText(placed.x, placed.y, placed.text);
    surface_.setFont(job_.captionFont, captionSize_);
}

bool PageLoop::drawCells()
{
    for (std::int32_t i = 0; i < layout_.rows && next_ < count_; ++i) {
        for (std::int32_t j = 0; j < layout_.columns && next_ < count_; ++j) {
            const std::int32_t picture = loadPicture(next_);
            if (picture == 0 && next_ < job_.paths.size() && !job_.paths[next_].empty())
                ++unread_;
            const float ratio = ratiosUsable_ ? job_.ratios[next_] : 0.0f;
            drawPictureInBox(surface_, rules_, picture, layout_.pictureBox(i, j), ratio, job_.photoMode);
            letGo(picture);
            if (layout_.textH > kLengthTolerance && next_ < job_.captions.size()) {
                const std::string caption = captionOf(next_);
                if (!caption.empty()) {
                    std::int32_t x = 0;
                    std::int32_t y = 0;
                    layout_.captionPosition(i, j, surface_.textWidth(caption), x, y);
                    surface_.writeText(x, y, caption);
                }
            }
            ++next_;
            if (rules_.eventsAfterEachCell)
                processEvents();
            setProgressPosition(progressCount(next_));
            notePictureDrawn();
            if (cancelRequested() || !progressWindowLoaded())
                return true;
        }
    }
    return false;
}

std::int32_t PageLoop::loadPicture(std::size_t index)
{
    if (index >= job_.paths.size())
        return 0;
    // Named before this one is loaded, so that the second core is a picture or two ahead.
    readAhead(index);
    return LoadPrintPicture(job_.paths[index], job_.optimisation);
}

void PageLoop::readAhead(std::size_t index)
{
    // Only the pictures this render will load are named: one named and never loaded would keep
    // its file and pixels until the next render. Of the next page only its first: a job holds the
    // most memory while a finished page is handed out, and what is read ahead meanwhile adds to
    // that.
    const auto cells = static_cast<std::size_t>(std::max<std::int64_t>(1, layout_.cellsPerPage()));
    const std::size_t nextPageFirst = (index / cells + 1) * cells;
    const std::size_t named = std::min({count_, job_.paths.size(), nextPageFirst + 1});
    ReadNextPrintPicturesAhead(std::span<const std::string>(job_.paths).first(named), index, job_.optimisation);
}

std::string PageLoop::captionOf(std::size_t index) const
{
    const std::string& fileName = job_.captions[index];
    if (job_.captionKind == CaptionKind::FileName)
        return fileName;
    std::optional<TakenTime> taken;
    if (index < job_.paths.size() && !job_.paths[index].empty())
        taken = pictureTakenTime(job_.paths[index]);
    return captionText(job_.captionKind, fileName, taken);
}

void PageLoop::letGo(std::int32_t picture)
{
    if (picture == 0)
        return;
    if (rules_.picturesKeptToEnd)
        kept_.hold(picture);
    else
        unloadPicture(picture);
}

}  // namespace

RenderResult renderPages(PageJob job, PageSink& sink)
{
    const PageRules& rules = sink.rules();
    applyPageDefaults(job, rules);
    // A page without room for a cell would never advance, and a job that cannot hold a picture is
    // not worth a sheet of paper; the preview shows such a page empty.
    if (!rules.firstPageOnly && !layoutOf(job, rules, 0).hasRoom()) {
        if (!job.paths.empty())
            messageBox(kNoRoomMessage, 0, kNoRoomTitle);
        return {};
    }

    clearCancelRequest();
    showProgressWindow();
    RenderResult result;
    {
        PageLoop loop(job, sink);
        if (sink.begin(job))
            result = loop.run();
        sink.end();
    }
    finishWithProgressWindow();
    clearCancelRequest();
    return result;
}

}  // namespace quillora::app
