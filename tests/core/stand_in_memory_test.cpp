// The stand-in kernel32.dll's memory handles and memory moves, reached as the program reaches
// them.
#include "tests/core/stand_in_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace quillora;
using test_support::dllCommand;

struct Kernel32Memory {
    win::GlobalAllocFn alloc = dllCommand<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    win::GlobalLockFn lock = dllCommand<win::GlobalLockFn>(DllCommand::GlobalLock);
    win::GlobalUnlockFn unlock = dllCommand<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);
    win::GlobalSizeFn size = dllCommand<win::GlobalSizeFn>(DllCommand::GlobalSize);
    win::GlobalFreeFn free = dllCommand<win::GlobalFreeFn>(DllCommand::GlobalFree);
    win::RtlMoveMemoryFn move = dllCommand<win::RtlMoveMemoryFn>(DllCommand::RtlMoveMemory);
};

TEST(StandInKernel32Memory, BlockLivesFromAllocToFree)
{
    Kernel32Memory k;
    win::HGLOBAL block = k.alloc(win::GMEM_FIXED, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(k.size(block), 16u);
    auto* data = static_cast<char*>(k.lock(block));
    ASSERT_NE(data, nullptr);
    std::memcpy(data, "sixteen bytes..", 16);
    EXPECT_EQ(k.unlock(block), 0);  // no lock left
    EXPECT_STREQ(static_cast<char*>(k.lock(block)), "sixteen bytes..");
    k.unlock(block);
    EXPECT_EQ(k.free(block), nullptr);

    // A freed handle is unknown from then on, and never comes back for a new block.
    EXPECT_EQ(k.size(block), 0u);
    EXPECT_EQ(k.lock(block), nullptr);
    EXPECT_EQ(k.unlock(block), 0);
    EXPECT_EQ(k.free(block), block);
    win::HGLOBAL next = k.alloc(win::GMEM_FIXED, 16);
    EXPECT_NE(next, block);
    k.free(next);
}

TEST(StandInKernel32Memory, HandleIsNotThePointer)
{
    Kernel32Memory k;
    win::HGLOBAL block = k.alloc(win::GMEM_MOVEABLE, 8);
    void* data = k.lock(block);
    EXPECT_NE(static_cast<void*>(block), data);
    // The data pointer is not a handle either.
    EXPECT_EQ(k.size(static_cast<win::HGLOBAL>(data)), 0u);
    k.unlock(block);
    k.free(block);
}

TEST(StandInKernel32Memory, ZeroInitGivesZeroBytes)
{
    Kernel32Memory k;
    win::HGLOBAL block = k.alloc(win::GMEM_MOVEABLE | win::GMEM_ZEROINIT, 4096);
    const auto* data = static_cast<const unsigned char*>(k.lock(block));
    ASSERT_NE(data, nullptr);
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < 4096; ++i)
        nonZero += data[i] != 0;
    EXPECT_EQ(nonZero, 0u);
    k.unlock(block);
    k.free(block);
}

TEST(StandInKernel32Memory, LocksNest)
{
    Kernel32Memory k;
    win::HGLOBAL block = k.alloc(win::GMEM_MOVEABLE, 4);
    void* first = k.lock(block);
    EXPECT_EQ(k.lock(block), first);
    EXPECT_NE(k.unlock(block), 0);  // still locked once
    EXPECT_EQ(k.unlock(block), 0);
    EXPECT_EQ(k.unlock(block), 0);  // not locked at all
    k.free(block);
}

TEST(StandInKernel32Memory, MadeUpHandlesAnswerZero)
{
    Kernel32Memory k;
    for (std::uintptr_t value : {std::uintptr_t{1}, std::uintptr_t{0x1234}, std::uintptr_t{0x51000004} + 0x10000000,
                                 ~std::uintptr_t{0}}) {
        auto* handle = reinterpret_cast<win::HGLOBAL>(value);
        EXPECT_EQ(k.lock(handle), nullptr);
        EXPECT_EQ(k.unlock(handle), 0);
        EXPECT_EQ(k.size(handle), 0u);
        EXPECT_EQ(k.free(handle), handle);
    }
    EXPECT_EQ(k.free(nullptr), nullptr);
    EXPECT_EQ(k.lock(nullptr), nullptr);
}

TEST(StandInKernel32Memory, RequestAboveTwoGiBIsRefused)
{
    Kernel32Memory k;
    EXPECT_EQ(k.alloc(win::GMEM_FIXED, (win::SIZE_T{1} << 31) + 1), nullptr);
    EXPECT_EQ(k.alloc(win::GMEM_ZEROINIT, ~win::SIZE_T{0}), nullptr);
}

TEST(StandInKernel32Memory, EmptyBlockHasNoData)
{
    Kernel32Memory k;
    win::HGLOBAL block = k.alloc(win::GMEM_MOVEABLE, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(k.size(block), 0u);
    EXPECT_EQ(k.lock(block), nullptr);
    EXPECT_EQ(k.free(block), nullptr);
}

TEST(StandInKernel32Memory, MoveHandlesOverlap)
{
    Kernel32Memory k;
    char text[] = "abcdef";
    k.move(text + 2, text, 4);
    EXPECT_STREQ(text, "ababcd");
    k.move(text, text + 1, 5);
    EXPECT_STREQ(text, "babcdd");
    k.move(nullptr, text, 3);
    k.move(text, nullptr, 3);
    k.move(text, "zzz", 0);
    EXPECT_STREQ(text, "babcdd");
}

}  // namespace
