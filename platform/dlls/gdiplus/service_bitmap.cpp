#include "platform/dlls/gdiplus/service_bitmap.h"

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
