// The layout of an array value: one block holding a 32-bit dimension count d, d 32-bit
// dimension sizes, then the elements packed with the data sizes of their type. A byte set is the
// one-dimensional byte array, hence its leading 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace quillora {

struct ArrayShape {
    std::uint32_t dimensionCount = 0;
    std::uint64_t elementCount = 0;   // product of the dimension sizes
    std::size_t headerBytes = 0;      // 4 + 4 * dimensionCount
};

// Reads the shape of an array block. Returns nothing when the product of the dimensions does
// not fit in 64 bits.
std::optional<ArrayShape> readArrayShape(const void* block);

// Total bytes of an array block for elements of the given size, or nothing on overflow.
std::optional<std::size_t> arrayBlockBytes(const void* block, std::size_t elementSize);

// Element k (0-based) of an array block of elements of the given size. Elements after the
// header need not be aligned, so callers read and write them with memcpy.
inline std::uint8_t* arrayElement(void* block, std::size_t headerBytes, std::size_t elementSize, std::size_t index)
{
    return static_cast<std::uint8_t*>(block) + headerBytes + elementSize * index;
}

}  // namespace quillora
