// The decoded form of one loaded picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/formats/bmp_records.h"
#include "platform/formats/exif_reader.h"
#include "platform/fs/file_snapshot.h"

namespace quillora::runtime {

// The kind numbers are part of the program's vocabulary (the picture tool prints them).
enum class PictureKind : std::int32_t {
    Empty = 0,
    Jpeg = 1,
    Bmp = 2,
    Icon = 3,
    Cursor = 4,
    Gif = 5,
    Pcx8 = 6,
    Pcx1 = 7,
};

// The 40-byte bitmap information header and the colour-table entry are the BMP file's own.
using formats::BitmapInfoHeader;
using formats::ColourQuad;

// Indexed pictures (GIF, 8-bit PCX) keep a bitmap header, a 256-entry colour table of
// blue-green-red-zero quads and 8-bit rows, top-down, each padded to four bytes as a device
// independent bitmap requires.
inline constexpr std::size_t kColourTableEntries = 256;
inline constexpr std::size_t kColourTableBytes = kColourTableEntries * 4;
inline constexpr std::size_t kIndexedPixelOffset = sizeof(BitmapInfoHeader) + kColourTableBytes;  // 1064

// Bitmap rows are padded to a multiple of four bytes.
constexpr std::uint64_t paddedRowBytes(std::uint64_t rowBytes) { return (rowBytes + 3) / 4 * 4; }

// The image chosen from an icon or cursor file, ready to draw: top-down blue-green-red-alpha
// pixels with the file's transparency mask folded into alpha. It stands in for the icon handle.
struct IconImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t hotspotX = 0;  // cursors only
    std::int32_t hotspotY = 0;
    std::vector<std::uint8_t> pixels;
};

// Where the picture data of a loaded picture is read again from when its pixels are not held:
// the bytes it was loaded from, or the file it was loaded from as long as that file is unchanged.
struct PictureSource {
    std::vector<std::uint8_t> bytes;
    std::string linuxPath;                           // empty: not loaded from a file
    std::optional<platform::FileIdentity> identity;  // of the file's content when it was loaded
};

// One loaded picture. The layout of `data` depends on the kind:
//   Jpeg, Bmp   24-bit blue-green-red pixels, rows bottom-up, rows packed without padding
//               (row length = width * 3)
//   Gif, Pcx8   BitmapInfoHeader (height negative), 1024-byte colour table, 8-bit rows padded
//               to four bytes; the pixels start kIndexedPixelOffset bytes in
//   Pcx1        1-bit rows, top-down, each padded to an even number of bytes; 1 is white
//   Icon, Cursor  empty; the picture is `icon`
// A loaded picture holds little once it has been drawn: a JPEG keeps its compressed bytes (loaded
// from data) or only its file's name and identity (loaded from a file), and is decoded at the size
// it is drawn at; other kinds keep their pixels, unless the bytes they came from are smaller or,
// loaded from a file, the pixels are large. `data` is then empty and filled only when the
// full-size record is asked for. A picture whose data fails to decode again, or whose file has
// changed since it was loaded, is marked `unreadable` for good and draws nothing.
//
// A JPEG's EXIF orientation and date are read once, when it is loaded, and kept here; width,
// height and every pixel the record gives are those of the upright picture (the sides swapped for
// the orientations that turn it a quarter).
struct PictureRecord {
    PictureKind kind = PictureKind::Empty;
    std::int32_t width = 0;
    std::int32_t height = 0;
    formats::ExifOrientation orientation = formats::ExifOrientation::Normal;
    std::optional<formats::ExifDateTime> taken;
    IconImage icon;
    std::vector<std::uint8_t> data;
    PictureSource source;
    bool unreadable = false;
};

}  // namespace quillora::runtime
