// Heap blocks handed across the entry table, and the static range of literal data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quillora::runtime {

// The largest block one request may take. The program's values are addressed with 32-bit
// lengths, so nothing larger is ever needed; a larger request is reported as failed instead of
// reaching the heap.
inline constexpr std::int64_t kMaxBlockBytes = 0x7FFFFFFF;

// A heap block of `bytes` bytes. A request that cannot be met ends in the allocation report.
void* allocateBlock(std::int64_t bytes);
// Resizes `block`. Null allocates; a static block is copied out into a new heap block of `bytes`
// bytes (as much of the literal as lies before the end of the constant data), and the literal
// is left alone.
void* resizeBlock(void* block, std::int64_t bytes);
// Frees a heap block; null and static blocks are ignored.
void freeBlock(void* block);

// Registers one address range of literal data. Start-up registers the program's constant data;
// tests may register their own.
void registerStaticRange(const void* begin, std::size_t bytes);
bool isStaticBlock(const void* block);
// Bytes from `block` to the end of the static range that holds it (0 when none holds it).
std::size_t bytesToStaticEnd(const void* block);

// A fresh caller-owned copy of a text (zero-terminated). The empty text is returned as null,
// which every reader takes as the empty text.
char* newTextBlock(std::string_view text);
// A fresh caller-owned byte-set block; zero bytes give null, as every empty byte set is.
void* newByteSetBlock(const void* bytes, std::size_t length);

// A fresh caller-owned byte-set block of `length` bytes whose payload is left for the caller to
// fill in, so large results are made in place instead of being built elsewhere and copied in.
// Zero bytes give no block and an empty payload; a request that cannot be met ends in the
// allocation report, as every block does.
struct UnfilledByteSet {
    void* block = nullptr;
    std::span<std::uint8_t> payload;
};
UnfilledByteSet newUnfilledByteSetBlock(std::size_t length);

}  // namespace quillora::runtime
