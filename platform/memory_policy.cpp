#include "platform/memory_policy.h"

#include <malloc.h>

namespace quillora::platform {
namespace {

constexpr int kLargeBlockBytes = 1 << 20;
// Each thread that allocates may get an arena of its own, which keeps its freed memory; the
// read-ahead workers share a few.
constexpr int kArenas = 2;

}  // namespace

void returnLargeBlocksWhenFreed()
{
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
    mallopt(M_ARENA_MAX, kArenas);
}

}  // namespace quillora::platform
