#include "quillora/entry_table.h"
#include "quillora/runtime_services.h"
#include "runtime/core/memory.h"
#include "runtime/core/runtime_services.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillora::runtime {
namespace {

// Literal data of the test program, registered the way start-up registers the program's
// constant data.
const char kLiteral[] = "宋体相册";
const std::uint32_t kLiteralArray[] = {1, 3, 10, 20, 30};

class StaticRangeTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        registerStaticRange(kLiteral, sizeof kLiteral);
        registerStaticRange(kLiteralArray, sizeof kLiteralArray);
    }
};

TEST_F(StaticRangeTest, FreeIgnoresLiteralsAndNull)
{
    EXPECT_TRUE(isStaticBlock(kLiteral));
    EXPECT_TRUE(isStaticBlock(kLiteral + 3));
    EXPECT_FALSE(isStaticBlock(kLiteral + sizeof kLiteral));
    freeBlock(const_cast<char*>(kLiteral));
    freeBlock(nullptr);
    EXPECT_STREQ(kLiteral, "宋体相册");
}

TEST_F(StaticRangeTest, ResizeCopiesLiteralOutAndLeavesItAlone)
{
    auto* copy = static_cast<char*>(resizeBlock(const_cast<char*>(kLiteral), 64));
    ASSERT_NE(copy, kLiteral);
    EXPECT_FALSE(isStaticBlock(copy));
    EXPECT_STREQ(copy, "宋体相册");
    copy[0] = 'x';
    EXPECT_STREQ(kLiteral, "宋体相册");
    freeBlock(copy);
}

TEST_F(StaticRangeTest, ResizeOfALiteralTailCopiesOnlyUpToTheEndOfTheRange)
{
    // Three bytes before the end of the range: the copy takes those three and no more.
    const char* tail = kLiteral + sizeof kLiteral - 3;
    EXPECT_EQ(bytesToStaticEnd(tail), 3u);
    auto* copy = static_cast<char*>(resizeBlock(const_cast<char*>(tail), 2));
    EXPECT_EQ(std::memcmp(copy, tail, 2), 0);
    freeBlock(copy);
}

TEST_F(StaticRangeTest, MakeArrayWritableCopiesStaticArraysOnly)
{
    void* array = const_cast<std::uint32_t*>(kLiteralArray);
    makeArrayWritable(4, &array);
    ASSERT_NE(array, kLiteralArray);
    EXPECT_EQ(std::memcmp(array, kLiteralArray, sizeof kLiteralArray), 0);
    void* heapArray = array;
    makeArrayWritable(4, &array);
    EXPECT_EQ(array, heapArray);
    freeBlock(array);
}

TEST(Memory, NullResizeAllocatesAndHeapResizeKeepsContents)
{
    auto* block = static_cast<char*>(resizeBlock(nullptr, 4));
    std::memcpy(block, "abc", 4);
    block = static_cast<char*>(resizeBlock(block, 4096));
    EXPECT_STREQ(block, "abc");
    freeBlock(block);
}

TEST(Memory, EmptyTextAndByteSetAreNull)
{
    EXPECT_EQ(newTextBlock(""), nullptr);
    EXPECT_EQ(newByteSetBlock("x", 0), nullptr);
    auto* bytes = static_cast<std::uint32_t*>(newByteSetBlock("abc", 3));
    EXPECT_EQ(bytes[0], 1u);
    EXPECT_EQ(bytes[1], 3u);
    EXPECT_EQ(std::memcmp(bytes + 2, "abc", 3), 0);
    freeBlock(bytes);
}

TEST(MemoryDeathTest, ImpossibleRequestsEndInTheAllocationReport)
{
    EXPECT_EXIT(allocateBlock(std::int64_t{1} << 40), testing::ExitedWithCode(255),
                "分配 1099511627776 字节内存失败!");
    EXPECT_EXIT(allocateBlock(-1), testing::ExitedWithCode(255), "分配 -1 字节内存失败!");
    void* block = allocateBlock(8);
    EXPECT_EXIT(resizeBlock(block, std::int64_t{1} << 40), testing::ExitedWithCode(255), "字节内存失败!");
    freeBlock(block);
}

TEST(MemoryDeathTest, AllocationReportHasNoErrorCodeLine)
{
    EXPECT_EXIT(runtimeEntries().AllocateBlock(std::int64_t{1} << 40), testing::ExitedWithCode(255),
                "运行时出错!\r\n\r\n错误信息：分配");
}

}  // namespace
}  // namespace quillora::runtime
