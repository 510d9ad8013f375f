// The names of exported pages: folder\D_T_page plus the format's extension, where D is
// year×10000 + month×100 + day and T hour×10000 + minute×100 + second, both without leading
// zeros. Two pages that would get the same name (one-page batches saved within one second, the
// same page numbers of two batches) or the name of a file already there keep the pattern and get
// "-2", "-3", ... after the page number: 20100406_90503_1.png, then 20100406_90503_1-2.png.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora::app {

struct LocalTime {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
};

// folder\D_T_page without extension, every "\\" of the result made a single "\" (a drive root
// folder already ends with one).
std::string pageBaseName(std::string_view folder, const LocalTime& time, std::int32_t pageNumber);

// ".bmp", ".gif", ".tiff", ".png", and ".jpg" for every other code.
std::string_view pageExtensionOf(std::int32_t formatCode);

// The `attempt`-th name tried for a page (from 1): the plain name first, then with the suffix.
std::string pageFileName(std::string_view baseName, std::string_view extension, std::int32_t attempt);

// How many names a page tries before the save is given up.
inline constexpr std::int32_t kMaxPageNameAttempts = 1000;

}  // namespace quillora::app
