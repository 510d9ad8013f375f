#include "command_test_support.h"
#include "quillora/core_commands.h"
#include "runtime/core/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace quillora {
namespace {

using namespace testing_support;

TEST(NumberCommands, IntDivideTruncatesTowardZeroAfterEachStep)
{
    EXPECT_EQ(asDouble(call(IntDivide, makeInt(7), makeInt(2))), 3.0);
    EXPECT_EQ(asDouble(call(IntDivide, makeInt(-7), makeInt(2))), -3.0);
    EXPECT_EQ(asDouble(call(IntDivide, makeInt(100), makeByte(3), makeDouble(2.0))), 16.0);
    EXPECT_EQ(asDouble(call(IntDivide, makeFloat(7.5f), makeShort(-2))), -3.0);
    EXPECT_EQ(asDouble(call(Remainder, makeInt(7), makeInt(3))), 1.0);
    EXPECT_EQ(asDouble(call(Remainder, makeInt(-7), makeInt(3))), -1.0);
    EXPECT_EQ(asDouble(call(Remainder, makeInt64(100), makeInt(7), makeInt(2))), 0.0);
    EXPECT_EQ(asDouble(call(SquareRoot, makeInt(16))), 4.0);
}

TEST(NumberCommandsDeathTest, DivisionByZeroEndsTheProgramWithItsReport)
{
    EXPECT_EXIT(call(IntDivide, makeInt(7), makeInt(2), makeDouble(0.0)), testing::ExitedWithCode(255),
                "错误信息：不能整除于零");
    EXPECT_EXIT(call(Remainder, makeInt(7), makeByte(0)), testing::ExitedWithCode(255),
                "错误信息：不能求余数于零");
}

TEST(NumberCommands, TickCountMovesForward)
{
    const auto first = static_cast<std::uint32_t>(asInt(call(TickCount)));
    const auto second = static_cast<std::uint32_t>(asInt(call(TickCount)));
    EXPECT_LT(second - first, 1000u);
}

struct Parts {
    int year, month, day, hour, minute, second;
};

Parts partsOf(double oleDate)
{
    const RuntimeValue date = makeDateTime(oleDate);
    return {asInt(call(YearOf, date)),   asInt(call(MonthOf, date)),  asInt(call(DayOf, date)),
            asInt(call(HourOf, date)),   asInt(call(MinuteOf, date)), asInt(call(SecondOf, date))};
}

void expectParts(double oleDate, Parts expected)
{
    const Parts parts = partsOf(oleDate);
    EXPECT_EQ(parts.year, expected.year) << oleDate;
    EXPECT_EQ(parts.month, expected.month) << oleDate;
    EXPECT_EQ(parts.day, expected.day) << oleDate;
    EXPECT_EQ(parts.hour, expected.hour) << oleDate;
    EXPECT_EQ(parts.minute, expected.minute) << oleDate;
    EXPECT_EQ(parts.second, expected.second) << oleDate;
}

TEST(DateCommands, PartsOfOleDates)
{
    expectParts(0.0, {1899, 12, 30, 0, 0, 0});
    expectParts(40274.0 + (9 * 3600 + 5 * 60 + 3) / 86400.0, {2010, 4, 6, 9, 5, 3});
    expectParts(36585.5, {2000, 2, 29, 12, 0, 0});
    expectParts(60.0, {1900, 2, 28, 0, 0, 0});
    expectParts(61.0, {1900, 3, 1, 0, 0, 0});
}

// Before day 0 the whole part names the day and the fraction still runs forward from its start.
TEST(DateCommands, NegativeDatesCountTheTimeForward)
{
    expectParts(-1.25, {1899, 12, 29, 6, 0, 0});
    expectParts(-0.5, {1899, 12, 30, 12, 0, 0});
    expectParts(-36522.75, {1800, 1, 1, 18, 0, 0});
    EXPECT_EQ(runtime::oleDateOf({1899, 12, 29, 6, 0, 0}), -1.25);
}

TEST(DateCommands, TimesRoundToTheNearestSecondAndDatesClamp)
{
    expectParts(0.999999, {1899, 12, 31, 0, 0, 0});
    expectParts(-1.999999, {1899, 12, 30, 0, 0, 0});
    expectParts(40274.0 + 3.4 / 86400.0, {2010, 4, 6, 0, 0, 3});
    expectParts(1e12, {9999, 12, 31, 0, 0, 0});
    expectParts(-1e12, {100, 1, 1, 0, 0, 0});
    expectParts(2958465.9999999, {9999, 12, 31, 0, 0, 0});
    EXPECT_EQ(runtime::calendarTimeOf(std::nan("")), (runtime::CalendarTime{100, 1, 1, 0, 0, 0}));
}

TEST(DateCommands, NowIsTheLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const RuntimeValue now = call(Now);
    EXPECT_EQ(now.type, static_cast<std::uint32_t>(TypeCode::DateTime));
    std::tm local{};
    localtime_r(&before, &local);
    const double expected = runtime::oleDateOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                                local.tm_min, local.tm_sec});
    EXPECT_NEAR(asDouble(now), expected, 2.0 / 86400.0);
}

}  // namespace
}  // namespace quillora
