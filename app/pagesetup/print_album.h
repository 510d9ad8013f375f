// The printer renderer: every page of a batch on the progress window's printer unit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::app {

// Prints one batch as one print document. Lengths in 0.1 mm; `paperWidth` and `paperHeight` are
// the page size of the layout (already swapped by the caller in landscape). Returns 1 when the
// document was printed, 0 when it could not be (no room, the printer refused).
std::int32_t PrintAlbum(const std::vector<std::string>& paths, std::int32_t rows, std::int32_t columns,
                        std::int32_t rowSpacing, std::int32_t columnSpacing, const std::vector<float>& ratios,
                        const std::vector<std::string>& captions, std::int32_t captionGap, std::int32_t paperWidth,
                        std::int32_t paperHeight, std::int32_t photoMode, const std::string& header,
                        const std::string& footer, std::int32_t headerOffset, std::int32_t footerOffset);

}  // namespace quillora::app
