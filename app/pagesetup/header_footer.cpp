// Stand-in until the header and footer are placed: the text unchanged at the left margin.
#include "pagesetup/header_footer.h"

namespace quillora::app {

PlacedLine PlaceHeaderFooter(bool isHeader, PageSurface&, const std::string& text, std::int32_t, std::int32_t,
                             std::int32_t, std::int32_t height, std::int32_t left, std::int32_t, std::int32_t headerOffset,
                             std::int32_t footerOffset)
{
    return {text, left, isHeader ? headerOffset : height - footerOffset};
}

}  // namespace quillora::app
