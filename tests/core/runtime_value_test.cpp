#include "quillora/array_block.h"
#include "quillora/runtime_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillora {
namespace {

TEST(RuntimeValue, PayloadWordsRoundTripEveryBasicType)
{
    EXPECT_EQ(asInt(makeInt(-7)), -7);
    EXPECT_EQ(asInt64(makeInt64(-0x123456789ALL)), -0x123456789ALL);
    EXPECT_EQ(makeInt64(0x100000002LL).high, 1u);
    EXPECT_EQ(makeByte(200).low, 200u);
    EXPECT_EQ(asInt(makeShort(-2)), -2);
    EXPECT_FLOAT_EQ(asFloat(makeFloat(1.5f)), 1.5f);
    EXPECT_DOUBLE_EQ(asDouble(makeDouble(-2.25)), -2.25);
    EXPECT_EQ(makeDouble(1.0).type, static_cast<std::uint32_t>(TypeCode::Double));
}

TEST(RuntimeValue, PointerPayloadUsesBothWords)
{
    static const char text[] = "相册";
    const RuntimeValue value = makePointer(TypeCode::Text, text);
    EXPECT_EQ(asPointer(value), text);
    EXPECT_EQ(value.high, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(text) >> 32));
    EXPECT_STREQ(asText(value), "相册");
}

TEST(RuntimeValue, NullTextReadsAsEmptyAndNullByteSetIsEmpty)
{
    EXPECT_STREQ(asText(makePointer(TypeCode::Text, nullptr)), "");
    const RuntimeValue empty = makePointer(TypeCode::ByteSet, nullptr);
    EXPECT_EQ(byteSetLength(empty), 0u);
    EXPECT_EQ(byteSetData(empty), nullptr);
}

TEST(RuntimeValue, CopiesStoreTrueAsOneAndClampDates)
{
    const RuntimeValue truthy{42, 0, static_cast<std::uint32_t>(TypeCode::Bool)};
    EXPECT_EQ(copyValue(truthy).low, 1u);
    EXPECT_DOUBLE_EQ(asDouble(makeDateTime(5e6)), kLatestDate);
    EXPECT_DOUBLE_EQ(asDouble(makeDateTime(-1e9)), kEarliestDate);
    EXPECT_DOUBLE_EQ(asDouble(makeDateTime(std::nan(""))), kEarliestDate);
    EXPECT_DOUBLE_EQ(asDouble(makeDateTime(45000.5)), 45000.5);
}

TEST(RuntimeValue, DataSizesFollowTheTypes)
{
    EXPECT_EQ(dataSize(TypeCode::Byte), 1u);
    EXPECT_EQ(dataSize(TypeCode::Short), 2u);
    EXPECT_EQ(dataSize(TypeCode::Bool), 4u);
    EXPECT_EQ(dataSize(TypeCode::DateTime), 8u);
    EXPECT_EQ(dataSize(TypeCode::Text), sizeof(void*));
    EXPECT_TRUE(isUnitType(unitTypeCode(3, 4)));
    EXPECT_FALSE(isUnitType(static_cast<std::uint32_t>(TypeCode::Integer)));
}

TEST(FontValue, FaceNameFallsBackToSongAndMembersWrite)
{
    EXPECT_STREQ(effectiveFaceName(nullptr), "宋体");
    EXPECT_STREQ(effectiveFaceName(""), "宋体");
    EXPECT_STREQ(effectiveFaceName("楷体"), "楷体");
    EXPECT_STREQ(effectiveFaceName("0123456789012345678901234567890"), "0123456789012345678901234567890");
    EXPECT_STREQ(effectiveFaceName("01234567890123456789012345678901"), "宋体");

    FontValue font{0, 0, 0, 0, 0, 9, "宋体"};
    writeFontMember(font, FontMember::Angle, 3700);
    EXPECT_EQ(font.angleTenths, 100);
    writeFontMember(font, FontMember::Angle, -900);
    EXPECT_EQ(font.angleTenths, 2700);
    writeFontMember(font, FontMember::Bold, 5);
    EXPECT_EQ(font.bold, 1);
    writeFontMember(font, FontMember::Size, 14);
    EXPECT_EQ(font.sizePoints, 14);
    static const char kai[] = "楷体";
    writeFontMember(font, FontMember::FaceName, static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(kai)));
    EXPECT_STREQ(font.faceName, "楷体");
}

TEST(ArrayBlock, ShapeAndSizeOfTwoDimensions)
{
    const std::uint32_t block[] = {2, 3, 4};
    const auto shape = readArrayShape(block);
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->elementCount, 12u);
    EXPECT_EQ(shape->headerBytes, 12u);
    EXPECT_EQ(arrayBlockBytes(block, 8), std::optional<std::size_t>(12 + 96));
}

TEST(ArrayBlock, OverflowingDimensionsAreRefused)
{
    const std::uint32_t block[] = {3, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_FALSE(readArrayShape(block));
    const std::uint32_t large[] = {2, 0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_FALSE(arrayBlockBytes(large, 8));
}

}  // namespace
}  // namespace quillora
