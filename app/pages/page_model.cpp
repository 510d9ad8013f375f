#include "pages/page_model.h"

#include <algorithm>
#include <cmath>
#include <limits>


namespace quillora::app {

std::int32_t truncated(double value)
{
    // Out-of-range and NaN values would be undefined in a plain cast.
    if (!(value == value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(value));
}

std::int32_t saturated(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t normalisedPhotoMode(std::int32_t mode)
{
    return mode < kPhotoFitCentred || mode > kPhotoCropFill ? kPhotoFitCentred : mode;
}

std::optional<PictureRect> fitPictureInBox(const PictureRect& box, std::int32_t picW, std::int32_t picH, float ratio,
                                           std::int32_t mode)
{
    const auto [x, y, boxW, boxH] = box;
    mode = normalisedPhotoMode(mode);
    if (boxW <= 0 || boxH <= 0)
        return std::nullopt;
    if (ratio < 0.001f || !std::isfinite(ratio)) {
        if (picW <= 0 || picH <= 0)
            return std::nullopt;
        ratio = static_cast<float>(picW) / static_cast<float>(picH);
    }

    const double boxRatio = static_cast<double>(boxW) / boxH;
    std::int32_t fitW = 0;
    std::int32_t fitH = 0;
    if (!lessThan(boxRatio, ratio)) {
        fitH = boxH;
        fitW = truncated(static_cast<double>(ratio) * boxH);
    } else {
        fitW = boxW;
        fitH = truncated(boxW / static_cast<double>(ratio));
    }

    PictureRect drawn;
    switch (mode) {
    case kPhotoFillBox:
    case kPhotoCropFill:
        drawn = {x, y, boxW, boxH};
        break;
    case kPhotoNaturalCentred:
        drawn = {truncated(x + (static_cast<double>(boxW) - picW) / 2.0),
                 truncated(y + (static_cast<double>(boxH) - picH) / 2.0), picW, picH};
        break;
    case kPhotoFitTopLeft:
        drawn = {x, y, fitW, fitH};
        break;
    case kPhotoNaturalTopLeft:
        drawn = {x, y, picW, picH};
        break;
    default:
        // Centred on the axis with room to spare; the other side takes the whole box. A fitted
        // height of 0 (a sliver of a picture) has the larger ratio.
        if (fitH > 0 && !lessThan(boxRatio, static_cast<double>(fitW) / fitH))
            drawn = {truncated(x + (static_cast<double>(boxW) - fitW) / 2.0), y, fitW, boxH};
        else
            drawn = {x, truncated(y + (static_cast<double>(boxH) - fitH) / 2.0), boxW, fitH};
        break;
    }
    if (drawn.width <= 0 || drawn.height <= 0)
        return std::nullopt;
    return drawn;
}

std::optional<PictureRect> cropSourceForBox(const PictureRect& box, float ratio, std::int32_t pixelW,
                                            std::int32_t pixelH)
{
    if (box.width <= 0 || box.height <= 0 || pixelW <= 0 || pixelH <= 0 || !(ratio > 0.0f) || !std::isfinite(ratio))
        return std::nullopt;
    const double boxRatio = static_cast<double>(box.width) / box.height;
    // The side kept whole is the one the box is relatively narrower on; of the other, the share
    // that shows is the box's ratio against the picture's. Rounded to whole pixels, at least one.
    const auto shownPart = [](std::int32_t side, double share) {
        return std::clamp<std::int32_t>(truncated(side * share + 0.5), 1, side);
    };
    PictureRect source{0, 0, pixelW, pixelH};
    if (!lessThan(boxRatio, ratio))
        source.height = shownPart(pixelH, ratio / boxRatio);
    else
        source.width = shownPart(pixelW, boxRatio / ratio);
    source.x = (pixelW - source.width) / 2;
    source.y = (pixelH - source.height) / 2;
    return source;
}

namespace {

std::int32_t screenPointsOnMillimetres(std::int32_t points)
{
    return truncated(points / 96.0 * 25.4);
}

std::int32_t screenPointsOnTenths(std::int32_t points)
{
    return truncated(points * 2.6458);
}

std::int32_t pointsAsTheyAre(std::int32_t points)
{
    return points;
}

}  // namespace

PageRules previewRules()
{
    PageRules rules;
    rules.defaultPaperWidth = 210;
    rules.defaultPaperHeight = 297;
    rules.fontSize = screenPointsOnMillimetres;
    rules.naturalPixels = 118;
    rules.naturalUnits = 10;
    rules.firstPageOnly = true;
    rules.eventsAfterEachCell = true;
    return rules;
}

PageRules printerRules()
{
    PageRules rules;
    rules.defaultPaperWidth = 2100;
    rules.defaultPaperHeight = 2970;
    rules.defaultGrid = false;
    rules.fontSize = pointsAsTheyAre;
    rules.integerCells = true;
    rules.originAtMargins = false;
    rules.picturesKeptToEnd = true;
    return rules;
}

PageRules exportRules()
{
    PageRules rules;
    rules.defaultPaperWidth = 2100;
    rules.defaultPaperHeight = 2970;
    rules.fontSize = screenPointsOnTenths;
    rules.naturalPixels = 118;
    rules.naturalUnits = 100;
    rules.noCaptionsFillCell = true;
    return rules;
}

std::int32_t naturalLength(std::int32_t pixels, const PageRules& rules)
{
    if (rules.naturalPixels <= 0 || pixels <= 0)
        return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(pixels) * rules.naturalUnits / rules.naturalPixels);
}

bool PageLayout::hasRoom() const
{
    return rows > 0 && columns > 0 && !lessThan(cellW, 1.0) && !lessThan(cellH, 1.0);
}

PictureRect PageLayout::pictureBox(std::int32_t i, std::int32_t j) const
{
    const double x = originX + j * (static_cast<double>(cellW) + columnSpacing);
    const double y = originY + i * (static_cast<double>(cellH) + rowSpacing);
    return {truncated(x), truncated(y), truncated(cellW), truncated(static_cast<double>(cellH) - textH)};
}

void PageLayout::captionPosition(std::int32_t i, std::int32_t j, std::int32_t tw, std::int32_t& x,
                                 std::int32_t& y) const
{
    const double left = originX + j * (static_cast<double>(cellW) + columnSpacing);
    x = lessThan(tw, cellW) ? truncated(left + (cellW - tw) / 2.0) : truncated(left);
    y = truncated(originY + (i + 1) * (static_cast<double>(cellH) + rowSpacing) - rowSpacing - textH + gap);
}

std::int32_t captionGapRule(std::int32_t gap, std::int32_t textH)
{
    return lessThan(gap, textH / 2.0) ? gap : 0;
}

PageLayout computePageLayout(const PageInput& input, const PageRules& rules)
{
    PageLayout layout;
    // In 64 bits: a sum or product of 32-bit lengths and counts cannot overflow there.
    const std::int64_t availW = std::int64_t{input.pageWidth} - input.marginLeft - input.marginRight;
    const std::int64_t availH = std::int64_t{input.pageHeight} - input.marginTop - input.marginBottom;
    layout.availW = saturated(availW);
    layout.availH = saturated(availH);
    layout.rows = input.rows;
    layout.columns = input.columns;
    layout.rowSpacing = input.rowSpacing;
    layout.columnSpacing = input.columnSpacing;
    layout.textH = input.textH;
    layout.gap = captionGapRule(input.captionGap, input.textH);
    if (rules.originAtMargins) {
        layout.originX = input.marginLeft;
        layout.originY = input.marginTop;
    }
    // Without rows or columns there is no cell to divide by; hasRoom() then says so.
    if (input.columns > 0)
        layout.cellW = static_cast<float>(
            static_cast<double>(availW - (std::int64_t{input.columns} - 1) * input.columnSpacing) / input.columns);
    if (input.rows > 0)
        layout.cellH = static_cast<float>(
            static_cast<double>(availH - (std::int64_t{input.rows} - 1) * input.rowSpacing) / input.rows);
    if (rules.integerCells) {
        layout.cellW = static_cast<float>(truncated(layout.cellW));
        layout.cellH = static_cast<float>(truncated(layout.cellH));
    }
    return layout;
}

std::int32_t pagesNeeded(std::int64_t pictures, std::int64_t perPage)
{
    if (perPage <= 0 || pictures <= 0)
        return 0;
    return static_cast<std::int32_t>(pictures / perPage + (pictures % perPage != 0 ? 1 : 0));
}

}  // namespace quillora::app
