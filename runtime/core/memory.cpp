#include "runtime/core/memory.h"

#include "platform/program_image.h"
#include "quillora/runtime_value.h"
#include "runtime/core/error_report.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

struct StaticRange {
    std::uintptr_t begin;
    std::uintptr_t end;
};

std::mutex rangeMutex;
std::vector<StaticRange> staticRanges;

[[noreturn]] void reportAllocationFailure(std::int64_t bytes)
{
    reportRuntimeError(0, "分配 " + std::to_string(bytes) + " 字节内存失败!");
}

const StaticRange* findRange(const void* block)
{
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    for (const StaticRange& range : staticRanges) {
        if (address >= range.begin && address < range.end)
            return &range;
    }
    return nullptr;
}

}  // namespace

void* allocateBlock(std::int64_t bytes)
{
    if (bytes < 0 || bytes > kMaxBlockBytes)
        reportAllocationFailure(bytes);
    // malloc(0) may return null; a zero-byte block is still a block the caller may free.
    void* block = std::malloc(bytes == 0 ? 1 : static_cast<std::size_t>(bytes));
    if (!block)
        reportAllocationFailure(bytes);
    return block;
}

void* resizeBlock(void* block, std::int64_t bytes)
{
    if (!block)
        return allocateBlock(bytes);
    if (isStaticBlock(block)) {
        void* copy = allocateBlock(bytes);
        const std::size_t available = bytesToStaticEnd(block);
        std::memcpy(copy, block, std::min<std::size_t>(static_cast<std::size_t>(bytes), available));
        return copy;
    }
    if (bytes < 0 || bytes > kMaxBlockBytes)
        reportAllocationFailure(bytes);
    void* resized = std::realloc(block, bytes == 0 ? 1 : static_cast<std::size_t>(bytes));
    if (!resized)
        reportAllocationFailure(bytes);
    return resized;
}

void freeBlock(void* block)
{
    if (!block || isStaticBlock(block))
        return;
    std::free(block);
}

void registerStaticRange(const void* begin, std::size_t bytes)
{
    if (!begin || bytes == 0)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    std::lock_guard lock(rangeMutex);
    staticRanges.push_back({start, start + bytes});
}

bool isStaticBlock(const void* block)
{
    std::lock_guard lock(rangeMutex);
    return findRange(block) != nullptr;
}

std::size_t bytesToStaticEnd(const void* block)
{
    std::lock_guard lock(rangeMutex);
    const StaticRange* range = findRange(block);
    return range ? range->end - reinterpret_cast<std::uintptr_t>(block) : 0;
}

char* newTextBlock(std::string_view text)
{
    if (text.empty())
        return nullptr;
    auto* block = static_cast<char*>(allocateBlock(static_cast<std::int64_t>(text.size()) + 1));
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    return block;
}

void* newByteSetBlock(const void* bytes, std::size_t length)
{
    const UnfilledByteSet set = newUnfilledByteSetBlock(length);
    if (length != 0)
        std::memcpy(set.payload.data(), bytes, length);
    return set.block;
}

UnfilledByteSet newUnfilledByteSetBlock(std::size_t length)
{
    if (length == 0)
        return {};
    if (length > static_cast<std::size_t>(kMaxBlockBytes) - sizeof(ByteSetHeader))
        reportAllocationFailure(static_cast<std::int64_t>(length));
    auto* block = static_cast<std::uint8_t*>(
        allocateBlock(static_cast<std::int64_t>(sizeof(ByteSetHeader) + length)));
    const ByteSetHeader header{1, static_cast<std::uint32_t>(length)};
    std::memcpy(block, &header, sizeof header);
    return {block, std::span<std::uint8_t>(block + sizeof header, length)};
}

}  // namespace quillora::runtime
