// The one check of a layout (OK, the live preview and a batch use it): every length and count of
// the record bounded, at its boundaries, below and above them, and for the numbers a box turns
// huge, negative or non-numeric text into (the 32-bit ends). A layout the check passes divides
// into cells of at least one unit on the printer and the export canvas.
#include "pages/page_model.h"
#include "pagesetup/layout_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace quillora::app {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// The first opening's boxes as OK stores them: A4, margins 20/18/5/15 mm, header 11 mm, footer
// 14 mm, 5 × 5, spacings 10 and caption gap 2 (0.1 mm).
PrintSettings firstOpening()
{
    PrintSettings settings;
    settings.paperWidth = 2100;
    settings.paperHeight = 2970;
    settings.marginTop = 200;
    settings.marginBottom = 180;
    settings.marginLeft = 50;
    settings.marginRight = 150;
    settings.headerOffset = 110;
    settings.footerOffset = 140;
    settings.rows = 5;
    settings.columns = 5;
    settings.rowSpacing = 10;
    settings.columnSpacing = 10;
    settings.captionGap = 2;
    return settings;
}

constexpr char kCounts[] = "每页的行数和列数都必须在1到100之间，请重新输入。";
constexpr char kPaper[] = "纸张的宽度和高度都必须在1到2000毫米之间，请重新设置纸张。";
constexpr char kNegativeMargin[] = "页边距不能是负数：上、下、左、右边距都必须大于或等于0毫米，请重新输入。";
constexpr char kSides[] = "左边距与右边距之和必须小于页面宽度210毫米，请减小左边距或右边距。";
constexpr char kTopAndBottom[] = "上边距与下边距之和必须小于页面高度297毫米，请减小上边距或下边距。";
constexpr char kOffsets[] = "页眉距顶端和页脚距底端都必须在0到页面高度297毫米之间，请重新输入。";
constexpr char kSpacings[] = "行间距和列间距都必须在0到20000之间（单位0.1毫米），请重新输入。";
constexpr char kCaptionGap[] = "文字距图片必须在0到20000之间（单位0.1毫米），请重新输入。";

TEST(LayoutCheck, TheFirstOpeningPrints)
{
    EXPECT_EQ(layoutProblem(firstOpening()), "");
}

struct Case {
    const char* name;
    void (*change)(PrintSettings&);
    const char* message;  // "" when the layout prints
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class LayoutCheckCase : public testing::TestWithParam<Case> {};

TEST_P(LayoutCheckCase, GivesItsMessage)
{
    PrintSettings settings = firstOpening();
    GetParam().change(settings);
    EXPECT_EQ(layoutProblem(settings), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, LayoutCheckCase, testing::Values(
    // Margins: 0 is fine, below it is not, whatever the other side leaves.
    Case{"NoMargins", [](PrintSettings& s) { s.marginTop = s.marginBottom = s.marginLeft = s.marginRight = 0; }, ""},
    Case{"NegativeTop", [](PrintSettings& s) { s.marginTop = -1; }, kNegativeMargin},
    Case{"NegativeBottom", [](PrintSettings& s) { s.marginBottom = -100; }, kNegativeMargin},
    Case{"NegativeLeftWithAWideRight", [](PrintSettings& s) { s.marginLeft = -500; s.marginRight = 600; },
         kNegativeMargin},
    Case{"MostNegativeRight", [](PrintSettings& s) { s.marginRight = kMin; }, kNegativeMargin},
    Case{"HugeLeft", [](PrintSettings& s) { s.marginLeft = kMax; }, kSides},
    Case{"HugeTopAndBottom", [](PrintSettings& s) { s.marginTop = kMax; s.marginBottom = kMax; }, kTopAndBottom},
    // Header and footer distances: 0 to the page's height.
    Case{"HeaderAtTheTop", [](PrintSettings& s) { s.headerOffset = 0; }, ""},
    Case{"FooterAtTheTop", [](PrintSettings& s) { s.footerOffset = 2970; }, ""},
    Case{"HeaderAboveThePaper", [](PrintSettings& s) { s.headerOffset = -1; }, kOffsets},
    Case{"HeaderBelowThePaper", [](PrintSettings& s) { s.headerOffset = 2971; }, kOffsets},
    Case{"HugeFooter", [](PrintSettings& s) { s.footerOffset = kMax; }, kOffsets},
    Case{"MostNegativeFooter", [](PrintSettings& s) { s.footerOffset = kMin; }, kOffsets},
    Case{"LandscapeHeaderWithinThePapersWidth",
         [](PrintSettings& s) { s.orientation = 1; s.headerOffset = 2100; s.marginTop = 100; s.marginBottom = 100; }, ""},
    Case{"LandscapeHeaderPastThePapersWidth",
         [](PrintSettings& s) { s.orientation = 1; s.headerOffset = 2101; s.marginTop = 100; s.marginBottom = 100; },
         "页眉距顶端和页脚距底端都必须在0到页面高度210毫米之间，请重新输入。"},
    // Spacings and the caption gap: 0 to 20000 tenths.
    Case{"NoSpacings", [](PrintSettings& s) { s.rowSpacing = s.columnSpacing = 0; }, ""},
    Case{"NegativeRowSpacing", [](PrintSettings& s) { s.rowSpacing = -1; }, kSpacings},
    Case{"NegativeColumnSpacing", [](PrintSettings& s) { s.columnSpacing = -10; }, kSpacings},
    // A typed 99999999999 is stored as the 32-bit end.
    Case{"HugeColumnSpacing", [](PrintSettings& s) { s.columns = 3; s.columnSpacing = kMax; }, kSpacings},
    Case{"MostNegativeRowSpacing", [](PrintSettings& s) { s.rowSpacing = kMin; }, kSpacings},
    Case{"LongestSpacingsWithOneCell",
         [](PrintSettings& s) { s.rows = s.columns = 1; s.rowSpacing = s.columnSpacing = 20000; }, ""},
    Case{"SpacingPastTheLongest", [](PrintSettings& s) { s.rows = 1; s.rowSpacing = 20001; }, kSpacings},
    Case{"NoCaptionGap", [](PrintSettings& s) { s.captionGap = 0; }, ""},
    Case{"LongestCaptionGap", [](PrintSettings& s) { s.captionGap = 20000; }, ""},
    Case{"NegativeCaptionGap", [](PrintSettings& s) { s.captionGap = -1; }, kCaptionGap},
    Case{"HugeCaptionGap", [](PrintSettings& s) { s.captionGap = kMax; }, kCaptionGap},
    // Cells keep 0.1 mm: 3 columns on 190 mm take two spacings of at most (1900 - 3) / 2 = 948.
    Case{"WidestColumnSpacing", [](PrintSettings& s) { s.columns = 3; s.columnSpacing = 948; }, ""},
    Case{"ColumnSpacingOneTooWide", [](PrintSettings& s) { s.columns = 3; s.columnSpacing = 949; },
         "列间距太大：每页3列时，列间距必须在0到948之间（单位0.1毫米），请减小列间距或列数。"},
    // 5 rows on 259 mm: four spacings of at most (2590 - 5) / 4 = 646.
    Case{"WidestRowSpacing", [](PrintSettings& s) { s.rowSpacing = 646; }, ""},
    Case{"RowSpacingOneTooWide", [](PrintSettings& s) { s.rowSpacing = 647; },
         "行间距太大：每页5行时，行间距必须在0到646之间（单位0.1毫米），请减小行间距或行数。"},
    Case{"MoreColumnsThanTenths",
         [](PrintSettings& s) { s.columns = 100; s.columnSpacing = 0; s.marginLeft = 1000; s.marginRight = 1050; },
         "每页100列放不下：页面宽度减去左右边距后只剩5毫米，每列至少要0.1毫米，请减少列数或减小左右边距。"},
    Case{"MoreRowsThanTenths",
         [](PrintSettings& s) { s.rows = 100; s.rowSpacing = 0; s.marginTop = 2900; s.marginBottom = 5; },
         "每页100行放不下：页面高度减去上下边距后只剩6.5毫米，每行至少要0.1毫米，请减少行数或减小上下边距。"},
    Case{"HundredByHundredOnTheSmallestRoom",
         [](PrintSettings& s) {
             s.rows = s.columns = 100;
             s.rowSpacing = s.columnSpacing = 0;
             s.paperWidth = s.paperHeight = 100;
             s.marginTop = s.marginBottom = s.marginLeft = s.marginRight = 0;
             s.headerOffset = s.footerOffset = 0;
         },
         ""},
    // The checks that were there before keep their order and words.
    Case{"CountsBeforePaper", [](PrintSettings& s) { s.rows = 0; s.paperWidth = 0; }, kCounts},
    Case{"PaperBeforeMargins", [](PrintSettings& s) { s.paperWidth = kMax; s.marginLeft = -1; }, kPaper},
    Case{"MostNegativePaper", [](PrintSettings& s) { s.paperHeight = kMin; }, kPaper},
    Case{"HugeCounts", [](PrintSettings& s) { s.rows = kMax; s.columns = kMax; }, kCounts}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Every field of the layout, one at a time, at the ends a box's number can reach.
struct Field {
    const char* name;
    std::int32_t PrintSettings::*member;
};

const std::vector<Field>& layoutFields()
{
    static const std::vector<Field> fields = {
        {"paperWidth", &PrintSettings::paperWidth},       {"paperHeight", &PrintSettings::paperHeight},
        {"marginTop", &PrintSettings::marginTop},         {"marginBottom", &PrintSettings::marginBottom},
        {"marginLeft", &PrintSettings::marginLeft},       {"marginRight", &PrintSettings::marginRight},
        {"headerOffset", &PrintSettings::headerOffset},   {"footerOffset", &PrintSettings::footerOffset},
        {"rows", &PrintSettings::rows},                   {"columns", &PrintSettings::columns},
        {"rowSpacing", &PrintSettings::rowSpacing},       {"columnSpacing", &PrintSettings::columnSpacing},
        {"captionGap", &PrintSettings::captionGap},
    };
    return fields;
}

TEST(LayoutCheck, EveryFieldAtEitherEndOfThirtyTwoBitsIsRefused)
{
    for (const Field& field : layoutFields())
        for (const std::int32_t value : {kMin, kMin + 1, -1000000, -1, kMax - 1, kMax}) {
            for (const std::int32_t orientation : {0, 1}) {
                PrintSettings settings = firstOpening();
                settings.orientation = orientation;
                settings.*field.member = value;
                EXPECT_NE(layoutProblem(settings), "") << field.name << " = " << value;
            }
        }
}

// What a layout the check passes gives the page model: on the export canvas and on the printer
// (both in 0.1 mm) every cell is at least one unit across and down, and every picture box lies on
// the page. Random layouts mixing ordinary values with the ends of every range.
TEST(LayoutCheck, ALayoutThatPassesHasRoomForEveryCell)
{
    std::mt19937 random(20240617);
    const std::vector<std::int32_t> special = {kMin, -1, 0, 1, 2, 9, 10, 99, 100, 101, 948, 949, 19999, 20000, 20001, kMax};
    const auto pick = [&](std::int32_t low, std::int32_t high) {
        if (random() % 3 == 0)
            return special[random() % special.size()];
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    int passed = 0;
    for (int round = 0; round < 50000; ++round) {
        PrintSettings s;
        s.orientation = static_cast<std::int32_t>(random() % 2);
        s.paperWidth = pick(1, 20000);
        s.paperHeight = pick(1, 20000);
        s.marginTop = pick(0, 3000);
        s.marginBottom = pick(0, 3000);
        s.marginLeft = pick(0, 3000);
        s.marginRight = pick(0, 3000);
        s.headerOffset = pick(0, 3000);
        s.footerOffset = pick(0, 3000);
        s.rows = pick(1, 100);
        s.columns = pick(1, 100);
        s.rowSpacing = pick(0, 300);
        s.columnSpacing = pick(0, 300);
        s.captionGap = pick(0, 100);
        if (!layoutProblem(s).empty())
            continue;
        ++passed;
        const bool landscape = s.orientation == 1;
        const std::int32_t pageWidth = landscape ? s.paperHeight : s.paperWidth;
        const std::int32_t pageHeight = landscape ? s.paperWidth : s.paperHeight;
        const PageInput input{pageWidth,   pageHeight, s.marginTop,  s.marginBottom,   s.marginLeft,    s.marginRight,
                              s.rows,      s.columns,  s.rowSpacing, s.columnSpacing, s.captionGap, 0};
        for (const PageRules& rules : {exportRules(), printerRules()}) {
            const PageLayout layout = computePageLayout(input, rules);
            ASSERT_TRUE(layout.hasRoom()) << round;
            const PictureRect last = layout.pictureBox(s.rows - 1, s.columns - 1);
            const std::int32_t originX = rules.originAtMargins ? 0 : s.marginLeft;
            const std::int32_t originY = rules.originAtMargins ? 0 : s.marginTop;
            EXPECT_LE(originX + last.x + last.width, pageWidth - s.marginRight) << round;
            EXPECT_LE(originY + last.y + last.height, pageHeight - s.marginBottom) << round;
            EXPECT_GE(last.width, 1) << round;
        }
    }
    EXPECT_GT(passed, 1000);
}

}  // namespace
}  // namespace quillora::app
