#include "command_test_support.h"
#include "quillora/core_commands.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillora {
namespace {

using namespace testing_support;

std::string toText(const RuntimeValue& value)
{
    return takeText(call(ToText, value));
}

double toNumber(const char* literal)
{
    return asDouble(call(ToNumber, text(literal)));
}

RuntimeValue dateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return makeDateTime(runtime::oleDateOf({year, month, day, hour, minute, second}));
}

TEST(ToText, NumbersInTheirOwnFormats)
{
    EXPECT_EQ(toText(makeByte(200)), "200");
    EXPECT_EQ(toText(makeShort(-32768)), "-32768");
    EXPECT_EQ(toText(makeInt(-7)), "-7");
    EXPECT_EQ(toText(makeInt64(9007199254740993LL)), "9007199254740993");
    EXPECT_EQ(toText(makeDouble(12.5)), "12.5");
    EXPECT_EQ(toText(makeDouble(3.0)), "3");
    EXPECT_EQ(toText(makeDouble(0.1 + 0.2)), "0.3");
    EXPECT_EQ(toText(makeDouble(1e20)), "1e+20");
    EXPECT_EQ(toText(makeDouble(-0.000012345)), "-1.2345e-05");
    EXPECT_EQ(toText(makeFloat(0.1f)), "0.1");
    EXPECT_EQ(toText(makeFloat(1234567.0f)), "1.23457e+06");
}

TEST(ToText, BoolTextAndByteSet)
{
    EXPECT_EQ(toText(makeBool(true)), "真");
    EXPECT_EQ(toText(makeBool(false)), "假");
    EXPECT_EQ(toText(text("相册 1")), "相册 1");
    EXPECT_EQ(asPointer(call(ToText, text(""))), nullptr);
    EXPECT_EQ(asPointer(call(ToText, absent())), nullptr);

    const char bytes[] = {'a', 'b', '\0', 'c'};
    void* block = runtime::newByteSetBlock(bytes, sizeof bytes);
    EXPECT_EQ(toText(makePointer(TypeCode::ByteSet, block)), "ab");
    runtime::freeBlock(block);
}

TEST(ToText, DateTimeShowsTheTimeDownToItsLastNonZeroPart)
{
    EXPECT_EQ(toText(dateTime(2010, 4, 6)), "2010年4月6日");
    EXPECT_EQ(toText(dateTime(2010, 4, 6, 9)), "2010年4月6日9时");
    EXPECT_EQ(toText(dateTime(2010, 4, 6, 0, 5)), "2010年4月6日0时5分");
    EXPECT_EQ(toText(dateTime(2010, 4, 6, 9, 0, 3)), "2010年4月6日9时0分3秒");
    EXPECT_EQ(toText(dateTime(2010, 4, 6, 23, 59, 59)), "2010年4月6日23时59分59秒");
}

TEST(ToNumber, FullWidthCharactersReadAsTheirAsciiForms)
{
    EXPECT_EQ(toNumber("１２３"), 123.0);
    EXPECT_EQ(toNumber("－１２．５"), -12.5);
    EXPECT_EQ(toNumber("\xE3\x80\x80 ４２"), 42.0);  // ideographic space, then a plain one
    EXPECT_EQ(toNumber("１ｅ３"), 1000.0);
    EXPECT_EQ(toNumber("１２３毫米"), 123.0);
}

TEST(ToNumber, DecimalPrefixOrZero)
{
    EXPECT_EQ(toNumber("abc"), 0.0);
    EXPECT_EQ(toNumber(""), 0.0);
    EXPECT_EQ(toNumber("-"), 0.0);
    EXPECT_EQ(toNumber(".e5"), 0.0);
    EXPECT_EQ(toNumber("  +7"), 7.0);
    EXPECT_EQ(toNumber("\t-1.5e3mm"), -1500.0);
    EXPECT_EQ(toNumber(".5"), 0.5);
    EXPECT_EQ(toNumber("5."), 5.0);
    EXPECT_EQ(toNumber("2e"), 2.0);
    EXPECT_EQ(toNumber("2e+x"), 2.0);
    EXPECT_EQ(toNumber("0x10"), 0.0);
    EXPECT_EQ(toNumber("inf"), 0.0);
    EXPECT_EQ(toNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(toNumber("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(toNumber("1e-400"), 0.0);
    EXPECT_EQ(toNumber("0.1"), 0.1);
}

TEST(ToNumber, NumbersConvertExactly)
{
    EXPECT_EQ(asDouble(call(ToNumber, makeInt64(-9007199254740992LL))), -9007199254740992.0);
    EXPECT_EQ(asDouble(call(ToNumber, makeByte(255))), 255.0);
    EXPECT_EQ(asDouble(call(ToNumber, makeFloat(0.5f))), 0.5);
    EXPECT_EQ(asDouble(call(ToNumber, makeBool(true))), 1.0);
    EXPECT_EQ(call(ToNumber, makeInt(1)).type, static_cast<std::uint32_t>(TypeCode::Double));
}

TEST(CoreCommandTable, FindsCommandsByExactName)
{
    EXPECT_EQ(runtime::findCoreCommand("ReplaceAll"), &ReplaceAll);
    EXPECT_EQ(runtime::findCoreCommand("SpecialFolder"), &SpecialFolder);
    EXPECT_NE(runtime::findCoreCommand("BrowseForFolder"), nullptr);
    EXPECT_NE(runtime::findCoreCommand("WriteNewFile"), nullptr);
    EXPECT_NE(runtime::findCoreCommand("FolderAsDrivePath"), nullptr);
    EXPECT_EQ(runtime::findCoreCommand("replaceall"), nullptr);
    std::size_t count = 0;
    for (const auto table : runtime::coreCommandTables())
        count += table.size();
    // The application's 40 and the six console commands of a job run from the command line.
    EXPECT_EQ(count, 46u);
}

}  // namespace
}  // namespace quillora
