#include "runtime/picture/picture_kinds.h"

#include "runtime/picture/bmp_decoder.h"
#include "runtime/picture/gif_decoder.h"
#include "runtime/picture/icon_decoder.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/pcx_decoder.h"
#include "runtime/picture/picture_sniffing.h"

namespace quillora::runtime {
namespace {

using PictureDecode = std::optional<PictureRecord> (*)(std::span<const std::uint8_t> bytes);

// A JPEG is only checked at load time; its pixels are decoded when it is drawn, at the size it
// is drawn at. See PictureRecord.
std::optional<PictureRecord> loadJpeg(std::span<const std::uint8_t> bytes)
{
    const auto header = readJpegHeader(bytes);
    if (!header)
        return std::nullopt;
    PictureRecord record;
    record.kind = PictureKind::Jpeg;
    record.width = static_cast<std::int32_t>(header->width);
    record.height = static_cast<std::int32_t>(header->height);
    record.orientation = header->orientation;
    record.taken = header->taken;
    return record;
}

std::optional<PictureRecord> decodeIconFile(std::span<const std::uint8_t> bytes)
{
    return decodeIcon(bytes, PictureKind::Icon);
}

std::optional<PictureRecord> decodeCursorFile(std::span<const std::uint8_t> bytes)
{
    return decodeIcon(bytes, PictureKind::Cursor);
}

struct PictureKindEntry {
    PictureKind kind;
    PictureSniff sniff;
    PictureDecode decode;
};

// Tried in this order; the first test the data passes decides its kind. The PCX decoder reads
// both PCX kinds from the header.
constexpr PictureKindEntry kPictureKinds[] = {
    {PictureKind::Bmp, looksLikeBmp, decodeBmp},
    {PictureKind::Jpeg, looksLikeJpeg, loadJpeg},
    {PictureKind::Icon, looksLikeIcon, decodeIconFile},
    {PictureKind::Cursor, looksLikeCursor, decodeCursorFile},
    {PictureKind::Gif, looksLikeGif, decodeGif},
    {PictureKind::Pcx8, looksLikePcx8, decodePcx},
    {PictureKind::Pcx1, looksLikePcx1, decodePcx},
};

const PictureKindEntry* findKind(std::span<const std::uint8_t> bytes)
{
    for (const PictureKindEntry& entry : kPictureKinds)
        if (entry.sniff(bytes))
            return &entry;
    return nullptr;
}

}  // namespace

PictureKind detectPictureKind(std::span<const std::uint8_t> bytes)
{
    const PictureKindEntry* entry = findKind(bytes);
    return entry ? entry->kind : PictureKind::Empty;
}

std::optional<PictureRecord> decodePictureData(std::span<const std::uint8_t> bytes)
{
    const PictureKindEntry* entry = findKind(bytes);
    if (!entry)
        return std::nullopt;
    return entry->decode(bytes);
}

}  // namespace quillora::runtime
