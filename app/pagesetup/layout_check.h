// The one check of a page layout: every length and count of the settings record bounded, once.
// OK refuses a layout it finds fault with, the live preview draws nothing for it, and a batch is
// not started with it; so below this check every length of a job lies within the paper's limits
// and no product of a count by a length can overflow.
#pragma once

#include <cstdint>
#include <string>

#include "pagesetup/print_settings.h"

namespace quillora::app {

// Counts of pictures a page has across and down.
inline constexpr std::int32_t kFewestPicturesPerSide = 1;
inline constexpr std::int32_t kMostPicturesPerSide = 100;
// Tenths of a millimetre: from 1 mm to 2 m, past which the export canvas (one pixel per 0.1 mm)
// would need gigabytes. No other length of a page (margin, offset, spacing, caption gap) is
// longer than the longest paper.
inline constexpr std::int32_t kSmallestPaper = 10;
inline constexpr std::int32_t kLargestPaper = 20000;
inline constexpr std::int32_t kLongestSpacing = kLargestPaper;

// Why the layout of `settings` (lengths in tenths of a millimetre, as the record holds them)
// cannot be printed, as the message the user sees, naming the valid range; empty when it can.
// Checked in this order: rows and columns (1..100), paper (1..2000 mm), margins (none negative,
// the two of a side together shorter than the page), header and footer distances (0 to the page
// height), row and column spacing and the caption gap (0..20000 tenths), and that a cell keeps at
// least 0.1 mm across and down once the spacings are taken off. A landscape page is as wide as
// the paper is high. Pure: reads nothing but its argument.
std::string layoutProblem(const PrintSettings& settings);

}  // namespace quillora::app
