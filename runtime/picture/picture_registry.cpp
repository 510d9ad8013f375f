#include "runtime/picture/picture_registry.h"

#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/fs/drive_map.h"
#include "platform/fs/file_snapshot.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_facts.h"
#include "runtime/picture/picture_kinds.h"
#include "runtime/picture/read_ahead.h"
#include "runtime/picture/recent_drawings.h"

namespace quillora::runtime {

namespace {

// Decoded pixels of a picture loaded from a file are given up when they take more than this
// (a 256 x 256 picture, say), and read again from the file when the picture is drawn.
constexpr std::size_t kKeptFilePixelBytes = 256u * 1024;

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

std::uint32_t wantedSide(std::int32_t side)
{
    // A negative side mirrors the picture; it needs as many pixels as the positive one.
    return side == std::numeric_limits<std::int32_t>::min() ? 0u : static_cast<std::uint32_t>(std::abs(side));
}

RecentDrawings& recentDrawings()
{
    static RecentDrawings instance;
    return instance;
}

bool isIcon(const PictureRecord& record)
{
    return record.kind == PictureKind::Icon || record.kind == PictureKind::Cursor;
}

bool holdsPixels(const PictureRecord& record)
{
    return isIcon(record) || !record.data.empty();
}

// The picture data a record is decoded from again: its own bytes, or its file read afresh as
// long as it is still the file that was loaded. Nothing when the record has neither or the file
// has changed (truncated, replaced, deleted, written to).
class SourceData {
public:
    explicit SourceData(const PictureRecord& record)
    {
        const PictureSource& source = record.source;
        if (!source.bytes.empty()) {
            bytes_ = source.bytes;
            return;
        }
        if (source.linuxPath.empty() || !source.identity)
            return;
        auto snapshot = platform::readFileSnapshot(source.linuxPath, kMaxPictureFileBytes, source.identity);
        if (!snapshot)
            return;
        content_ = std::move(snapshot->content);
        bytes_ = content_;
    }
    SourceData(const SourceData&) = delete;
    SourceData& operator=(const SourceData&) = delete;

    explicit operator bool() const { return !bytes_.empty(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> content_;
    std::span<const std::uint8_t> bytes_;
};

// The full-size pixels of a record that does not hold them, in the record's own layout.
// Whatever comes back must be the picture that was loaded: the same kind and size.
std::optional<std::vector<std::uint8_t>> decodeAgain(const PictureRecord& record)
{
    const SourceData source(record);
    if (!source)
        return std::nullopt;
    if (record.kind == PictureKind::Jpeg) {
        auto pixels = decodeJpeg(source.bytes(), kJpegFullScale, JpegLayout::BgrBottomUp, record.orientation);
        if (!pixels || pixels->width != static_cast<std::uint32_t>(record.width) ||
            pixels->height != static_cast<std::uint32_t>(record.height))
            return std::nullopt;
        return std::move(pixels->pixels);
    }
    auto decoded = decodePictureData(source.bytes());
    if (!decoded || decoded->kind != record.kind || decoded->width != record.width || decoded->height != record.height
        || decoded->data.empty())
        return std::nullopt;
    return std::move(decoded->data);
}

// A JPEG that does not hold its pixels, decoded at `eighths`/8 straight into the drawing form.
std::optional<BgraImage> decodeJpegForDrawing(const PictureRecord& record, unsigned eighths)
{
    const SourceData source(record);
    if (!source)
        return std::nullopt;
    auto pixels = decodeJpeg(source.bytes(), eighths, JpegLayout::BgraTopDown, record.orientation);
    if (!pixels || pixels->width != jpegScaledSide(static_cast<std::uint32_t>(record.width), eighths) ||
        pixels->height != jpegScaledSide(static_cast<std::uint32_t>(record.height), eighths))
        return std::nullopt;
    return BgraImage{static_cast<std::int32_t>(pixels->width), static_cast<std::int32_t>(pixels->height),
                     std::move(pixels->pixels)};
}

// A record's pixels are given up when they are not the cheapest way to keep the picture: a
// picture loaded from data keeps those bytes instead when they are fewer, one loaded from a file
// keeps only the file's name when its pixels are large. Icons keep their image.
void keepTheCheapestForm(PictureRecord& record, std::span<const std::uint8_t> loadedFrom, bool fromFile)
{
    if (isIcon(record))
        return;
    if (fromFile) {
        if (record.data.size() > kKeptFilePixelBytes)
            std::vector<std::uint8_t>().swap(record.data);
        return;
    }
    if (record.kind == PictureKind::Jpeg || loadedFrom.size() < record.data.size()) {
        record.source.bytes.assign(loadedFrom.begin(), loadedFrom.end());
        std::vector<std::uint8_t>().swap(record.data);
    }
}

PictureHandle registerPicture(PictureRecord&& record)
{
    auto owned = std::make_unique<PictureRecord>(std::move(record));
    const PictureHandle handle = nextHandle();
    registry().pictures.emplace(handle, std::move(owned));
    return handle;
}

// A JPEG file read ahead loads without being read again, provided it is still the file that was
// read; its pixels, decoded ahead for the current drawing size, wait among the recent drawings.
std::optional<PictureHandle> loadReadAhead(const std::string& linuxPath)
{
    auto ahead = takeReadAhead(linuxPath);
    if (!ahead || platform::currentFileIdentity(linuxPath) != ahead->identity)
        return std::nullopt;
    PictureRecord record;
    record.kind = PictureKind::Jpeg;
    record.width = static_cast<std::int32_t>(ahead->width);
    record.height = static_cast<std::int32_t>(ahead->height);
    record.orientation = ahead->orientation;
    record.taken = ahead->taken;
    record.source.linuxPath = linuxPath;
    record.source.identity = ahead->identity;
    rememberPictureFacts(linuxPath, {ahead->identity, ahead->orientation, ahead->taken});
    const PictureHandle handle = registerPicture(std::move(record));
    if (ahead->image)
        recentDrawings().store(handle, ahead->eighths, std::move(*ahead->image));
    return handle;
}

}  // namespace

PictureHandle loadPicture(std::span<const std::uint8_t> bytes)
{
    // Decoders report failure as "no record"; running out of memory anywhere on the way
    // (including in the registry itself) is a failure like any other.
    try {
        auto record = decodePictureData(bytes);
        if (!record)
            return 0;
        const bool jpeg = record->kind == PictureKind::Jpeg;
        keepTheCheapestForm(*record, bytes, false);
        const PictureHandle handle = registerPicture(std::move(*record));
        // The bytes of a file named ahead as data: its pixels were decoded ahead for the size it
        // is about to be drawn at.
        if (jpeg)
            if (auto ahead = takeReadAheadOfData(bytes); ahead && ahead->image)
                recentDrawings().store(handle, ahead->eighths, std::move(*ahead->image));
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
        if (const auto handle = loadReadAhead(*linuxPath))
            return *handle;
        const auto snapshot = platform::readFileSnapshot(*linuxPath, kMaxPictureFileBytes);
        if (!snapshot)
            return 0;
        auto record = decodePictureData(snapshot->content);
        if (!record)
            return 0;
        record->source.linuxPath = *linuxPath;
        record->source.identity = snapshot->identity;
        rememberPictureFacts(*linuxPath, {snapshot->identity, record->orientation, record->taken});
        keepTheCheapestForm(*record, snapshot->content, true);
        return registerPicture(std::move(*record));
    } catch (const std::exception&) {
        return 0;
    }
}

void readPictureFileAheadNamed(std::string_view windowsPath, std::int32_t zoom)
{
    if (windowsPath.empty())
        return;
    try {
        if (const auto linuxPath = platform::toLinuxPath(windowsPath))
            readPictureAhead(*linuxPath, zoom);
    } catch (const std::exception&) {
        // Reading ahead is only ever a saving of time.
    }
}

void unloadPicture(PictureHandle handle)
{
    if (handle == 0)
        return;
    registry().pictures.erase(handle);
    recentDrawings().forget(handle);
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

std::size_t pictureHeldBytes(PictureHandle handle)
{
    const PictureRecord* record = find(handle);
    if (!record)
        return 0;
    return sizeof(PictureRecord) + record->data.capacity() + record->source.bytes.capacity()
        + record->source.linuxPath.capacity() + record->icon.pixels.capacity();
}

std::size_t recentDrawingBytes()
{
    return recentDrawings().heldBytes();
}

const PictureRecord* decodedPicture(PictureHandle handle)
{
    PictureRecord* record = find(handle);
    if (!record || record->unreadable)
        return nullptr;
    if (holdsPixels(*record))
        return record;
    auto pixels = decodeAgain(*record);
    if (!pixels) {
        record->unreadable = true;
        return nullptr;
    }
    record->data = std::move(*pixels);
    return record;
}

std::optional<BgraImage> pictureForDrawing(PictureHandle handle, std::int32_t wantedWidth, std::int32_t wantedHeight)
{
    PictureRecord* record = find(handle);
    if (!record || record->unreadable)
        return std::nullopt;
    if (holdsPixels(*record))
        return recordToBgra(*record);

    unsigned scale = 0;
    if (record->kind == PictureKind::Jpeg) {
        // Files named ahead by name are decoded for the size pictures from files are drawn at; a
        // picture given as data (a photo being shrunk) is drawn at a size of its own.
        if (!record->source.linuxPath.empty())
            noteJpegDrawingSize(wantedSide(wantedWidth), wantedSide(wantedHeight));
        scale = wantedWidth == 0 || wantedHeight == 0
                    ? kJpegFullScale
                    : jpegScaleFor(static_cast<std::uint32_t>(record->width), static_cast<std::uint32_t>(record->height),
                                   wantedSide(wantedWidth), wantedSide(wantedHeight));
    }
    // Kept pixels of a picture from a file stand for the file only while it is unchanged.
    if (auto kept = recentDrawings().find(handle, scale)) {
        if (record->source.linuxPath.empty() || platform::currentFileIdentity(record->source.linuxPath) == record->source.identity)
            return kept;
        recentDrawings().forget(handle);
        record->unreadable = true;
        return std::nullopt;
    }

    std::optional<BgraImage> image;
    if (record->kind == PictureKind::Jpeg) {
        image = decodeJpegForDrawing(*record, scale);
    } else if (auto pixels = decodeAgain(*record)) {
        PictureRecord full;
        full.kind = record->kind;
        full.width = record->width;
        full.height = record->height;
        full.data = std::move(*pixels);
        image = recordToBgra(full);
    }
    // A picture that did not decode this time will not decode next time either: its data is
    // the same, or its file is no longer the one that was loaded.
    if (!image) {
        record->unreadable = true;
        return std::nullopt;
    }
    recentDrawings().store(handle, scale, *image);
    return image;
}

}  // namespace quillora::runtime
