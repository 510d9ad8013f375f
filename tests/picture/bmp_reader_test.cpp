// The one BMP reader: the rules its three users differ in, the rules decided once for all of
// them, and the problem it names for refused data (the encoder stand-in turns it into a status).
#include <gtest/gtest.h>

#include "platform/formats/bmp_reader.h"
#include "tests/picture/picture_test_support.h"

namespace quillora::test {
namespace {

using formats::BmpProblem;
using formats::BmpRules;
using formats::kBitmapObjectBmpRules;
using formats::kPictureDecoderBmpRules;
using formats::readBmp;

// A 2 x 2 24-bit file: rows of six bytes padded to eight.
Bytes twoByTwo()
{
    return bmpFile(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
}

void poke32(Bytes& file, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

BmpProblem problemOf(const Bytes& file, const BmpRules& rules)
{
    return readBmp(file, rules).problem;
}

TEST(BmpReader, RowsAreFoundFromTheTopWhicheverWayTheFileStoresThem)
{
    // The image's rows point into the data, which must outlive it.
    const Bytes bottomUpFile = twoByTwo();
    const auto bottomUp = readBmp(bottomUpFile, kBitmapObjectBmpRules);
    ASSERT_TRUE(bottomUp.image);
    EXPECT_EQ(bottomUp.image->rowFromTop(0)[0], 7);
    EXPECT_EQ(bottomUp.image->rowFromTop(1)[0], 1);
    EXPECT_EQ(bottomUp.image->pixelOffset, 54u);
    EXPECT_EQ(bottomUp.image->pixelEnd(), 70u);

    Bytes topDownFile = twoByTwo();
    poke32(topDownFile, 22, static_cast<std::uint32_t>(-2));
    const auto topDown = readBmp(topDownFile, kBitmapObjectBmpRules);
    ASSERT_TRUE(topDown.image);
    EXPECT_EQ(topDown.image->height(), 2u);
    EXPECT_EQ(topDown.image->rowFromTop(0)[0], 1);
}

TEST(BmpReader, TheDecoderAndTheBitmapObjectKeepTheirOwnRules)
{
    Bytes shortLastRow = twoByTwo();
    shortLastRow.resize(shortLastRow.size() - 2);
    EXPECT_TRUE(readBmp(shortLastRow, kPictureDecoderBmpRules).image);
    EXPECT_EQ(problemOf(shortLastRow, kBitmapObjectBmpRules), BmpProblem::Malformed);
    shortLastRow.pop_back();  // now a pixel of the last row is missing too
    EXPECT_EQ(problemOf(shortLastRow, kPictureDecoderBmpRules), BmpProblem::Malformed);

    const Bytes sixteenBit = bmpFile(1, 1, 16, {}, {0x1F, 0x00, 0, 0});
    EXPECT_EQ(problemOf(sixteenBit, kPictureDecoderBmpRules), BmpProblem::Unsupported);
    EXPECT_TRUE(readBmp(sixteenBit, kBitmapObjectBmpRules).image);

    Bytes negativeWidth = twoByTwo();
    poke32(negativeWidth, 18, static_cast<std::uint32_t>(-2));
    const auto mirrored = readBmp(negativeWidth, kPictureDecoderBmpRules);
    ASSERT_TRUE(mirrored.image);
    EXPECT_EQ(mirrored.image->width(), 2u);
    EXPECT_EQ(problemOf(negativeWidth, kBitmapObjectBmpRules), BmpProblem::Malformed);

    // A version-five header: 124 bytes, the colour table behind all of them.
    ByteWriter later;
    later.raw({'B', 'M'}).u32(0).u32(0).u32(14 + 124 + 8);
    later.u32(124).i32(1).i32(1).u16(1).u16(1).u32(0).u32(0).i32(0).i32(0).u32(2).u32(0).fill(124 - 40);
    later.raw({0, 0, 0, 0, 255, 255, 255, 0}).raw({0x80, 0, 0, 0});
    const auto read = readBmp(later.bytes, kPictureDecoderBmpRules);
    ASSERT_TRUE(read.image);
    EXPECT_EQ(read.image->palette.entries[1].red, 255);
    EXPECT_EQ(read.image->header.size, 40u);
    EXPECT_EQ(problemOf(later.bytes, kBitmapObjectBmpRules), BmpProblem::Unsupported);
}

TEST(BmpReader, RulesDecidedOnceHoldForEveryUser)
{
    Bytes twoPlanes = twoByTwo();
    twoPlanes[26] = 2;
    // Three colours for a 1-bit bitmap, which can only index two.
    const Bytes tooManyColours = bmpFile(1, 1, 1, Bytes(12, 0), {0x80, 0, 0, 0}, 3);
    // A deeper bitmap's table is a hint, but it is bounded and must be there.
    const Bytes deepTable = bmpFile(1, 1, 24, {1, 2, 3, 0}, {9, 9, 9, 0}, 1);
    const Bytes deepTableTooLong = bmpFile(1, 1, 24, {1, 2, 3, 0}, {9, 9, 9, 0}, 257);
    for (const BmpRules& rules : {kPictureDecoderBmpRules, kBitmapObjectBmpRules}) {
        EXPECT_EQ(problemOf(twoPlanes, rules), BmpProblem::Malformed);
        EXPECT_EQ(problemOf(tooManyColours, rules), BmpProblem::Malformed);
        EXPECT_EQ(problemOf(deepTableTooLong, rules), BmpProblem::Malformed);
        const auto kept = readBmp(deepTable, rules);
        ASSERT_TRUE(kept.image);
        EXPECT_EQ(kept.image->palette.count, 1u);
        EXPECT_EQ(kept.image->rowFromTop(0)[0], 9);
    }
}

TEST(BmpReader, NamesTheProblemOfRefusedData)
{
    struct Case {
        const char* what;
        Bytes file;
        BmpProblem problem;
    };
    Bytes compressed = twoByTwo();
    poke32(compressed, 30, 1);
    Bytes huge = twoByTwo();
    poke32(huge, 18, 65535);
    poke32(huge, 22, 65535);
    Bytes largeOverShortData = twoByTwo();
    poke32(largeOverShortData, 18, 8000);
    poke32(largeOverShortData, 22, 8000);
    Bytes offsetPastTheEnd = twoByTwo();
    poke32(offsetPastTheEnd, 10, 0xFFFFFFF0u);
    Bytes coreTooShort = twoByTwo();
    poke32(coreTooShort, 14, 12);
    coreTooShort.resize(20);
    const Case cases[] = {
        {"empty", {}, BmpProblem::NotBmp},
        {"PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A}, BmpProblem::NotBmp},
        {"cut in the file header", {'B', 'M', 0, 0}, BmpProblem::Malformed},
        {"run-length compressed", compressed, BmpProblem::Unsupported},
        {"65535 x 65535", huge, BmpProblem::TooLarge},
        {"8000 x 8000 over six pixels", largeOverShortData, BmpProblem::Malformed},
        {"pixel offset past the end", offsetPastTheEnd, BmpProblem::Malformed},
        {"core header cut short", coreTooShort, BmpProblem::Malformed},
    };
    for (const Case& c : cases) {
        const auto read = readBmp(c.file, kBitmapObjectBmpRules);
        EXPECT_FALSE(read.image) << c.what;
        EXPECT_EQ(read.problem, c.problem) << c.what;
    }
}

TEST(BmpRows, SixteenBitPartsSpreadOverTheByteRangeInEveryOrder)
{
    const formats::BmpPalette noTable;
    // Red 31, green 16, blue 1: 0x7E01.
    const Bytes row = {0x01, 0x7E};
    std::uint8_t rgb[3] = {};
    formats::expandBmpRow(row, 16, noTable, 1, rgb, formats::PixelOrder::Rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 132);
    EXPECT_EQ(rgb[2], 8);
    std::uint8_t bgra[4] = {};
    formats::expandBmpRow(row, 16, noTable, 1, bgra, formats::PixelOrder::Bgra);
    EXPECT_EQ(bgra[0], 8);
    EXPECT_EQ(bgra[2], 255);
    EXPECT_EQ(bgra[3], 255);
    // A row shorter than its pixels is not read at all.
    std::uint8_t untouched[6] = {7, 7, 7, 7, 7, 7};
    formats::expandBmpRow(row, 16, noTable, 2, untouched, formats::PixelOrder::Rgb);
    EXPECT_EQ(untouched[0], 7);
}

}  // namespace
}  // namespace quillora::test
