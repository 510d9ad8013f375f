// The header and footer line of a page. The same placement serves every surface a renderer draws
// on (the preview and export panel in millimetres, the printer in tenths of a millimetre): the
// surface measures the text in the font the renderer has set on it, the geometry is the same.
#include "pages/header_footer.h"

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
        text = replaceAll(text, placeholder, toText(number), LetterCase::Ignored);
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

PlacedLine PlaceHeaderFooter(PageSurface& surface, LineKind kind, const PageLine& line, const LineFrame& frame,
                             PageNumbers numbers)
{
    PlacedLine placed;
    placed.y = kind == LineKind::Header ? line.offset
                                        : truncateToInt(static_cast<double>(frame.height) - line.offset);
    placed.x = frame.left;
    // A page without a header (or footer) has nothing to measure or write.
    if (line.text.empty())
        return placed;

    placed.text = substitute(line.text, numbers.page, numbers.totalPages);
    const double textWidth = surface.textWidth(placed.text);
    switch (line.align) {
    case 0:
        break;
    case 2:
        // A text wider than the space between the margins starts left of the left margin.
        placed.x = truncateToInt(static_cast<double>(frame.width) - frame.right - textWidth);
        break;
    default:
        placed.x = truncateToInt(frame.left + (static_cast<double>(frame.width) - frame.left - frame.right - textWidth) / 2);
        break;
    }
    return placed;
}

}  // namespace quillora::app
