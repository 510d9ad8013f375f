#include "platform/formats/exif_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

namespace quillora::formats {
namespace {

// Numbers at absolute offsets of outside bytes, in either byte order. A read past the end gives
// 0 and fails the reader for good, so a caller reads the fields it needs and checks ok() once.
class OrderedBytes {
public:
    OrderedBytes(std::span<const std::uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    bool ok() const { return !failed_; }
    std::size_t size() const { return bytes_.size(); }

    std::uint8_t u8(std::uint64_t offset)
    {
        if (failed_ || offset >= bytes_.size()) {
            failed_ = true;
            return 0;
        }
        return bytes_[static_cast<std::size_t>(offset)];
    }

    std::uint16_t u16(std::uint64_t offset)
    {
        const std::uint16_t first = u8(offset);
        const std::uint16_t second = u8(offset + 1);
        return static_cast<std::uint16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
    }

    std::uint32_t u32(std::uint64_t offset)
    {
        const std::uint32_t first = u16(offset);
        const std::uint32_t second = u16(offset + 2);
        return bigEndian_ ? first << 16 | second : second << 16 | first;
    }

    // Whether `count` bytes from `offset` lie inside the bytes (without reading them).
    bool holds(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    // The `count` bytes from `offset`; empty when they do not lie inside.
    std::span<const std::uint8_t> range(std::uint64_t offset, std::uint64_t count) const
    {
        if (!holds(offset, count))
            return {};
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
    bool failed_ = false;
};

// JPEG markers are 0xFF and a code. The two-byte segment lengths are big-endian and count
// themselves but not the marker.
constexpr std::uint8_t kMarkerByte = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApplication1 = 0xE1;
constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};

// Restart markers and TEM have no length and no payload.
bool standsAlone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// A TIFF directory is a 16-bit count of 12-byte entries followed by the offset of the next one.
constexpr std::uint64_t kDirectoryEntryBytes = 12;
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kTypeDirectory = 13;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kDateTimeTag = 0x0132;
constexpr std::uint16_t kExifDirectoryTag = 0x8769;
constexpr std::uint16_t kDateTimeOriginalTag = 0x9003;
// "YYYY:MM:DD HH:MM:SS" and its closing zero byte.
constexpr std::uint32_t kDateTimeCharacters = 19;

struct TiffEntry {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint64_t valueField = 0;  // offset of the entry's last four bytes: the value, or where it is
};

// The TIFF part of an EXIF block: its byte order and header checked, entries looked up by tag.
class TiffBlock {
public:
    explicit TiffBlock(std::span<const std::uint8_t> bytes)
        : bytes_(bytes, bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'M')
    {
        const bool knownOrder = bytes.size() >= 2 && bytes[0] == bytes[1] && (bytes[0] == 'I' || bytes[0] == 'M');
        const bool tiff = bytes_.u16(2) == kTiffMagic;
        firstDirectory_ = bytes_.u32(4);
        valid_ = knownOrder && tiff && bytes_.ok();
    }

    bool valid() const { return valid_; }
    std::uint32_t firstDirectory() const { return firstDirectory_; }

    // The first entry with `tag` in the directory at `directory`; nothing when the directory does
    // not lie wholly inside the block (a count beyond its end included) or has no such entry.
    std::optional<TiffEntry> findEntry(std::uint32_t directory, std::uint16_t tag)
    {
        // Checked first, so that a directory offset past the end fails this look-up only, not
        // the reader and with it every later look-up.
        if (!bytes_.holds(directory, 2))
            return std::nullopt;
        const std::uint16_t count = bytes_.u16(directory);
        const std::uint64_t entries = std::uint64_t{directory} + 2;
        if (!bytes_.ok() || !bytes_.holds(entries, count * kDirectoryEntryBytes))
            return std::nullopt;
        for (std::uint64_t entry = entries; entry < entries + count * kDirectoryEntryBytes;
             entry += kDirectoryEntryBytes) {
            if (bytes_.u16(entry) == tag)
                return TiffEntry{bytes_.u16(entry + 2), bytes_.u32(entry + 4), entry + 8};
        }
        return std::nullopt;
    }

    // A SHORT value held in an entry's value field (the first two of its four bytes).
    std::uint16_t shortValue(const TiffEntry& entry) { return bytes_.u16(entry.valueField); }
    // A LONG value held in an entry's value field.
    std::uint32_t longValue(const TiffEntry& entry) { return bytes_.u32(entry.valueField); }

    // The first `length` characters of an ASCII entry. A value longer than four bytes lies
    // apart, at the offset the value field holds; nothing when the entry is shorter or its whole
    // value (as long as its count says) does not lie inside the block.
    std::span<const std::uint8_t> asciiValue(const TiffEntry& entry, std::uint32_t length)
    {
        if (entry.type != kTypeAscii || entry.count < length)
            return {};
        const std::uint64_t offset = entry.count <= 4 ? entry.valueField : bytes_.u32(entry.valueField);
        if (!bytes_.ok() || !bytes_.holds(offset, entry.count))
            return {};
        return bytes_.range(offset, length);
    }

private:
    OrderedBytes bytes_;
    std::uint32_t firstDirectory_ = 0;
    bool valid_ = false;
};

}  // namespace

ExifOrientation exifOrientationFromValue(std::uint32_t value)
{
    return value >= 1 && value <= 8 ? static_cast<ExifOrientation>(value) : ExifOrientation::Normal;
}

std::span<const std::uint8_t> findJpegExifBlock(std::span<const std::uint8_t> jpeg)
{
    OrderedBytes bytes(jpeg, true);
    if (bytes.u8(0) != kMarkerByte || bytes.u8(1) != kStartOfImage)
        return {};
    std::uint64_t position = 2;
    // Every step moves forward by at least one byte, so the walk ends within the file.
    while (bytes.ok()) {
        if (bytes.u8(position) != kMarkerByte)
            return {};
        // A marker may be preceded by any number of fill bytes (0xFF).
        while (bytes.u8(position) == kMarkerByte)
            ++position;
        const std::uint8_t marker = bytes.u8(position++);
        if (!bytes.ok() || marker == kStartOfScan || marker == kEndOfImage)
            return {};
        if (standsAlone(marker))
            continue;
        const std::uint16_t length = bytes.u16(position);
        if (!bytes.ok() || length < 2 || !bytes.holds(position, length))
            return {};
        const auto payload = jpeg.subspan(static_cast<std::size_t>(position) + 2, length - 2u);
        if (marker == kApplication1 && payload.size() >= kExifSignature.size()
            && std::equal(kExifSignature.begin(), kExifSignature.end(), payload.begin()))
            return payload.subspan(kExifSignature.size());
        position += length;
    }
    return {};
}

ExifOrientation readExifOrientation(std::span<const std::uint8_t> tiff)
{
    TiffBlock block(tiff);
    if (!block.valid())
        return ExifOrientation::Normal;
    const auto entry = block.findEntry(block.firstDirectory(), kOrientationTag);
    // The orientation is one SHORT; anything else is a damaged tag.
    if (!entry || entry->type != kTypeShort || entry->count != 1)
        return ExifOrientation::Normal;
    return exifOrientationFromValue(block.shortValue(*entry));
}

std::optional<ExifDateTime> parseExifDateTime(std::span<const std::uint8_t> text)
{
    if (text.size() < kDateTimeCharacters)
        return std::nullopt;
    // The separators sit at fixed places; every other character is a digit.
    constexpr std::array<std::pair<std::size_t, char>, 5> kSeparators = {
        {{4, ':'}, {7, ':'}, {10, ' '}, {13, ':'}, {16, ':'}}};
    for (std::size_t at = 0; at < kDateTimeCharacters; ++at) {
        const auto separator = std::find_if(kSeparators.begin(), kSeparators.end(),
                                            [at](const auto& place) { return place.first == at; });
        if (separator != kSeparators.end() ? text[at] != separator->second : text[at] < '0' || text[at] > '9')
            return std::nullopt;
    }
    const auto number = [&](std::size_t from, std::size_t digits) {
        int value = 0;
        for (std::size_t at = from; at < from + digits; ++at)
            value = value * 10 + (text[at] - '0');
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    return ExifDateTime{static_cast<std::uint16_t>(year), static_cast<std::uint8_t>(month),
                        static_cast<std::uint8_t>(day),  static_cast<std::uint8_t>(hour),
                        static_cast<std::uint8_t>(minute), static_cast<std::uint8_t>(second)};
}

std::optional<ExifDateTime> readExifCaptureTime(std::span<const std::uint8_t> tiff)
{
    TiffBlock block(tiff);
    if (!block.valid())
        return std::nullopt;
    // The EXIF directory is one step below IFD0, named by a LONG (or IFD) pointer; it is looked
    // at, never walked from, so a pointer back to IFD0 or to itself costs one look-up.
    const auto pointer = block.findEntry(block.firstDirectory(), kExifDirectoryTag);
    if (pointer && (pointer->type == kTypeLong || pointer->type == kTypeDirectory) && pointer->count == 1) {
        const auto original = block.findEntry(block.longValue(*pointer), kDateTimeOriginalTag);
        if (original) {
            if (const auto taken = parseExifDateTime(block.asciiValue(*original, kDateTimeCharacters)))
                return taken;
        }
    }
    const auto written = block.findEntry(block.firstDirectory(), kDateTimeTag);
    if (!written)
        return std::nullopt;
    return parseExifDateTime(block.asciiValue(*written, kDateTimeCharacters));
}

JpegExif readJpegExif(std::span<const std::uint8_t> jpeg)
{
    JpegExif exif;
    const auto tiff = findJpegExifBlock(jpeg);
    if (!tiff.empty()) {
        exif.orientation = readExifOrientation(tiff);
        exif.taken = readExifCaptureTime(tiff);
    }
    return exif;
}

}  // namespace quillora::formats
