// Photos as cameras store them: a JPEG whose four quadrants have known colours, with an EXIF block
// (written here byte by byte) that says how to turn it upright.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "jpeg_test_files.h"

namespace quillora::test {

struct Rgb {
    std::uint8_t red, green, blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The quadrants as stored: top-left, top-right, bottom-left, bottom-right.
inline constexpr std::array<Rgb, 4> kStoredQuadrants = {
    Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 0}};
inline constexpr const char* kQuadrantNames[] = {"red", "green", "blue", "yellow", "none"};

// Which quadrant colour a pixel shows (0 red, 1 green, 2 blue, 3 yellow), or 4 when it is far
// from all of them. JPEG blurs the colours a little; the four are far apart.
inline int quadrantOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const Rgb& colour = kStoredQuadrants[static_cast<std::size_t>(quadrant)];
        const int distance = std::abs(red - colour.red) + std::abs(green - colour.green) + std::abs(blue - colour.blue);
        if (distance < 150)
            return quadrant;
    }
    return 4;
}

// Numbers written in one TIFF byte order, after the header that names it.
struct TiffWriter {
    Bytes out;
    bool bigEndian = false;

    explicit TiffWriter(bool bigEndianOrder) : bigEndian(bigEndianOrder)
    {
        out = bigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
        put16(42);
    }
    void put16(std::uint32_t number)
    {
        if (bigEndian)
            out.insert(out.end(), {static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)});
        else
            out.insert(out.end(), {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8)});
    }
    void put32(std::uint32_t number)
    {
        put16(bigEndian ? number >> 16 : number & 0xFFFF);
        put16(bigEndian ? number & 0xFFFF : number >> 16);
    }
};

// The TIFF part of an EXIF block whose IFD0 holds a camera make (a value stored apart from its
// entry) and the orientation `value`, in either byte order.
inline Bytes exifTiff(std::uint16_t value, bool bigEndian = false)
{
    TiffWriter tiff(bigEndian);
    const auto put16 = [&tiff](std::uint32_t number) { tiff.put16(number); };
    const auto put32 = [&tiff](std::uint32_t number) { tiff.put32(number); };
    put32(8);
    put16(2);
    // Make: ASCII, 8 bytes, after the directory (8 + 2 + 2 x 12 + 4 = 38).
    put16(0x010F), put16(2), put32(8), put32(38);
    // Orientation: one SHORT in the first two bytes of the value field.
    put16(0x0112), put16(3), put32(1), put16(value), put16(0);
    put32(0);
    const char make[8] = "Camera";
    tiff.out.insert(tiff.out.end(), make, make + sizeof make);
    return tiff.out;
}

// The TIFF part of an EXIF block with the dates a camera writes: `written` as IFD0's DateTime and
// `original` as the DateTimeOriginal of the EXIF directory IFD0 points to; an empty text leaves
// its tag (and for `original` the EXIF directory) out. Each text is stored with its closing zero
// byte, as the tag's count says. Where the parts lie (little-endian, both dates given): IFD0 at 8
// with the DateTime entry at 10 and the EXIF pointer entry at 22; the EXIF directory at 38 with
// its entry at 40; DateTime's text at 56, DateTimeOriginal's at 56 + its length + 1.
inline Bytes exifTiffWithDates(const std::string& written, const std::string& original, bool bigEndian = false)
{
    TiffWriter tiff(bigEndian);
    const auto put16 = [&tiff](std::uint32_t number) { tiff.put16(number); };
    const auto put32 = [&tiff](std::uint32_t number) { tiff.put32(number); };
    const std::uint32_t firstEntries = (written.empty() ? 0 : 1) + (original.empty() ? 0 : 1);
    const std::uint32_t exifDirectory = 8 + 2 + 12 * firstEntries + 4;
    const std::uint32_t texts = exifDirectory + (original.empty() ? 0 : 18);
    const std::uint32_t writtenAt = texts;
    const std::uint32_t originalAt = texts + (written.empty() ? 0 : static_cast<std::uint32_t>(written.size() + 1));
    put32(8);
    put16(firstEntries);
    if (!written.empty())
        put16(0x0132), put16(2), put32(static_cast<std::uint32_t>(written.size() + 1)), put32(writtenAt);
    if (!original.empty())
        put16(0x8769), put16(4), put32(1), put32(exifDirectory);
    put32(0);
    if (!original.empty()) {
        put16(1);
        put16(0x9003), put16(2), put32(static_cast<std::uint32_t>(original.size() + 1)), put32(originalAt);
        put32(0);
    }
    for (const std::string* text : {&written, &original}) {
        if (text->empty())
            continue;
        tiff.out.insert(tiff.out.end(), text->begin(), text->end());
        tiff.out.push_back(0);
    }
    return tiff.out;
}

// The JPEG with an APP1 segment holding `payload` right after its start marker.
inline Bytes withSegment(const Bytes& jpeg, std::uint8_t marker, const Bytes& payload)
{
    const std::size_t length = payload.size() + 2;
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

inline Bytes exifPayload(const Bytes& tiff)
{
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

// A storedWidth x storedHeight photo in the four quadrant colours tagged with orientation `value`.
inline Bytes quadrantPhoto(int storedWidth, int storedHeight, std::uint16_t value, bool bigEndian = false)
{
    const Bytes jpeg = encodeJpeg(storedWidth, storedHeight, 3, JCS_RGB,
                                  [storedWidth, storedHeight](int x, int y, std::uint8_t* rgb) {
                                      const std::size_t quadrant =
                                          (y < storedHeight / 2 ? 0u : 2u) + (x < storedWidth / 2 ? 0u : 1u);
                                      rgb[0] = kStoredQuadrants[quadrant].red;
                                      rgb[1] = kStoredQuadrants[quadrant].green;
                                      rgb[2] = kStoredQuadrants[quadrant].blue;
                                  });
    return withSegment(jpeg, 0xE1, exifPayload(exifTiff(value, bigEndian)));
}

// The stored quadrant each corner of the upright picture shows (top-left, top-right, bottom-left,
// bottom-right), by orientation 1 to 8, as a viewer that honours the tag shows the photo.
inline constexpr std::array<std::array<int, 4>, 9> kUprightCorners = {{
    {},
    {0, 1, 2, 3},  // 1 as stored
    {1, 0, 3, 2},  // 2 mirrored left to right
    {3, 2, 1, 0},  // 3 turned half round
    {2, 3, 0, 1},  // 4 mirrored top to bottom
    {0, 2, 1, 3},  // 5 mirrored across the top-left diagonal
    {2, 0, 3, 1},  // 6 turned a quarter clockwise: the stored bottom-left comes to the top-left
    {3, 1, 2, 0},  // 7 mirrored across the top-right diagonal
    {1, 3, 0, 2},  // 8 turned a quarter anticlockwise: the stored top-right comes to the top-left
}};

}  // namespace quillora::test
