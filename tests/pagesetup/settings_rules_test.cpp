// The rules the settings window applies to what is typed into it: numbers read from boxes and
// written back, the copies, the layouts OK refuses, and the text arrays the printer lists come in.
#include "common/number_text.h"
#include "common/runtime_calls.h"
#include "common/text_array.h"
#include "pagesetup/settings_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <ostream>

namespace quillora::app {
namespace {

using settings_window::layoutProblem;

TEST(NumberText, BoxesReadAsDecimalNumbersAndOtherTextAsZero)
{
    EXPECT_DOUBLE_EQ(numberOfText("210.56"), 210.56);
    EXPECT_DOUBLE_EQ(numberOfText(" -3"), -3);
    EXPECT_DOUBLE_EQ(numberOfText("abc"), 0);
    EXPECT_DOUBLE_EQ(numberOfText(""), 0);
    EXPECT_DOUBLE_EQ(numberOfText("２１０"), 210);
}

TEST(NumberText, TruncationGoesTowardZeroAndSaturates)
{
    EXPECT_EQ(truncateToInt(2105.6), 2105);
    EXPECT_EQ(truncateToInt(-2105.6), -2105);
    EXPECT_EQ(truncateToInt(1e300), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(truncateToInt(-1e300), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    // A typed tenth survives the multiplication by ten.
    EXPECT_EQ(truncateToInt(numberOfText("20.3") * 10), 203);
}

TEST(NumberText, TenthsShowAsMillimetresWithoutTrailingZeros)
{
    EXPECT_EQ(millimetreText(2100), "210");
    EXPECT_EQ(millimetreText(2105), "210.5");
    EXPECT_EQ(millimetreText(2971), "297.1");
    EXPECT_EQ(millimetreText(0), "0");
    EXPECT_EQ(millimetreText(-55), "-5.5");
}

struct Copies {
    const char* text;
    std::int32_t copies;
};

void PrintTo(const Copies& row, std::ostream* out)
{
    *out << '"' << row.text << '"';
}

class CopiesTest : public testing::TestWithParam<Copies> {};

TEST_P(CopiesTest, TakeTheLeadingDigits)
{
    EXPECT_EQ(leadingInteger(GetParam().text), GetParam().copies);
}

INSTANTIATE_TEST_SUITE_P(Texts, CopiesTest, testing::Values(
    Copies{"1", 1}, Copies{"3份", 3}, Copies{"2.9", 2}, Copies{" +4", 4}, Copies{"-2", -2}, Copies{"", 0},
    Copies{"份", 0}, Copies{"-", 0}, Copies{"３", 3}, Copies{"１２x", 12},
    Copies{"99999999999999999999", std::numeric_limits<std::int32_t>::max()}));

PrintSettings printable()
{
    PrintSettings settings;
    settings.paperWidth = 2100;
    settings.paperHeight = 2970;
    settings.marginTop = 200;
    settings.marginBottom = 180;
    settings.marginLeft = 50;
    settings.marginRight = 150;
    settings.rows = 5;
    settings.columns = 5;
    return settings;
}

TEST(LayoutProblem, TheFirstOpeningsLayoutPrints)
{
    EXPECT_EQ(layoutProblem(printable()), "");
    PrintSettings edges = printable();
    edges.rows = 1;
    edges.columns = 100;
    edges.paperWidth = 100;  // 100 columns of 0.1 mm
    edges.paperHeight = 20000;
    edges.marginLeft = 0;
    edges.marginRight = 0;
    EXPECT_EQ(layoutProblem(edges), "");
    edges.columns = 1;
    edges.paperWidth = 10;
    edges.marginRight = 9;
    EXPECT_EQ(layoutProblem(edges), "");
}

struct Refusal {
    const char* name;
    void (*change)(PrintSettings&);
    const char* message;
};

void PrintTo(const Refusal& row, std::ostream* out)
{
    *out << row.name;
}

class RefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(RefusalTest, NamesTheValidRange)
{
    PrintSettings settings = printable();
    GetParam().change(settings);
    EXPECT_EQ(layoutProblem(settings), GetParam().message);
}

constexpr char kCounts[] = "每页的行数和列数都必须在1到100之间，请重新输入。";
constexpr char kPaper[] = "纸张的宽度和高度都必须在1到2000毫米之间，请重新设置纸张。";

INSTANTIATE_TEST_SUITE_P(Layouts, RefusalTest, testing::Values(
    Refusal{"NoRows", [](PrintSettings& s) { s.rows = 0; }, kCounts},
    Refusal{"NegativeColumns", [](PrintSettings& s) { s.columns = -1; }, kCounts},
    Refusal{"TooManyRows", [](PrintSettings& s) { s.rows = 101; }, kCounts},
    Refusal{"TooManyColumns", [](PrintSettings& s) { s.columns = 1000000; }, kCounts},
    Refusal{"NoWidth", [](PrintSettings& s) { s.paperWidth = 0; }, kPaper},
    Refusal{"NoHeight", [](PrintSettings& s) { s.paperHeight = 0; }, kPaper},
    Refusal{"NegativeWidth", [](PrintSettings& s) { s.paperWidth = -2100; }, kPaper},
    Refusal{"HugePaper", [](PrintSettings& s) { s.paperHeight = 20001; }, kPaper},
    Refusal{"SidesFillTheWidth", [](PrintSettings& s) { s.marginLeft = 1000; s.marginRight = 1100; },
            "左边距与右边距之和必须小于页面宽度210毫米，请减小左边距或右边距。"},
    Refusal{"TopAndBottomPassTheHeight", [](PrintSettings& s) { s.marginTop = 3000; },
            "上边距与下边距之和必须小于页面高度297毫米，请减小上边距或下边距。"},
    // In landscape the page is as wide as the paper is high.
    Refusal{"LandscapeHeight", [](PrintSettings& s) { s.orientation = 1; s.marginTop = 1000; s.marginBottom = 1100; },
            "上边距与下边距之和必须小于页面高度210毫米，请减小上边距或下边距。"},
    Refusal{"MarginsThatWouldOverflow",
            [](PrintSettings& s) { s.marginLeft = std::numeric_limits<std::int32_t>::max(); s.marginRight = 10; },
            "左边距与右边距之和必须小于页面宽度210毫米，请减小左边距或右边距。"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(LayoutProblem, LandscapeAllowsSidesUpToThePapersHeight)
{
    PrintSettings settings = printable();
    settings.orientation = 1;
    settings.marginLeft = 1000;
    settings.marginRight = 1100;  // 210 mm of sides on a 297 mm wide page
    EXPECT_EQ(layoutProblem(settings), "");
}

// Builds a text array block as the runtime hands one back.
void* textArrayBlock(const std::vector<std::string>& texts, std::uint32_t dimensions = 1)
{
    const std::uint32_t count = static_cast<std::uint32_t>(texts.size());
    auto* block = static_cast<std::uint8_t*>(runtime().AllocateBlock(8 + 8 * static_cast<std::int64_t>(count)));
    std::memcpy(block, &dimensions, 4);
    std::memcpy(block + 4, &count, 4);
    for (std::uint32_t index = 0; index < count; ++index) {
        void* text = runtime().AllocateBlock(static_cast<std::int64_t>(texts[index].size()) + 1);
        std::memcpy(text, texts[index].c_str(), texts[index].size() + 1);
        std::memcpy(block + 8 + 8 * index, &text, sizeof text);
    }
    return block;
}

TEST(TextArray, GivesTheTextsInTheirOrder)
{
    const std::vector<std::string> printers = {"VirtualA4", "", "PDF 打印机"};
    EXPECT_EQ(takeTextArray(makePointer(TypeCode::Text, textArrayBlock(printers))), printers);
    EXPECT_TRUE(takeTextArray(makePointer(TypeCode::Text, textArrayBlock({}))).empty());
}

TEST(TextArray, NoBlockOrAnotherShapeIsTheEmptyList)
{
    EXPECT_TRUE(takeTextArray(RuntimeValue{}).empty());
    // A block of two dimensions is not a list of texts; it is freed unread.
    void* block = runtime().AllocateBlock(16);
    const std::uint32_t header[4] = {2, 1, 1, 0};
    std::memcpy(block, header, sizeof header);
    EXPECT_TRUE(takeTextArray(makePointer(TypeCode::Text, block)).empty());
}

}  // namespace
}  // namespace quillora::app
