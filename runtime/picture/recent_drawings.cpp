#include "runtime/picture/recent_drawings.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace quillora::runtime {

std::optional<BgraImage> RecentDrawings::find(std::int32_t picture, unsigned scale)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.picture == picture && entry.scale == scale;
    });
    if (found == entries_.end())
        return std::nullopt;
    std::rotate(found, found + 1, entries_.end());
    return entries_.back().image;
}

void RecentDrawings::store(std::int32_t picture, unsigned scale, BgraImage image)
{
    const std::size_t bytes = image.pixels.size();
    if (bytes > kRecentDrawingBytes)
        return;
    forget(picture);
    while (!entries_.empty() && (entries_.size() >= kRecentDrawingEntries || heldBytes_ + bytes > kRecentDrawingBytes))
        dropOldest();
    // Keeping a copy is an optimisation: without the memory for it the picture is simply not kept.
    try {
        entries_.push_back({picture, scale, std::move(image)});
        heldBytes_ += bytes;
    } catch (const std::exception&) {
    }
}

void RecentDrawings::forget(std::int32_t picture)
{
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        if (entry->picture == picture) {
            heldBytes_ -= entry->image.pixels.size();
            entry = entries_.erase(entry);
        } else {
            ++entry;
        }
    }
}

void RecentDrawings::dropOldest()
{
    heldBytes_ -= entries_.front().image.pixels.size();
    entries_.erase(entries_.begin());
}

}  // namespace quillora::runtime
