#include "platform/dlls/gdiplus/service_bitmap.h"

#include "platform/dlls/shared/global_memory.h"
#include "platform/formats/bmp_records.h"

#include <mutex>
#include <unordered_set>

namespace quillora::dlls {
namespace {

struct LiveBitmaps {
    std::mutex mutex;
    std::unordered_set<const void*> bitmaps;
};

LiveBitmaps& liveBitmaps()
{
    static LiveBitmaps instance;
    return instance;
}

}  // namespace

ServiceBitmap::~ServiceBitmap()
{
    if (stream)
        stream->Release();
}

BitmapRows::BitmapRows(const ServiceBitmap& bitmap) : bitmap_(bitmap), row_(std::size_t{bitmap.width} * 3)
{
    if (!bitmap.stream) {
        if (bitmap.pixelStart <= bitmap.ownData.size() && bitmap.pixelBytes <= bitmap.ownData.size() - bitmap.pixelStart)
            stored_ = std::span(bitmap.ownData).subspan(bitmap.pixelStart, bitmap.pixelBytes);
        return;
    }
    const auto* data = static_cast<const std::uint8_t*>(lockGlobal(bitmap.block));
    if (!data)
        return;
    locked_ = true;
    // The rows were checked against the block when the bitmap was made; a block cut shorter
    // since then is refused rather than read past its end.
    const win::SIZE_T size = globalSize(bitmap.block);
    if (bitmap.pixelStart <= size && bitmap.pixelBytes <= size - bitmap.pixelStart)
        stored_ = std::span(data + bitmap.pixelStart, bitmap.pixelBytes);
}

BitmapRows::~BitmapRows()
{
    if (locked_)
        unlockGlobal(bitmap_.block);
}

std::uint8_t* BitmapRows::rgb(std::uint32_t y)
{
    const std::uint64_t stride = formats::bmpStride(bitmap_.width, bitmap_.bitCount);
    const std::uint32_t stored = bitmap_.topDown ? y : bitmap_.height - 1 - y;
    const auto row = stored_.subspan(static_cast<std::size_t>(stored * stride),
                                     static_cast<std::size_t>(formats::bmpRowBytes(bitmap_.width, bitmap_.bitCount)));
    formats::expandBmpRow(row, bitmap_.bitCount, bitmap_.palette, bitmap_.width, row_.data(), formats::PixelOrder::Rgb);
    return row_.data();
}

win::GpImage* registerBitmap(ServiceBitmap* bitmap)
{
    LiveBitmaps& live = liveBitmaps();
    std::lock_guard lock(live.mutex);
    live.bitmaps.insert(bitmap);
    return bitmap;
}

ServiceBitmap* findBitmap(win::GpImage* image)
{
    LiveBitmaps& live = liveBitmaps();
    std::lock_guard lock(live.mutex);
    return live.bitmaps.contains(image) ? static_cast<ServiceBitmap*>(image) : nullptr;
}

bool disposeBitmap(win::GpImage* image)
{
    {
        LiveBitmaps& live = liveBitmaps();
        std::lock_guard lock(live.mutex);
        if (live.bitmaps.erase(image) == 0)
            return false;
    }
    delete static_cast<ServiceBitmap*>(image);
    return true;
}

}  // namespace quillora::dlls
