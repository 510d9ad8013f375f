// Every output format of the image-encoding service, read back with the standard decoder:
// size, pixels and resolution.
#include "tests/dib/dib_test_files.h"
#include "tests/encoder/encoder_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quillora::test {
namespace {

using runtime::test::BmpSpec;
using runtime::test::makeBmp;
using runtime::test::poke32;

// Colours as 0x00RRGGBB, the way the decoded pixels are compared.
constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x000000;
constexpr std::uint32_t kRed = 0xE01010;
constexpr std::uint32_t kGreen = 0x20C040;
constexpr std::uint32_t kBlue = 0x1030D0;
constexpr std::uint32_t kYellow = 0xF0E020;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kTeal = 0x10A0A0;

// 24-bit rows of colours given as 0x00RRGGBB.
std::vector<std::uint8_t> rgbRow(const std::vector<std::uint32_t>& colours)
{
    std::vector<std::uint8_t> row;
    for (const std::uint32_t colour : colours)
        row.insert(row.end(), {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                               static_cast<std::uint8_t>(colour >> 16)});
    return row;
}

Bytes withResolution(Bytes file, std::int32_t x, std::int32_t y)
{
    poke32(file, 38, static_cast<std::uint32_t>(x));
    poke32(file, 42, static_cast<std::uint32_t>(y));
    return file;
}

// A page of eight flat 16 x 16 blocks, two rows of four, so even JPEG's blocks and chroma
// subsampling see flat colour in each, at 300 dpi.
constexpr std::uint32_t kBlocks[2][4] = {{kPaper, kRed, kGreen, kBlue}, {kYellow, kInk, kGrey, kTeal}};

Bytes blockPage()
{
    BmpSpec spec;
    spec.width = 64;
    spec.height = 32;
    for (int y = 0; y < 32; ++y) {
        std::vector<std::uint32_t> colours;
        for (int x = 0; x < 64; ++x)
            colours.push_back(kBlocks[y / 16][x / 16]);
        spec.rows.push_back(rgbRow(colours));
    }
    return withResolution(makeBmp(spec), kPrintPixelsPerMetre, kPrintPixelsPerMetre);
}

// 7 x 5 pixels, each its own colour: 21-byte rows padded to 24 in the BMP, so a slip in the
// padding shifts every later row.
std::uint32_t oddPixel(int x, int y)
{
    return static_cast<std::uint32_t>((x * 36) << 16 | (y * 60) << 8 | ((x + y) * 20));
}

Bytes oddPage()
{
    BmpSpec spec;
    spec.width = 7;
    spec.height = 5;
    for (int y = 0; y < 5; ++y) {
        std::vector<std::uint32_t> colours;
        for (int x = 0; x < 7; ++x)
            colours.push_back(oddPixel(x, y));
        spec.rows.push_back(rgbRow(colours));
    }
    return withResolution(makeBmp(spec), kPrintPixelsPerMetre, 3937);
}

int channelDistance(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return largest;
}

// The resolution each format stores, in dots per inch; NAN when the format has none.
using ResolutionOf = std::pair<double, double> (*)(const Decoded&);

struct Format {
    const char* name;
    const char16_t* encoder;
    Decoded (*decode)(const Bytes&);
    int tolerance;  // largest channel difference allowed on flat colour
    ResolutionOf dotsPerInch;
    const char* signature;
};

std::pair<double, double> perMetre(const Decoded& d)
{
    EXPECT_EQ(d.resolutionUnit, 1);
    return {d.xResolution * 0.0254, d.yResolution * 0.0254};
}

std::pair<double, double> jfif(const Decoded& d)
{
    EXPECT_EQ(d.resolutionUnit, 1);  // dots per inch
    return {d.xResolution, d.yResolution};
}

std::pair<double, double> tiffInches(const Decoded& d)
{
    EXPECT_EQ(d.resolutionUnit, 2);  // inch
    return {d.xResolution, d.yResolution};
}

std::pair<double, double> none(const Decoded&)
{
    return {NAN, NAN};
}

class EncodedFormat : public testing::TestWithParam<Format> {};

TEST_P(EncodedFormat, ReadsBackWithItsSizePixelsAndResolution)
{
    const Format& format = GetParam();
    const EncodeResult result = encodeThroughService(blockPage(), format.encoder);
    ASSERT_EQ(result.created, win::Ok);
    ASSERT_EQ(result.saved, win::Ok);
    ASSERT_GE(result.file.size(), std::strlen(format.signature));
    EXPECT_EQ(std::string(result.file.begin(), result.file.begin() + static_cast<long>(std::strlen(format.signature))),
              format.signature);

    const Decoded decoded = format.decode(result.file);
    ASSERT_TRUE(decoded.ok);
    ASSERT_EQ(decoded.width, 64u);
    ASSERT_EQ(decoded.height, 32u);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            for (const auto [dx, dy] : {std::pair{4, 4}, std::pair{11, 12}, std::pair{8, 7}}) {
                const auto x = static_cast<std::uint32_t>(column * 16 + dx);
                const auto y = static_cast<std::uint32_t>(row * 16 + dy);
                EXPECT_LE(channelDistance(decoded.pixel(x, y), kBlocks[row][column]), format.tolerance)
                    << format.name << " at " << x << "," << y;
            }

    const auto [xDpi, yDpi] = format.dotsPerInch(decoded);
    if (!std::isnan(xDpi)) {
        EXPECT_NEAR(xDpi, 300.0, 0.01) << format.name;
        EXPECT_NEAR(yDpi, 300.0, 0.01) << format.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, EncodedFormat,
    testing::Values(Format{"Bmp", kBmpEncoder, decodeBmp24, 0, perMetre, "BM"},
                    Format{"Png", kPngEncoder, decodePng, 0, perMetre, "\x89PNG"},
                    Format{"Tiff", kTiffEncoder, decodeTiff, 0, tiffInches, "II*"},
                    Format{"Gif", kGifEncoder, decodeGif, 0, none, "GIF8"},
                    Format{"Jpeg", kJpegEncoder, decodeJpeg, 6, jfif, "\xFF\xD8\xFF"}),
    [](const testing::TestParamInfo<Format>& info) { return info.param.name; });

// The lossless formats give back every pixel of a page whose rows need padding, and each axis
// keeps its own resolution.
struct LosslessFormat {
    const char* name;
    const char16_t* encoder;
    Decoded (*decode)(const Bytes&);
    double xPerUnit;
    double yPerUnit;
};

class LosslessOutput : public testing::TestWithParam<LosslessFormat> {};

TEST_P(LosslessOutput, KeepsEveryPixelAndBothResolutions)
{
    const LosslessFormat& format = GetParam();
    const EncodeResult result = encodeThroughService(oddPage(), format.encoder);
    ASSERT_EQ(result.saved, win::Ok);
    const Decoded decoded = format.decode(result.file);
    ASSERT_TRUE(decoded.ok);
    ASSERT_EQ(decoded.width * 100 + decoded.height, 705u);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 7; ++x)
            EXPECT_EQ(decoded.pixel(x, y), oddPixel(static_cast<int>(x), static_cast<int>(y))) << x << "," << y;
    if (format.xPerUnit > 0) {
        EXPECT_NEAR(decoded.xResolution, format.xPerUnit, 0.01);
        EXPECT_NEAR(decoded.yResolution, format.yPerUnit, 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ExactFormats, LosslessOutput,
    testing::Values(LosslessFormat{"Bmp", kBmpEncoder, decodeBmp24, 11811, 3937},
                    LosslessFormat{"Png", kPngEncoder, decodePng, 11811, 3937},
                    LosslessFormat{"Tiff", kTiffEncoder, decodeTiff, 11811 * 0.0254, 3937 * 0.0254},
                    // 35 colours fit one GIF palette, so nothing is quantised.
                    LosslessFormat{"Gif", kGifEncoder, decodeGif, 0, 0}),
    [](const testing::TestParamInfo<LosslessFormat>& info) { return info.param.name; });

TEST(EncodedResolution, MissingResolutionIsTakenAtTheScreensNinetySixDotsPerInch)
{
    BmpSpec spec;
    spec.rows = {rgbRow({kRed})};
    const Decoded png = decodePng(encodeThroughService(makeBmp(spec), kPngEncoder).file);
    EXPECT_EQ(png.xResolution, 3780);
    const Decoded jpeg = decodeJpeg(encodeThroughService(makeBmp(spec), kJpegEncoder).file);
    EXPECT_EQ(jpeg.xResolution, 96);
}

// A photo has far more than 256 colours: the GIF palette is quantised, and the pixels stay
// close to their colours (cutting them to 3-3-2 bits would be off by 18 on average and up to
// 63); white paper stays white.
TEST(GifPalette, ManyColoursAreQuantisedCloselyAndWhiteStaysWhite)
{
    BmpSpec spec;
    spec.width = 96;
    spec.height = 64;
    const auto colourAt = [](int x, int y) -> std::uint32_t {
        if (x < 16)
            return kPaper;
        return static_cast<std::uint32_t>((x * 255 / 95) << 16 | (y * 4) << 8 | ((x + y) % 64) * 2);
    };
    for (int y = 0; y < 64; ++y) {
        std::vector<std::uint32_t> colours;
        for (int x = 0; x < 96; ++x)
            colours.push_back(colourAt(x, y));
        spec.rows.push_back(rgbRow(colours));
    }
    const EncodeResult result = encodeThroughService(makeBmp(spec), kGifEncoder);
    ASSERT_EQ(result.saved, win::Ok);
    const Decoded decoded = decodeGif(result.file);
    ASSERT_TRUE(decoded.ok);
    ASSERT_EQ(decoded.width * 100 + decoded.height, 9664u);
    int worst = 0;
    double total = 0;
    for (std::uint32_t y = 0; y < 64; ++y)
        for (std::uint32_t x = 0; x < 96; ++x) {
            const int distance = channelDistance(decoded.pixel(x, y), colourAt(static_cast<int>(x), static_cast<int>(y)));
            worst = std::max(worst, distance);
            total += distance;
        }
    EXPECT_LE(worst, 36);
    EXPECT_LE(total / (96 * 64), 8.0);
    EXPECT_EQ(decoded.pixel(3, 10), kPaper);
}

}  // namespace
}  // namespace quillora::test
