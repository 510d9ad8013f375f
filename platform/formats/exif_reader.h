// The EXIF block of a JPEG file: where it is, and the few facts Quillora takes from it.
//
// A camera writes its EXIF block as an APP1 segment ("Exif", two zero bytes, then a small TIFF
// file) among the segments before the first scan. The TIFF part starts with its byte order ("II"
// little-endian, "MM" big-endian), the number 42 and the offset of its first directory (IFD0);
// a directory is a count of 12-byte entries (tag, type, count, value or offset of the value),
// and every offset counts from the start of the TIFF part.
//
// Everything here is read from bytes that come from outside: each offset and count is checked
// against the block before it is used, nothing is allocated, and no chain of directories is
// walked (a fact is looked up in IFD0, or one named directory below it), so a block that loops,
// points past its end or claims huge counts costs a few comparisons and gives "not known".
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace quillora::formats {

// How the stored pixels must be turned to stand upright, by the EXIF orientation tag's numbers.
// A phone held upright stores its photo landscape and says Rotate90Clockwise (6) or
// Rotate90Anticlockwise (8).
enum class ExifOrientation : std::uint8_t {
    Normal = 1,
    MirrorLeftRight = 2,
    Rotate180 = 3,
    MirrorTopBottom = 4,
    Transpose = 5,              // mirrored across the diagonal from the top-left corner
    Rotate90Clockwise = 6,
    Transverse = 7,             // mirrored across the diagonal from the top-right corner
    Rotate90Anticlockwise = 8,
};

// True for the orientations whose upright picture is as wide as the stored one is high. A value
// outside 1 to 8 (never made by the reader) counts as Normal here as everywhere.
constexpr bool swapsSides(ExifOrientation orientation)
{
    const auto value = static_cast<std::uint8_t>(orientation);
    return value >= 5 && value <= 8;
}

// The orientation a number 1 to 8 stands for; any other number is Normal.
ExifOrientation exifOrientationFromValue(std::uint32_t value);

// A date and time as a camera writes it ("2024:05:01 10:20:33"): the camera's own wall clock,
// which says nothing of a time zone.
struct ExifDateTime {
    std::uint16_t year = 0;   // 1..9999
    std::uint8_t month = 0;   // 1..12
    std::uint8_t day = 0;     // 1..31
    std::uint8_t hour = 0;    // 0..23
    std::uint8_t minute = 0;  // 0..59
    std::uint8_t second = 0;  // 0..60 (60 in a leap second)
    friend bool operator==(const ExifDateTime&, const ExifDateTime&) = default;
};

// What Quillora reads from a JPEG's EXIF block. A fact that cannot be read has its default.
struct JpegExif {
    ExifOrientation orientation = ExifOrientation::Normal;
    std::optional<ExifDateTime> taken;  // when the photo was taken; nothing when not known
};

// The TIFF part of the first EXIF APP1 segment before the first scan of a JPEG file; empty when
// the file has none or its segments cannot be followed that far.
std::span<const std::uint8_t> findJpegExifBlock(std::span<const std::uint8_t> jpeg);

// The orientation tag of IFD0 of a TIFF-structured EXIF block; Normal when the block, the
// directory or the tag is damaged or missing, or the tag is not one number from 1 to 8.
ExifOrientation readExifOrientation(std::span<const std::uint8_t> tiff);

// When the photo was taken: DateTimeOriginal of the EXIF directory IFD0 points to, else the
// DateTime of IFD0 (when the file was last written by the camera or a program). Nothing when
// neither is a well-formed date ("0000:00:00 00:00:00" and blanks, which cameras write for "not
// set", included).
std::optional<ExifDateTime> readExifCaptureTime(std::span<const std::uint8_t> tiff);

// A date and time in the EXIF form "YYYY:MM:DD HH:MM:SS" (19 characters); nothing when any
// character or part is out of place or range.
std::optional<ExifDateTime> parseExifDateTime(std::span<const std::uint8_t> text);

// Both steps over a whole JPEG file.
JpegExif readJpegExif(std::span<const std::uint8_t> jpeg);

}  // namespace quillora::formats
