#include "runtime/picture/icon_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/formats/byte_reader.h"
#include "platform/formats/bmp_reader.h"
#include "platform/formats/bmp_rows.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

using formats::ByteReader;

namespace {

#pragma pack(push, 1)
struct IconDirectory {
    std::uint16_t reserved;  // 0
    std::uint16_t type;      // 1 icon, 2 cursor
    std::uint16_t count;
};

struct IconDirectoryEntry {
    std::uint8_t width;  // 0 means 256
    std::uint8_t height;
    std::uint8_t colourCount;
    std::uint8_t reserved;
    std::uint16_t planes;    // a cursor's hotspot x
    std::uint16_t bitCount;  // a cursor's hotspot y
    std::uint32_t bytesInResource;
    std::uint32_t imageOffset;
};
#pragma pack(pop)
static_assert(sizeof(IconDirectory) == 6);
static_assert(sizeof(IconDirectoryEntry) == 16);

constexpr std::uint8_t kPngSignature[4] = {0x89, 'P', 'N', 'G'};

constexpr formats::BmpRules kIconHeaderRules{.laterHeaderVersions = true};

// One image of the file whose header looks decodable.
struct Candidate {
    std::span<const std::uint8_t> image;
    BitmapInfoHeader header{};
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t hotspotX = 0;
    std::uint16_t hotspotY = 0;
    std::uint64_t distance = 0;  // from the wanted size
    std::size_t order = 0;
};

std::optional<Candidate> inspect(std::span<const std::uint8_t> bytes, const IconDirectoryEntry& entry,
                                 std::uint32_t wantedSize)
{
    if (entry.imageOffset > bytes.size() || entry.bytesInResource > bytes.size() - entry.imageOffset)
        return std::nullopt;
    Candidate candidate;
    candidate.image = bytes.subspan(entry.imageOffset, entry.bytesInResource);
    if (candidate.image.size() >= 4 && std::memcmp(candidate.image.data(), kPngSignature, 4) == 0)
        return std::nullopt;
    // Icon images have at least the 40-byte header, and may have a later, longer one.
    ByteReader reader(candidate.image);
    BitmapInfoHeader& header = candidate.header;
    std::size_t entryBytes = 0;
    if (formats::readBitmapInfoHeader(reader, kIconHeaderRules, header, entryBytes) != formats::BmpProblem::None ||
        entryBytes != 4 || header.compression != 0)
        return std::nullopt;
    const unsigned bits = header.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    // The stored height covers the colour image and the transparency mask below it.
    if (header.width <= 0 || header.height < 2)
        return std::nullopt;
    candidate.width = static_cast<std::uint32_t>(header.width);
    candidate.height = static_cast<std::uint32_t>(header.height) / 2;
    if (!pictureSizeAllowed(candidate.width, candidate.height))
        return std::nullopt;
    candidate.hotspotX = entry.planes;
    candidate.hotspotY = entry.bitCount;
    const auto difference = [](std::uint32_t side, std::uint32_t wanted) {
        return side > wanted ? std::uint64_t{side} - wanted : std::uint64_t{wanted} - side;
    };
    candidate.distance = difference(candidate.width, wantedSize) + difference(candidate.height, wantedSize);
    return candidate;
}

// The colour image with the mask folded into alpha: a 32-bit image that carries alpha keeps
// it, every other image is opaque where its mask bit is 0.
std::optional<IconImage> decodeImage(const Candidate& candidate)
{
    const BitmapInfoHeader& header = candidate.header;
    const unsigned bits = header.bitCount;
    const std::uint32_t width = candidate.width;
    const std::uint32_t height = candidate.height;
    ByteReader reader(candidate.image);
    reader.seek(header.size);
    formats::BmpPalette palette;
    if (bits <= 8) {
        const std::uint64_t fullTable = 1ull << bits;
        const std::uint64_t count =
            header.coloursUsed == 0 || header.coloursUsed > fullTable ? fullTable : header.coloursUsed;
        palette = formats::readBmpPalette(reader, count, 4);
    }
    const std::uint64_t colourStride = formats::bmpStride(width, bits);
    const std::uint64_t maskStride = formats::bmpStride(width, 1);
    if (!reader.ok() || reader.remaining() / (colourStride + maskStride) < height)
        return std::nullopt;
    const auto colourRows = candidate.image.subspan(reader.position(), colourStride * height);
    const auto maskRows = candidate.image.subspan(reader.position() + colourStride * height, maskStride * height);

    auto pixels = newPixelBuffer(width, height, std::uint64_t{width} * 4);
    if (!pixels)
        return std::nullopt;
    const std::uint64_t outStride = std::uint64_t{width} * 4;
    for (std::uint32_t fileRow = 0; fileRow < height; ++fileRow) {
        // Icon images are stored bottom-up; the icon image is kept top-down.
        std::uint8_t* out = pixels->data() + (height - 1 - fileRow) * outStride;
        formats::expandBmpRow(colourRows.subspan(fileRow * colourStride, colourStride), bits, palette, width, out,
                              formats::PixelOrder::Bgra, bits == 32);
    }
    bool carriesAlpha = false;
    if (bits == 32) {
        for (std::uint64_t index = 3; index < pixels->size() && !carriesAlpha; index += 4)
            carriesAlpha = (*pixels)[index] != 0;
    }
    if (!carriesAlpha) {
        for (std::uint32_t fileRow = 0; fileRow < height; ++fileRow) {
            const auto mask = maskRows.subspan(fileRow * maskStride, maskStride);
            std::uint8_t* out = pixels->data() + (height - 1 - fileRow) * outStride;
            for (std::uint32_t x = 0; x < width; ++x) {
                const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
                out[x * 4 + 3] = transparent ? 0 : 255;
            }
        }
    }
    IconImage image;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.hotspotX = candidate.hotspotX;
    image.hotspotY = candidate.hotspotY;
    image.pixels = std::move(*pixels);
    return image;
}

}  // namespace

std::optional<PictureRecord> decodeIcon(std::span<const std::uint8_t> bytes, PictureKind kind,
                                        std::uint32_t wantedSize)
{
    ByteReader reader(bytes);
    IconDirectory directory;
    const std::uint16_t expectedType = kind == PictureKind::Cursor ? 2 : 1;
    if (!reader.read(directory) || directory.reserved != 0 || directory.type != expectedType || directory.count == 0)
        return std::nullopt;

    std::vector<Candidate> candidates;
    try {
        for (std::size_t index = 0; index < directory.count; ++index) {
            IconDirectoryEntry entry;
            if (!reader.read(entry))
                break;
            if (auto candidate = inspect(bytes, entry, wantedSize)) {
                candidate->order = index;
                candidates.push_back(*candidate);
            }
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // Nearest the wanted size first, then most colours, then the file's own order; an image
    // that turns out to be cut short gives way to the next best.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.distance != b.distance)
            return a.distance < b.distance;
        if (a.header.bitCount != b.header.bitCount)
            return a.header.bitCount > b.header.bitCount;
        return a.order < b.order;
    });
    for (const Candidate& candidate : candidates) {
        if (auto image = decodeImage(candidate)) {
            PictureRecord record;
            record.kind = kind;
            record.width = image->width;
            record.height = image->height;
            record.icon = std::move(*image);
            return record;
        }
    }
    return std::nullopt;
}

}  // namespace quillora::runtime
