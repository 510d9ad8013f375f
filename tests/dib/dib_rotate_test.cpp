#include "runtime/picture/dib_bitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "dib_test_files.h"

namespace quillora::runtime::test {
namespace {

// A 24-bit bitmap whose every pixel has its own colour: red = x, green = y.
DibBitmap numbered(std::int32_t width, std::int32_t height)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    for (std::int32_t y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row;
        for (std::int32_t x = 0; x < width; ++x)
            row.insert(row.end(), {0x80, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x)});
        spec.rows.push_back(row);
    }
    DibBitmap bitmap;
    EXPECT_TRUE(bitmap.loadFromData(makeBmp(spec)));
    return bitmap;
}

std::uint32_t numberedColour(std::int32_t x, std::int32_t y)
{
    return 0x800000u | (static_cast<std::uint32_t>(y) << 8) | static_cast<std::uint32_t>(x);
}

struct RightAngle {
    double degrees;
    bool swapsSides;
    // Source pixel shown at target x, y of a W x H source.
    std::function<std::pair<int, int>(int x, int y, int w, int h)> source;
};

class DibRightAngles : public testing::TestWithParam<RightAngle> {};

// Right-angle turns move every pixel and lose none, whatever the sides' parity.
TEST_P(DibRightAngles, AreExactPermutations)
{
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{4, 2}, {3, 3}, {5, 1}, {2, 7}}) {
        DibBitmap source = numbered(width, height);
        DibBitmap turned = source.rotate(GetParam().degrees, 0x123456);
        ASSERT_FALSE(turned.empty()) << turned.lastError();
        const int turnedWidth = GetParam().swapsSides ? height : width;
        const int turnedHeight = GetParam().swapsSides ? width : height;
        ASSERT_EQ(turned.width(), turnedWidth) << width << "x" << height;
        ASSERT_EQ(turned.height(), turnedHeight) << width << "x" << height;
        for (int y = 0; y < turnedHeight; ++y) {
            for (int x = 0; x < turnedWidth; ++x) {
                const auto [sourceX, sourceY] = GetParam().source(x, y, width, height);
                EXPECT_EQ(turned.pixel(x, y), numberedColour(sourceX, sourceY))
                    << width << "x" << height << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(source.width(), width);  // the source is unchanged
    }
}

INSTANTIATE_TEST_SUITE_P(
    Turns, DibRightAngles,
    testing::Values(
        // Clockwise: the source's top row becomes the right-hand column.
        RightAngle{90.0, true, [](int x, int y, int, int h) { return std::pair{y, h - 1 - x}; }},
        RightAngle{180.0, false, [](int x, int y, int w, int h) { return std::pair{w - 1 - x, h - 1 - y}; }},
        RightAngle{270.0, true, [](int x, int y, int w, int) { return std::pair{w - 1 - y, x}; }},
        RightAngle{-90.0, true, [](int x, int y, int w, int) { return std::pair{w - 1 - y, x}; }},
        RightAngle{0.0, false, [](int x, int y, int, int) { return std::pair{x, y}; }},
        RightAngle{360.0, false, [](int x, int y, int, int) { return std::pair{x, y}; }}));

TEST(DibRotate, OddAngleSizeFromTruncatedCornersWithBackground)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.rows.assign(4, rgbRow({kRed, kRed, kRed, kRed}));
    DibBitmap source;
    ASSERT_TRUE(source.loadFromData(makeBmp(spec)));

    // Corners at 45 degrees: (2.83, 2.83), (-2.83, 2.83), (0, 5.66) truncate to a 4 x 5 box.
    DibBitmap turned = source.rotate(45.0, kBlue);
    ASSERT_EQ(turned.width(), 4);
    ASSERT_EQ(turned.height(), 5);
    EXPECT_EQ(turned.pixel(2, 2), kRed);
    EXPECT_EQ(turned.pixel(0, 0), kBlue);
    EXPECT_EQ(turned.pixel(3, 4), kBlue);

    // One pixel turned by 45 degrees truncates to nothing wide; it stays one pixel.
    DibBitmap dot = numbered(1, 1);
    DibBitmap turnedDot = dot.rotate(45.0, 0);
    EXPECT_EQ(turnedDot.width(), 1);
    EXPECT_EQ(turnedDot.height(), 1);
}

TEST(DibRotate, IndexedBitmapKeepsItsTableAndFillsWithTheNearestEntry)
{
    BmpSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.bitCount = 4;
    spec.coloursUsed = 3;
    spec.palette = {0, 0, 0, 0, 0, 0, 250, 0, 255, 0, 0, 0};  // black, almost red, blue
    spec.rows.assign(4, {0x22, 0x22});
    DibBitmap source;
    ASSERT_TRUE(source.loadFromData(makeBmp(spec)));

    DibBitmap turned = source.rotate(45.0, kRed);
    ASSERT_EQ(turned.width(), 4);
    EXPECT_EQ(turned.bitCount(), 4u);
    EXPECT_EQ(turned.pixel(2, 2), kBlue);
    EXPECT_EQ(turned.pixel(0, 0), 0x0000FAu);
    const std::span<const std::uint8_t> file = turned.data();
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 54, file.begin() + 66), spec.palette);
}

TEST(DibRotate, FailuresLeaveAnEmptyResultAndTheReasonOnBoth)
{
    DibBitmap empty;
    DibBitmap fromEmpty = empty.rotate(90.0, 0);
    EXPECT_TRUE(fromEmpty.empty());
    EXPECT_EQ(empty.lastError(), "位图尚未创建，没有可用数据");
    EXPECT_EQ(fromEmpty.lastError(), "位图尚未创建，没有可用数据");

    DibBitmap dot = numbered(1, 1);
    EXPECT_TRUE(dot.rotate(std::nan(""), 0).empty());
    EXPECT_EQ(dot.lastError(), "不被支持的位图数据或无法识别的文件格式");

    // 20000 x 1 at 32 bits is 80 KB, but its 45-degree bounding box is about 14142 pixels
    // square: 800 MB, past the pixel cap.
    BmpSpec thin;
    thin.width = 20000;
    thin.bitCount = 32;
    thin.rows = {std::vector<std::uint8_t>(20000 * 4, 0x55)};
    DibBitmap line;
    ASSERT_TRUE(line.loadFromData(makeBmp(thin)));
    DibBitmap turned = line.rotate(45.0, 0);
    EXPECT_TRUE(turned.empty());
    EXPECT_EQ(line.lastError(), "缓冲区无效或大小不够");
    EXPECT_EQ(line.width(), 20000);
}

}  // namespace
}  // namespace quillora::runtime::test
