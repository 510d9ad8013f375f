#include "platform/dlls/shared/global_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace quillora::dlls {
namespace {

using win::BOOL;
using win::HGLOBAL;
using win::SIZE_T;
using win::UINT;

struct Block {
    unsigned char* data = nullptr;
    SIZE_T size = 0;
    SIZE_T capacity = 0;
    std::uint32_t locks = 0;
};

// Handle values count up in steps of 16 from a base well above the small numbers a program passes
// around, so a length or an index given in place of a handle is not mistaken for one.
constexpr std::uintptr_t kFirstHandle = 0x51000004;
constexpr std::uintptr_t kHandleStep = 0x10;

struct Registry {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, Block> blocks;
    std::uintptr_t nextHandle = kFirstHandle;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

Block* findBlock(Registry& all, HGLOBAL handle)
{
    auto found = all.blocks.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == all.blocks.end() ? nullptr : &found->second;
}

// Makes room for `bytes` bytes. Growth doubles the room so a stream written in small pieces
// does not copy its whole content on every write.
bool reserve(Block& block, SIZE_T bytes)
{
    if (bytes <= block.capacity)
        return true;
    const SIZE_T capacity = std::max(bytes, std::min(block.capacity * 2, kMaxGlobalBlockBytes));
    auto* data = static_cast<unsigned char*>(std::realloc(block.data, capacity));
    if (!data)
        return false;
    block.data = data;
    block.capacity = capacity;
    return true;
}

bool setSize(Block& block, SIZE_T bytes)
{
    if (bytes > kMaxGlobalBlockBytes || !reserve(block, bytes))
        return false;
    // Room left over from a shrink still holds old bytes; what the block gains must read as zero.
    if (bytes > block.size)
        std::memset(block.data + block.size, 0, bytes - block.size);
    block.size = bytes;
    return true;
}

}  // namespace

HGLOBAL allocateGlobal(UINT flags, SIZE_T bytes)
{
    if (bytes > kMaxGlobalBlockBytes)
        return nullptr;
    Block block;
    if (bytes > 0) {
        block.data = static_cast<unsigned char*>(
            (flags & win::GMEM_ZEROINIT) ? std::calloc(bytes, 1) : std::malloc(bytes));
        if (!block.data)
            return nullptr;
        block.size = bytes;
        block.capacity = bytes;
    }
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    const std::uintptr_t handle = all.nextHandle;
    all.nextHandle += kHandleStep;
    all.blocks.emplace(handle, block);
    return reinterpret_cast<HGLOBAL>(handle);
}

void* lockGlobal(HGLOBAL handle)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    Block* block = findBlock(all, handle);
    if (!block || block->size == 0)
        return nullptr;
    ++block->locks;
    return block->data;
}

BOOL unlockGlobal(HGLOBAL handle)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    Block* block = findBlock(all, handle);
    if (!block || block->locks == 0)
        return 0;
    --block->locks;
    return block->locks > 0;
}

SIZE_T globalSize(HGLOBAL handle)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    const Block* block = findBlock(all, handle);
    return block ? block->size : 0;
}

HGLOBAL freeGlobal(HGLOBAL handle)
{
    if (!handle)
        return nullptr;
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    auto found = all.blocks.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == all.blocks.end())
        return handle;
    std::free(found->second.data);
    all.blocks.erase(found);
    return nullptr;
}

bool isGlobalHandle(HGLOBAL handle)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    return findBlock(all, handle) != nullptr;
}

bool resizeGlobal(HGLOBAL handle, SIZE_T bytes)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    Block* block = findBlock(all, handle);
    return block && setSize(*block, bytes);
}

SIZE_T readGlobal(HGLOBAL handle, SIZE_T offset, void* target, SIZE_T bytes)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    const Block* block = findBlock(all, handle);
    if (!block || !target || offset >= block->size)
        return 0;
    const SIZE_T count = std::min(bytes, block->size - offset);
    std::memcpy(target, block->data + offset, count);
    return count;
}

bool writeGlobal(HGLOBAL handle, SIZE_T offset, const void* source, SIZE_T bytes)
{
    Registry& all = registry();
    std::lock_guard lock(all.mutex);
    Block* block = findBlock(all, handle);
    if (!block || (bytes > 0 && !source))
        return false;
    if (bytes == 0)
        return true;
    if (offset > kMaxGlobalBlockBytes || bytes > kMaxGlobalBlockBytes - offset)
        return false;
    if (offset + bytes > block->size && !setSize(*block, offset + bytes))
        return false;
    std::memcpy(block->data + offset, source, bytes);
    return true;
}

}  // namespace quillora::dlls
