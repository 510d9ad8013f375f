#include "pagesetup/layout_check.h"

namespace quillora::app {
namespace {

bool outside(std::int64_t value, std::int64_t lowest, std::int64_t highest)
{
    return value < lowest || value > highest;
}

// Tenths of a millimetre as millimetre text without trailing zeros: 2100 → "210", 2105 →
// "210.5" (as the window writes lengths back into its boxes).
std::string millimetres(std::int64_t tenths)
{
    const bool negative = tenths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10);
    if (magnitude % 10 != 0)
        text += "." + std::to_string(magnitude % 10);
    return text;
}

// One side of the grid: `count` cells and `count - 1` spacings across `room` tenths (the page
// less its two margins), each cell at least one tenth. The words name the side in the messages.
struct GridSide {
    const char* countWord;    // 列 / 行
    const char* spacingWord;  // 列间距 / 行间距
    const char* lengthWord;   // 宽度 / 高度
    const char* marginsWord;  // 左右边距 / 上下边距
};

std::string gridProblem(std::int64_t room, std::int64_t count, std::int64_t spacing, const GridSide& side)
{
    if (room - (count - 1) * spacing >= count)
        return {};
    const std::string countText = std::to_string(count);
    if (room < count)
        return "每页" + countText + side.countWord + "放不下：页面" + side.lengthWord + "减去" + side.marginsWord
            + "后只剩" + millimetres(room) + "毫米，每" + side.countWord + "至少要0.1毫米，请减少" + side.countWord
            + "数或减小" + side.marginsWord + "。";
    // count > 1 here: a single cell takes the whole room, which holds at least one tenth.
    const std::int64_t widest = (room - count) / (count - 1);
    return std::string(side.spacingWord) + "太大：每页" + countText + side.countWord + "时，" + side.spacingWord
        + "必须在0到" + std::to_string(widest) + "之间（单位0.1毫米），请减小" + side.spacingWord + "或" + side.countWord
        + "数。";
}

constexpr GridSide kColumnsSide{"列", "列间距", "宽度", "左右边距"};
constexpr GridSide kRowsSide{"行", "行间距", "高度", "上下边距"};

}  // namespace

std::string layoutProblem(const PrintSettings& settings)
{
    if (outside(settings.rows, kFewestPicturesPerSide, kMostPicturesPerSide)
        || outside(settings.columns, kFewestPicturesPerSide, kMostPicturesPerSide))
        return "每页的行数和列数都必须在1到100之间，请重新输入。";
    if (outside(settings.paperWidth, kSmallestPaper, kLargestPaper)
        || outside(settings.paperHeight, kSmallestPaper, kLargestPaper))
        return "纸张的宽度和高度都必须在1到2000毫米之间，请重新设置纸张。";

    // Margins belong to the page as it is printed: a landscape page is as wide as the paper is high.
    const bool landscape = settings.orientation == 1;
    const std::int64_t pageWidth = landscape ? settings.paperHeight : settings.paperWidth;
    const std::int64_t pageHeight = landscape ? settings.paperWidth : settings.paperHeight;
    if (settings.marginTop < 0 || settings.marginBottom < 0 || settings.marginLeft < 0 || settings.marginRight < 0)
        return "页边距不能是负数：上、下、左、右边距都必须大于或等于0毫米，请重新输入。";
    // Each margin is at least 0 and the sums are taken in 64 bits, so no sum overflows.
    const std::int64_t roomAcross = pageWidth - settings.marginLeft - settings.marginRight;
    const std::int64_t roomDown = pageHeight - settings.marginTop - settings.marginBottom;
    if (roomAcross <= 0)
        return "左边距与右边距之和必须小于页面宽度" + millimetres(pageWidth) + "毫米，请减小左边距或右边距。";
    if (roomDown <= 0)
        return "上边距与下边距之和必须小于页面高度" + millimetres(pageHeight) + "毫米，请减小上边距或下边距。";

    if (outside(settings.headerOffset, 0, pageHeight) || outside(settings.footerOffset, 0, pageHeight))
        return "页眉距顶端和页脚距底端都必须在0到页面高度" + millimetres(pageHeight) + "毫米之间，请重新输入。";
    if (outside(settings.rowSpacing, 0, kLongestSpacing) || outside(settings.columnSpacing, 0, kLongestSpacing))
        return "行间距和列间距都必须在0到" + std::to_string(kLongestSpacing) + "之间（单位0.1毫米），请重新输入。";
    if (outside(settings.captionGap, 0, kLongestSpacing))
        return "文字距图片必须在0到" + std::to_string(kLongestSpacing) + "之间（单位0.1毫米），请重新输入。";

    if (std::string problem = gridProblem(roomAcross, settings.columns, settings.columnSpacing, kColumnsSide);
        !problem.empty())
        return problem;
    return gridProblem(roomDown, settings.rows, settings.rowSpacing, kRowsSide);
}

}  // namespace quillora::app
