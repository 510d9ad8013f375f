#include "runtime/picture/picture_registry.h"

#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/fs/drive_map.h"
#include "platform/fs/file_reader.h"
#include "runtime/picture/bmp_decoder.h"
#include "runtime/picture/gif_decoder.h"
#include "runtime/picture/icon_decoder.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/pcx_decoder.h"

namespace quillora::runtime {

namespace {

struct Registry {
    std::unordered_map<PictureHandle, std::unique_ptr<PictureRecord>> pictures;
    PictureHandle lastHandle = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

PictureRecord* find(PictureHandle handle)
{
    if (handle == 0)
        return nullptr;
    auto& pictures = registry().pictures;
    const auto found = pictures.find(handle);
    return found == pictures.end() ? nullptr : found->second.get();
}

// Handles count up and are not handed out again while the counter has not wrapped, so a
// handle kept after its picture was unloaded does not silently name a newer picture.
PictureHandle nextHandle()
{
    Registry& state = registry();
    do {
        state.lastHandle = state.lastHandle == std::numeric_limits<PictureHandle>::max() ? 1 : state.lastHandle + 1;
    } while (state.pictures.contains(state.lastHandle));
    return state.lastHandle;
}

std::uint16_t u16At(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// A JPEG is only checked and kept compressed at load time; see PictureRecord.
std::optional<PictureRecord> loadJpeg(std::span<const std::uint8_t> bytes)
{
    const auto size = readJpegHeader(bytes);
    if (!size)
        return std::nullopt;
    PictureRecord record;
    record.kind = PictureKind::Jpeg;
    record.width = static_cast<std::int32_t>(size->width);
    record.height = static_cast<std::int32_t>(size->height);
    record.jpegSource.assign(bytes.begin(), bytes.end());
    return record;
}

std::optional<PictureRecord> decode(std::span<const std::uint8_t> bytes)
{
    const PictureKind kind = detectPictureKind(bytes);
    switch (kind) {
    case PictureKind::Bmp:
        return decodeBmp(bytes);
    case PictureKind::Jpeg:
        return loadJpeg(bytes);
    case PictureKind::Icon:
    case PictureKind::Cursor:
        return decodeIcon(bytes, kind);
    case PictureKind::Gif:
        return decodeGif(bytes);
    case PictureKind::Pcx8:
    case PictureKind::Pcx1:
        return decodePcx(bytes);
    case PictureKind::Empty:
        break;
    }
    return std::nullopt;
}

std::uint32_t wantedSide(std::int32_t side)
{
    // A negative side mirrors the picture; it needs as many pixels as the positive one.
    return side == std::numeric_limits<std::int32_t>::min() ? 0u : static_cast<std::uint32_t>(std::abs(side));
}

}  // namespace

PictureKind detectPictureKind(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 6)
        return PictureKind::Empty;
    if (bytes[0] == 'B' && bytes[1] == 'M')
        return PictureKind::Bmp;
    if (bytes[0] == 0xFF && bytes[1] == 0xD8)
        return PictureKind::Jpeg;
    if (u16At(bytes, 0) == 0 && u16At(bytes, 2) == 1 && u16At(bytes, 4) > 0)
        return PictureKind::Icon;
    if (u16At(bytes, 0) == 0 && u16At(bytes, 2) == 2 && u16At(bytes, 4) > 0)
        return PictureKind::Cursor;
    if (bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' && bytes[3] == '8' &&
        (bytes[4] == '7' || bytes[4] == '9') && bytes[5] == 'a')
        return PictureKind::Gif;
    if (bytes[0] == 0x0A && bytes[1] <= 5 && bytes[2] == 1 && bytes[3] == 8)
        return PictureKind::Pcx8;
    if (bytes[0] == 0x0A && bytes[1] == 3 && bytes[2] == 1 && bytes[3] == 1)
        return PictureKind::Pcx1;
    return PictureKind::Empty;
}

PictureHandle loadPicture(std::span<const std::uint8_t> bytes)
{
    // Decoders report failure as "no record"; running out of memory anywhere on the way
    // (including in the registry itself) is a failure like any other.
    try {
        auto record = decode(bytes);
        if (!record)
            return 0;
        auto owned = std::make_unique<PictureRecord>(std::move(*record));
        const PictureHandle handle = nextHandle();
        registry().pictures.emplace(handle, std::move(owned));
        return handle;
    } catch (const std::exception&) {
        return 0;
    }
}

PictureHandle loadPictureFile(std::string_view windowsPath)
{
    if (windowsPath.empty())
        return 0;
    try {
        const auto linuxPath = platform::toLinuxPath(windowsPath);
        if (!linuxPath)
            return 0;
        const auto content = platform::readWholeFile(*linuxPath, kMaxPictureFileBytes);
        if (!content)
            return 0;
        return loadPicture(*content);
    } catch (const std::exception&) {
        return 0;
    }
}

void unloadPicture(PictureHandle handle)
{
    if (handle != 0)
        registry().pictures.erase(handle);
}

bool isLoadedPicture(PictureHandle handle)
{
    return find(handle) != nullptr;
}

std::size_t loadedPictureCount()
{
    return registry().pictures.size();
}

PictureKind pictureKind(PictureHandle handle)
{
    const PictureRecord* record = find(handle);
    return record ? record->kind : PictureKind::Empty;
}

std::int32_t pictureWidth(PictureHandle handle)
{
    const PictureRecord* record = find(handle);
    return record ? record->width : 0;
}

std::int32_t pictureHeight(PictureHandle handle)
{
    const PictureRecord* record = find(handle);
    return record ? record->height : 0;
}

const PictureRecord* decodedPicture(PictureHandle handle)
{
    PictureRecord* record = find(handle);
    if (!record)
        return nullptr;
    if (record->kind == PictureKind::Jpeg && record->data.empty()) {
        auto pixels = decodeJpeg(record->jpegSource, 1, JpegLayout::BgrBottomUp);
        if (!pixels || pixels->width != static_cast<std::uint32_t>(record->width) ||
            pixels->height != static_cast<std::uint32_t>(record->height))
            return nullptr;
        record->data = std::move(pixels->pixels);
    }
    return record;
}

std::optional<BgraImage> pictureForDrawing(PictureHandle handle, std::int32_t wantedWidth, std::int32_t wantedHeight)
{
    const PictureRecord* record = find(handle);
    if (!record)
        return std::nullopt;
    if (record->kind == PictureKind::Jpeg && record->data.empty()) {
        const auto width = static_cast<std::uint32_t>(record->width);
        const auto height = static_cast<std::uint32_t>(record->height);
        const unsigned scale = wantedWidth == 0 || wantedHeight == 0
                                   ? 1
                                   : jpegScaleFor(width, height, wantedSide(wantedWidth), wantedSide(wantedHeight));
        auto pixels = decodeJpeg(record->jpegSource, scale, JpegLayout::BgraTopDown);
        if (!pixels)
            return std::nullopt;
        return BgraImage{static_cast<std::int32_t>(pixels->width), static_cast<std::int32_t>(pixels->height),
                         std::move(pixels->pixels)};
    }
    return recordToBgra(*record);
}

}  // namespace quillora::runtime
