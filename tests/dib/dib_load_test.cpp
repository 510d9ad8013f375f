#include "runtime/picture/dib_bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "dib_test_files.h"

namespace quillora::runtime::test {
namespace {

std::vector<std::uint8_t> bytesOf(std::span<const std::uint8_t> span)
{
    return {span.begin(), span.end()};
}

// Two rows of two pixels: the 6-byte rows need two bytes of padding each.
BmpSpec fourColours()
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.rows = {rgbRow({kRed, kGreen}), rgbRow({kBlue, kWhite})};
    return spec;
}

TEST(DibLoad, TwentyFourBitPixelsAndExactRoundTrip)
{
    const std::vector<std::uint8_t> file = makeBmp(fourColours());
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(file));
    EXPECT_EQ(bitmap.width(), 2);
    EXPECT_EQ(bitmap.height(), 2);
    EXPECT_EQ(bitmap.pixel(0, 0), kRed);
    EXPECT_EQ(bitmap.pixel(1, 0), kGreen);
    EXPECT_EQ(bitmap.pixel(0, 1), kBlue);
    EXPECT_EQ(bitmap.pixel(1, 1), kWhite);
    EXPECT_EQ(bytesOf(bitmap.data()), file);
    EXPECT_EQ(bitmap.lastError(), "");

    // Top-down rows are kept bottom-up like any other; bytes after the rows are not kept.
    BmpSpec topDown = fourColours();
    topDown.topDown = true;
    std::vector<std::uint8_t> topDownFile = makeBmp(topDown);
    topDownFile.insert(topDownFile.end(), {1, 2, 3});
    ASSERT_TRUE(bitmap.loadFromData(topDownFile));
    EXPECT_EQ(bitmap.pixel(0, 1), kBlue);
    EXPECT_EQ(bytesOf(bitmap.data()), file);
}

TEST(DibLoad, IndexedPixelsGoThroughTheColourTable)
{
    BmpSpec eight;
    eight.width = 3;
    eight.bitCount = 8;
    eight.coloursUsed = 3;
    eight.palette = {0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};  // black, red, blue
    eight.rows = {{2, 0, 1}};
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(eight)));
    EXPECT_EQ(bitmap.pixel(0, 0), kBlue);
    EXPECT_EQ(bitmap.pixel(1, 0), 0u);
    EXPECT_EQ(bitmap.pixel(2, 0), kRed);
    EXPECT_EQ(bitmap.data().size(), 54u + 12 + 4);

    // The leftmost pixel of a byte is its highest bit (or nibble); 9 pixels cross a byte.
    BmpSpec one;
    one.width = 9;
    one.bitCount = 1;
    one.palette = {0, 0, 0, 0, 255, 255, 255, 0};
    one.rows = {{0b10000001, 0b10000000}};
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(one)));
    EXPECT_EQ(bitmap.pixel(0, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(1, 0), 0u);
    EXPECT_EQ(bitmap.pixel(7, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(8, 0), kWhite);

    BmpSpec four;
    four.width = 3;
    four.bitCount = 4;
    four.palette.assign(16 * 4, 0);
    four.palette[5 * 4 + 1] = 255;  // entry 5 is green
    four.rows = {{0x50, 0x50}};
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(four)));
    EXPECT_EQ(bitmap.pixel(0, 0), kGreen);
    EXPECT_EQ(bitmap.pixel(1, 0), 0u);
    EXPECT_EQ(bitmap.pixel(2, 0), kGreen);
}

TEST(DibLoad, IndexPastAShortColourTableIsReportedNotRead)
{
    BmpSpec spec;
    spec.width = 2;
    spec.bitCount = 8;
    spec.coloursUsed = 1;
    spec.palette = {1, 2, 3, 0};
    spec.rows = {{0, 200}};
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(spec)));
    EXPECT_EQ(bitmap.pixel(0, 0), 0x010203u);
    EXPECT_EQ(bitmap.pixel(1, 0), std::nullopt);
    EXPECT_EQ(bitmap.lastError(), "颜色索引无效");
    EXPECT_EQ(bitmap.pixel(2, 0), std::nullopt);
    EXPECT_EQ(bitmap.lastError(), "像素点坐标越界");
}

TEST(DibLoad, SixteenAndThirtyTwoBitColours)
{
    BmpSpec sixteen;
    sixteen.width = 2;
    sixteen.bitCount = 16;
    sixteen.rows = {{0x00, 0x7C, 0x1F, 0x00}};  // 5-5-5: full red, full blue
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(sixteen)));
    EXPECT_EQ(bitmap.pixel(0, 0), 0x0000F8u);
    EXPECT_EQ(bitmap.pixel(1, 0), 0xF80000u);

    BmpSpec thirtyTwo;
    thirtyTwo.bitCount = 32;
    thirtyTwo.rows = {{0x10, 0x20, 0x30, 0xAA}};  // blue, green, red, unused
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(thirtyTwo)));
    EXPECT_EQ(bitmap.pixel(0, 0), 0x102030u);
}

TEST(DibLoad, CoreHeaderIsWidenedToTheFortyByteForm)
{
    BmpSpec core;
    core.width = 3;
    core.height = 2;
    core.bitCount = 1;
    core.coreHeader = true;
    core.palette = {0, 0, 255, 255, 0, 0};  // red, blue in three-byte entries
    core.rows = {{0b10100000}, {0b01000000}};
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(core)));

    BmpSpec wide = core;
    wide.coreHeader = false;
    wide.palette = {0, 0, 255, 0, 255, 0, 0, 0};
    EXPECT_EQ(bytesOf(bitmap.data()), makeBmp(wide));
    EXPECT_EQ(bitmap.pixel(0, 0), kBlue);
    EXPECT_EQ(bitmap.pixel(1, 0), kRed);
    EXPECT_EQ(bitmap.pixel(1, 1), kBlue);
}

TEST(DibLoad, ResolutionIsStampedInTheHeaderOfALoadedBitmapOnly)
{
    DibBitmap bitmap;
    EXPECT_TRUE(bitmap.data().empty());
    EXPECT_EQ(bitmap.lastError(), "位图尚未创建，没有可用数据");
    EXPECT_FALSE(bitmap.setHorizontalResolution(11811));
    EXPECT_EQ(bitmap.lastError(), "位图尚未创建，没有可用数据");
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(fourColours())));
    EXPECT_TRUE(bitmap.setHorizontalResolution(11811));
    EXPECT_TRUE(bitmap.setVerticalResolution(3937));
    EXPECT_EQ(bitmap.lastError(), "");

    std::vector<std::uint8_t> expected = makeBmp(fourColours());
    poke32(expected, 38, 11811);
    poke32(expected, 42, 3937);
    EXPECT_EQ(bytesOf(bitmap.data()), expected);
}

// Each case damages a valid file; every one must fail with the unsupported-data text and
// leave the object empty, even though it held a bitmap before.
struct DamagedFile {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
};

class DibRejects : public testing::TestWithParam<DamagedFile> {};

TEST_P(DibRejects, WithTheUnsupportedDataText)
{
    std::vector<std::uint8_t> file = makeBmp(fourColours());
    GetParam().damage(file);
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(fourColours())));
    EXPECT_FALSE(bitmap.loadFromData(file));
    EXPECT_EQ(bitmap.lastError(), "不被支持的位图数据或无法识别的文件格式");
    EXPECT_TRUE(bitmap.empty());
    EXPECT_TRUE(bitmap.data().empty());
}

void setBytes(std::vector<std::uint8_t>& file, std::vector<std::uint8_t> bytes) { file = std::move(bytes); }

INSTANTIATE_TEST_SUITE_P(
    HostileInput, DibRejects,
    testing::Values(
        DamagedFile{"Png", [](auto& f) { setBytes(f, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}); }},
        DamagedFile{"Jpeg", [](auto& f) { setBytes(f, {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}); }},
        DamagedFile{"Empty", [](auto& f) { f.clear(); }},
        DamagedFile{"FiveByteSignature", [](auto& f) { f.resize(5); }},
        DamagedFile{"RunLengthCompressed", [](auto& f) { poke32(f, 30, 1); }},
        DamagedFile{"VersionFourHeader", [](auto& f) { poke32(f, 14, 108); }},
        DamagedFile{"ZeroWidth", [](auto& f) { poke32(f, 18, 0); }},
        DamagedFile{"NegativeWidth", [](auto& f) { poke32(f, 18, static_cast<std::uint32_t>(-2)); }},
        DamagedFile{"SmallestHeight", [](auto& f) { poke32(f, 22, 0x80000000u); }},
        DamagedFile{"TwoPlanes", [](auto& f) { f[26] = 2; }},
        DamagedFile{"TwoBitPixels", [](auto& f) { f[28] = 2; }},
        DamagedFile{"PixelsOneByteShort", [](auto& f) { f.pop_back(); }},
        DamagedFile{"PixelOffsetInsideHeader", [](auto& f) { poke32(f, 10, 20); }},
        DamagedFile{"ForgedHugeSize", [](auto& f) { poke32(f, 18, 65535); poke32(f, 22, 65535); }},
        DamagedFile{"ForgedLargestSize", [](auto& f) { poke32(f, 18, 0x7FFFFFFF); poke32(f, 22, 0x7FFFFFFF); }},
        DamagedFile{"MoreColoursThanIndexes", [](auto& f) { f[28] = 1; poke32(f, 46, 3); }},
        DamagedFile{"ColourTablePastEnd", [](auto& f) { f[28] = 8; poke32(f, 46, 256); }},
        DamagedFile{"ForgedCoreHeader", [](auto& f) {
            BmpSpec core;
            core.coreHeader = true;
            core.rows = {rgbRow({kRed})};
            f = makeBmp(core);
            f[18] = f[19] = f[20] = f[21] = 0xFF;  // 65535 x 65535
        }}),
    [](const testing::TestParamInfo<DamagedFile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillora::runtime::test
