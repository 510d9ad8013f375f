// The pixels of the last few pictures drawn, at the size they were decoded for: a picture that
// is drawn again at the same size (a window repainting, the preview refreshing) is not read and
// decoded again. The cache is small and bounded, so a batch of thousands of pictures, each drawn
// once, costs no more memory than a few.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/picture/picture_pixels.h"

namespace quillora::runtime {

// At most this many pictures, and this many bytes of pixels, are kept; a picture larger than the
// byte budget is not kept at all.
inline constexpr std::size_t kRecentDrawingEntries = 8;
inline constexpr std::size_t kRecentDrawingBytes = 16u * 1024 * 1024;

class RecentDrawings {
public:
    // A copy of the pixels kept for `picture` decoded at `scale`, if any; it becomes the most
    // recent one.
    std::optional<BgraImage> find(std::int32_t picture, unsigned scale);

    // Keeps the pixels, dropping the least recently used entries to stay within the bounds.
    void store(std::int32_t picture, unsigned scale, BgraImage image);

    // Drops every entry of `picture` (it has been unloaded).
    void forget(std::int32_t picture);

    std::size_t heldBytes() const { return heldBytes_; }

private:
    struct Entry {
        std::int32_t picture = 0;
        unsigned scale = 0;
        BgraImage image;
    };

    void dropOldest();

    std::vector<Entry> entries_;  // least recently used first
    std::size_t heldBytes_ = 0;
};

}  // namespace quillora::runtime
