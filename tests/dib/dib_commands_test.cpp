#include "quillora/dib_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dib_test_files.h"
#include "quillora/entry_table.h"
#include "runtime/core/memory.h"
#include "runtime/picture/dib_commands.h"

namespace quillora::runtime::test {
namespace {

RuntimeValue call(CommandFunction command, std::vector<RuntimeValue> args)
{
    args.push_back({});  // a valid pointer even for no arguments
    return runtimeEntries().CallLibraryCommand(kBitmapLibrary, command, static_cast<std::int32_t>(args.size() - 1),
                                               args.data());
}

// Owns a byte set or text the commands hand out or are given.
struct Block {
    RuntimeValue value;
    ~Block() { freeBlock(asPointer(value)); }
    std::vector<std::uint8_t> bytes() const
    {
        const std::uint8_t* data = byteSetData(value);
        return data ? std::vector<std::uint8_t>(data, data + byteSetLength(value)) : std::vector<std::uint8_t>{};
    }
    std::string text() const { return asText(value); }
};

Block byteSet(const std::vector<std::uint8_t>& bytes)
{
    return {makePointer(TypeCode::ByteSet, newByteSetBlock(bytes.data(), bytes.size()))};
}

std::string lastError(RuntimeValue dib)
{
    return Block{call(dibLastError, {dib})}.text();
}

BmpSpec threeByTwo()
{
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.rows = {rgbRow({kRed, kGreen, kBlue}), rgbRow({kWhite, kWhite, kWhite})};
    return spec;
}

TEST(DibCommands, PageTurnedAndStampedThroughTheCommandInterface)
{
    const RuntimeValue page = call(dibCreate, {});
    EXPECT_EQ(page.type, kDibTypeCode);
    EXPECT_NE(page.low, 0u);
    EXPECT_EQ(asPointer(Block{call(dibGetData, {page})}.value), nullptr);
    EXPECT_EQ(lastError(page), "位图尚未创建，没有可用数据");
    // Text is not bitmap data.
    const Block text{makePointer(TypeCode::Text, newTextBlock("BM"))};
    EXPECT_FALSE(asBool(call(dibLoadFromData, {page, text.value})));
    EXPECT_EQ(lastError(page), "不被支持的位图数据或无法识别的文件格式");

    const Block file = byteSet(makeBmp(threeByTwo()));
    EXPECT_TRUE(asBool(call(dibLoadFromData, {page, file.value})));
    EXPECT_TRUE(asBool(call(dibSetHorizontalResolution, {page, makeInt(11811)})));
    EXPECT_TRUE(asBool(call(dibSetVerticalResolution, {page, makeInt(11811)})));
    EXPECT_EQ(lastError(page), "");

    const RuntimeValue turned = call(dibRotate, {page, makeFloat(90.0f), makeInt(0)});
    EXPECT_EQ(turned.type, kDibTypeCode);
    EXPECT_NE(turned.low, page.low);
    const Block data{call(dibGetData, {turned})};
    EXPECT_EQ(data.value.type, static_cast<std::uint32_t>(TypeCode::ByteSet));

    BmpSpec expected;
    expected.width = 2;
    expected.height = 3;
    expected.rows = {rgbRow({kWhite, kRed}), rgbRow({kWhite, kGreen}), rgbRow({kWhite, kBlue})};
    std::vector<std::uint8_t> expectedFile = makeBmp(expected);
    poke32(expectedFile, 34, 24);  // the turned bitmap states its image size
    poke32(expectedFile, 38, 11811);
    poke32(expectedFile, 42, 11811);
    EXPECT_EQ(data.bytes(), expectedFile);

    call(dibDestroy, {turned});
    call(dibDestroy, {page});
    EXPECT_FALSE(asBool(call(dibLoadFromData, {page, file.value})));
    EXPECT_EQ(Block{call(dibGetData, {page})}.value.low, 0u);
}

TEST(DibCommands, ValuesThatNameNoObjectReachNothing)
{
    const RuntimeValue real = call(dibCreate, {});
    const Block file = byteSet(makeBmp(threeByTwo()));
    const std::vector<RuntimeValue> forged = {
        {0, 0, kDibTypeCode},                  // zero handle
        {real.low + 1000, 0, kDibTypeCode},    // never given out
        {real.low, 1, kDibTypeCode},           // high word set
        {real.low, 0, unitTypeCode(7, 2)},     // another type
        makeInt(static_cast<std::int32_t>(real.low)),
    };
    for (const RuntimeValue& value : forged) {
        EXPECT_FALSE(asBool(call(dibLoadFromData, {value, file.value})));
        EXPECT_FALSE(asBool(call(dibSetHorizontalResolution, {value, makeInt(1)})));
        EXPECT_EQ(Block{call(dibLastError, {value})}.value.low, 0u);
        call(dibDestroy, {value});
    }
    EXPECT_FALSE(asBool(call(dibSetHorizontalResolution, {})));
    // The real object survived the forged destroys.
    EXPECT_NE(findDib(real), nullptr);
    call(dibDestroy, {real});
    EXPECT_EQ(findDib(real), nullptr);
}

}  // namespace
}  // namespace quillora::runtime::test
