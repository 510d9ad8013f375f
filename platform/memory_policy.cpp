#include "platform/memory_policy.h"

#include <malloc.h>

namespace quillora::platform {
namespace {

constexpr int kOwnMappingBytes = 32 << 20;
constexpr int kKeptAtTopBytes = 32 << 20;
// Each thread that allocates may get an arena of its own, which keeps its freed memory; the
// read-ahead workers share a few.
constexpr int kArenas = 1;

}  // namespace

void keepLargeBlocksForReuse()
{
    mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptAtTopBytes);
    mallopt(M_ARENA_MAX, kArenas);
}

void releaseFreedMemory()
{
    malloc_trim(0);
}

}  // namespace quillora::platform
