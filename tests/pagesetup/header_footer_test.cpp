// Header and footer lines: the placeholders a user types and where the line lands on the page,
// on a surface that measures every byte as 10 units wide.
#include "pages/header_footer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <string>
#include <vector>

namespace quillora::app {
namespace {

class MeasuringSurface : public PageSurface {
public:
    std::vector<std::string> calls;

    void setFont(const FontSpec&, std::int32_t) override { calls.push_back("setFont"); }
    std::int32_t textWidth(const std::string& text) override
    {
        calls.push_back("textWidth " + text);
        return static_cast<std::int32_t>(text.size()) * 10;
    }
    std::int32_t textHeight(const std::string&) override
    {
        calls.push_back("textHeight");
        return 12;
    }
    void writeText(std::int32_t, std::int32_t, const std::string&) override { calls.push_back("writeText"); }
    std::int32_t pictureWidth(std::int32_t) override { return 0; }
    std::int32_t pictureHeight(std::int32_t) override { return 0; }
    void drawPicture(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void drawPicturePart(std::int32_t, const PictureRect&, const PictureRect&) override {}
};

class HeaderFooterTest : public testing::Test {
protected:
    // A 210 × 297 page with margins 5 and 15, header 11 below the top, footer 14 above the bottom.
    PlacedLine header(const std::string& text, std::int32_t page = 1, std::int32_t total = 1)
    {
        return PlaceHeaderFooter(surface, LineKind::Header, {text, {}, align, 11}, kPage, {page, total});
    }
    PlacedLine footer(const std::string& text, std::int32_t page = 1, std::int32_t total = 1)
    {
        return PlaceHeaderFooter(surface, LineKind::Footer, {text, {}, align, 14}, kPage, {page, total});
    }

    static constexpr LineFrame kPage{210, 297, 5, 15};
    MeasuringSurface surface;
    std::int32_t align = 0;
};

struct Substitution {
    const char* text;
    std::int32_t page;
    std::int32_t total;
    const char* expected;
};

void PrintTo(const Substitution& row, std::ostream* out)
{
    *out << row.text << " on page " << row.page << " of " << row.total;
}

class PlaceholderTest : public HeaderFooterTest, public testing::WithParamInterface<Substitution> {};

TEST_P(PlaceholderTest, ReplacesEveryOccurrenceIgnoringLetterCase)
{
    const Substitution& row = GetParam();
    EXPECT_EQ(footer(row.text, row.page, row.total).text, row.expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, PlaceholderTest, testing::Values(
    Substitution{"第&p页 共&A页", 2, 5, "第2页 共5页"},
    Substitution{"第&P页 共&a页", 1, 1, "第1页 共1页"},
    // The ampersand before a placeholder stays.
    Substitution{"&&P", 3, 5, "&3"},
    Substitution{"&p/&p/&P", 7, 9, "7/7/7"},
    // A category holding "&p" was put in before the page step, so it gets the number too.
    Substitution{"旅行&p相册 &p", 4, 6, "旅行4相册 4"},
    Substitution{"12 & 13", 2, 2, "12 & 13"},
    Substitution{"第&P页", 12345, 99999, "第12345页"}));

TEST_F(HeaderFooterTest, DatePartsComeFromTheClockWithoutLeadingZeros)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const PlacedLine line = header("&Y年&m月&d日");
    EXPECT_EQ(line.text, std::to_string(local.tm_year + 1900) + "年" + std::to_string(local.tm_mon + 1) + "月"
                             + std::to_string(local.tm_mday) + "日");

    const std::string time = header("&H:&f:&S").text;
    const auto first = time.find(':');
    const auto second = time.find(':', first + 1);
    ASSERT_NE(second, std::string::npos) << time;
    const int hour = std::stoi(time.substr(0, first));
    const int minute = std::stoi(time.substr(first + 1, second - first - 1));
    const int secondOfMinute = std::stoi(time.substr(second + 1));
    EXPECT_TRUE(hour >= 0 && hour <= 23) << time;
    EXPECT_TRUE(minute >= 0 && minute <= 59) << time;
    EXPECT_TRUE(secondOfMinute >= 0 && secondOfMinute <= 60) << time;
    EXPECT_EQ(time.find("&"), std::string::npos);
    // Numbers carry no leading zeros (hour 0 is written "0", minute 5 "5").
    EXPECT_EQ(time, std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(secondOfMinute));
}

struct Alignment {
    std::int32_t align;
    const char* text;
    std::int32_t x;
};

void PrintTo(const Alignment& row, std::ostream* out)
{
    *out << "alignment " << row.align << " of " << row.text;
}

class AlignmentTest : public HeaderFooterTest, public testing::WithParamInterface<Alignment> {};

TEST_P(AlignmentTest, PlacesTheLineBetweenTheMargins)
{
    const Alignment& row = GetParam();
    align = row.align;
    EXPECT_EQ(header(row.text).x, row.x);
    EXPECT_EQ(footer(row.text).x, row.x);
}

// The text "abcd" is 40 wide; the space between the margins runs from 5 to 195.
INSTANTIATE_TEST_SUITE_P(Alignments, AlignmentTest, testing::Values(
    Alignment{0, "abcd", 5},
    Alignment{1, "abcd", 80},        // 5 + (210 - 5 - 15 - 40) / 2
    Alignment{2, "abcd", 155},       // 210 - 15 - 40
    Alignment{7, "abcd", 80},        // any other value centres
    Alignment{1, "abc", 85},         // 5 + 80 / 2 ... 160 / 2 = 80, plus 5
    Alignment{1, "abcde", 75},       // (190 - 50) / 2 = 70, plus 5
    // Wider than the space: right-aligned it starts left of the left margin, centred it
    // overhangs both margins alike (truncated toward zero).
    Alignment{2, "0123456789012345678901", -25},  // 220 wide: 210 - 15 - 220
    Alignment{1, "0123456789012345678901", -10},  // 5 + (190 - 220) / 2
    Alignment{0, "0123456789012345678901", 5}));

TEST_F(HeaderFooterTest, OddSpaceIsTruncatedTowardZero)
{
    const PageLine centred{"abc", {}, 1, 14};
    // 5 + (210 - 5 - 16 - 30) / 2 = 84.5 becomes 84.
    EXPECT_EQ(PlaceHeaderFooter(surface, LineKind::Footer, centred, {210, 297, 5, 16}, {}).x, 84);
    // 0 + (10 - 0 - 1 - 30) / 2 = -10.5 becomes -10.
    EXPECT_EQ(PlaceHeaderFooter(surface, LineKind::Footer, centred, {10, 297, 0, 1}, {}).x, -10);
}

TEST_F(HeaderFooterTest, HeaderHangsFromItsOffsetAndFooterRisesFromTheBottom)
{
    EXPECT_EQ(header("x").y, 11);
    EXPECT_EQ(footer("x").y, 297 - 14);
    // The printer's margin box: offsets less the margins, which may put the line above the box.
    const LineFrame marginBox{1900, 2590, 0, 0};
    EXPECT_EQ(PlaceHeaderFooter(surface, LineKind::Header, {"x", {}, 0, 110 - 200}, marginBox, {}).y, -90);
    EXPECT_EQ(PlaceHeaderFooter(surface, LineKind::Footer, {"x", {}, 0, 140 - 180}, marginBox, {}).y, 2630);
}

TEST_F(HeaderFooterTest, TheSubstitutedTextIsWhatIsMeasured)
{
    align = 2;
    const PlacedLine line = header("第&P页", 12, 20);
    EXPECT_EQ(surface.calls, std::vector<std::string>{"textWidth 第12页"});
    EXPECT_EQ(line.x, 210 - 15 - static_cast<std::int32_t>(std::string("第12页").size()) * 10);
}

TEST_F(HeaderFooterTest, AnEmptyTextTouchesNothing)
{
    align = 2;
    const PlacedLine line = header("");
    EXPECT_EQ(line.text, "");
    EXPECT_TRUE(surface.calls.empty());
    EXPECT_TRUE(footer("").text.empty());
    EXPECT_TRUE(surface.calls.empty());
}

}  // namespace
}  // namespace quillora::app
