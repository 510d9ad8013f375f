// The album benchmark's check of the pages it times: page files read back into plain RGB, a
// reference picture of each photo made the slow and independent way (the full camera-size decode,
// then an area average down to the rectangle the photo takes on the page), and the differences
// between them. A faster drawing path that puts the wrong pixels on a page fails here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace album_bench {

// 8-bit red, green, blue, rows top-down.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
    const std::uint8_t* at(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * 3]; }
};

// A page file by its extension (.bmp 24/32-bit, .png, .jpg); empty when it cannot be read.
Rgb readPicture(const std::filesystem::path& file);

// The whole JPEG at full size (no reduced decode), the reference's starting point.
Rgb readJpegFullSize(const std::filesystem::path& file);

// Every output pixel the mean of the source area it covers, fractions of pixels weighted.
Rgb areaAverage(const Rgb& source, int width, int height);

// Where a photo lies on a page: the rows and columns of the cell that are nearly all ink (the
// paper is pure white), the longest such run each way. Empty (width 0) when none is found.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
Rect findPhotoInCell(const Rgb& page, const Rect& cell);

// Differences of two pictures (or of a rectangle of a page against a picture of its size).
struct Difference {
    double meanAbsolute = 0;      // per channel, 0..255
    double largeFraction = 0;     // share of channel values that differ by more than 48
    int maxAbsolute = 0;
    bool sameSize = true;
};
Difference compare(const Rgb& a, const Rgb& b);
// `inset` pixels of the rectangle's border are left out, where drawing may blend with paper.
Difference compareRegion(const Rgb& page, const Rect& rect, const Rgb& reference, int inset);

// Pixels of a rectangle that are not paper white (the caption's ink).
std::size_t inkIn(const Rgb& page, const Rect& rect);

}  // namespace album_bench
