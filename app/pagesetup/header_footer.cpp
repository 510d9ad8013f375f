// The header and footer line of a page. The same placement serves every surface a renderer draws
// on (the preview and export panel in millimetres, the printer in tenths of a millimetre): the
// surface measures the text in the font the renderer has set on it, the geometry is the same.
#include "pagesetup/header_footer.h"

#include "common/core_calls.h"
#include "common/number_text.h"
#include "common/runtime_calls.h"
#include "quillora/core_commands.h"

namespace quillora::app {
namespace {

// One part of the current date and time. Each placeholder reads the clock afresh, so a line
// placed just as the minute turns may mix the two minutes, as it always has.
std::int32_t clockPart(CommandFunction part)
{
    const RuntimeValue now = callCore(&Now);
    return asInt(callCore(part, now));
}

// The category has been put in by the caller before this runs, so a folder name holding "&p"
// gets the page number too.
std::string substitute(std::string text, std::int32_t page, std::int32_t totalPages)
{
    const auto replace = [&text](const char* placeholder, std::int32_t number) {
        text = replaceAll(text, placeholder, toText(number), false);
    };
    replace("&P", page);
    replace("&A", totalPages);
    replace("&Y", clockPart(&YearOf));
    replace("&M", clockPart(&MonthOf));
    replace("&D", clockPart(&DayOf));
    replace("&H", clockPart(&HourOf));
    replace("&F", clockPart(&MinuteOf));
    replace("&S", clockPart(&SecondOf));
    return text;
}

}  // namespace

PlacedLine PlaceHeaderFooter(bool isHeader, PageSurface& surface, const std::string& text, std::int32_t page,
                             std::int32_t totalPages, std::int32_t width, std::int32_t height, std::int32_t left,
                             std::int32_t right, std::int32_t headerOffset, std::int32_t footerOffset)
{
    PlacedLine line;
    line.y = isHeader ? headerOffset : truncateToInt(static_cast<double>(height) - footerOffset);
    line.x = left;
    // A page without a header (or footer) has nothing to measure or write.
    if (text.empty())
        return line;

    line.text = substitute(text, page, totalPages);
    const double textWidth = surface.textWidth(line.text);
    const PrintSettings& settings = printSettings();
    switch (isHeader ? settings.headerAlign : settings.footerAlign) {
    case 0:
        break;
    case 2:
        // A text wider than the space between the margins starts left of the left margin.
        line.x = truncateToInt(static_cast<double>(width) - right - textWidth);
        break;
    default:
        line.x = truncateToInt(left + (static_cast<double>(width) - left - right - textWidth) / 2);
        break;
    }
    return line;
}

}  // namespace quillora::app
