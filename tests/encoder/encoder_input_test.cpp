// The BMP data the service reads: every uncompressed depth the bitmap object produces, both
// row orders and both header kinds, and data it must refuse without writing anything.
#include "tests/core/stand_in_commands.h"
#include "tests/dib/dib_test_files.h"
#include "tests/encoder/encoder_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace quillora::test {
namespace {

using runtime::test::BmpSpec;
using runtime::test::makeBmp;
using runtime::test::poke32;

// Pixels of the read-back PNG as 0x00RRGGBB, rows top first.
std::vector<std::uint32_t> pngPixels(const Bytes& bmp)
{
    const EncodeResult result = encodeThroughService(bmp, kPngEncoder);
    EXPECT_EQ(result.created, win::Ok);
    const Decoded decoded = decodePng(result.file);
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t y = 0; y < decoded.height; ++y)
        for (std::uint32_t x = 0; x < decoded.width; ++x)
            pixels.push_back(decoded.pixel(x, y));
    return pixels;
}

// Palette entries as stored (blue, green, red, 0; or three bytes in a core header).
std::vector<std::uint8_t> palette(std::initializer_list<std::uint32_t> rgbColours, bool core = false)
{
    std::vector<std::uint8_t> table;
    for (const std::uint32_t colour : rgbColours) {
        table.insert(table.end(), {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                                   static_cast<std::uint8_t>(colour >> 16)});
        if (!core)
            table.push_back(0);
    }
    return table;
}

struct InputCase {
    const char* name;
    BmpSpec spec;
    std::vector<std::uint32_t> expected;  // 0x00RRGGBB, top row first
};

class BmpInput : public testing::TestWithParam<InputCase> {};

TEST_P(BmpInput, DecodesToTheSamePixels)
{
    EXPECT_EQ(pngPixels(makeBmp(GetParam().spec)), GetParam().expected);
}

BmpSpec spec(std::int32_t width, std::int32_t height, std::uint16_t bits, std::vector<std::uint8_t> table,
             std::vector<std::vector<std::uint8_t>> rows)
{
    BmpSpec result;
    result.width = width;
    result.height = height;
    result.bitCount = bits;
    result.palette = std::move(table);
    result.rows = std::move(rows);
    return result;
}

BmpSpec topDown(BmpSpec source)
{
    source.topDown = true;
    return source;
}

BmpSpec core(BmpSpec source)
{
    source.coreHeader = true;
    return source;
}

BmpSpec coloursUsed(BmpSpec source, std::uint32_t count)
{
    source.coloursUsed = count;
    return source;
}

constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000, Y = 0xFFFF00;

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpInput,
    testing::Values(
        // 1 bit, nine pixels: the row spills into a second byte, the leftmost pixel the high bit.
        InputCase{"OneBit", spec(9, 2, 1, palette({K, W}), {{0b10100000, 0b10000000}, {0b01011111, 0b00000000}}),
                  {W, K, W, K, K, K, K, K, W, K, W, K, W, W, W, W, W, K}},
        InputCase{"FourBit", coloursUsed(spec(3, 2, 4, palette({K, R, G, B}), {{0x12, 0x30}, {0x32, 0x10}}), 4),
                  {R, G, B, B, G, R}},
        InputCase{"EightBit", coloursUsed(spec(3, 1, 8, palette({K, R, G, B, Y}), {{4, 0, 2}}), 5), {Y, K, G}},
        // A short table: an index past it reads black rather than whatever follows.
        InputCase{"EightBitShortTable", coloursUsed(spec(2, 1, 8, palette({R, G}), {{1, 7}}), 2), {G, K}},
        // 5-5-5: 31 is full intensity, 16 is 132.
        InputCase{"SixteenBit", spec(3, 1, 16, {}, {{0x00, 0x7C, 0xFF, 0x7F, 0x10, 0x00}}), {R, W, 0x000084}},
        InputCase{"TwentyFourBit", spec(2, 2, 24, {}, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}}),
                  {R, G, B, W}},
        InputCase{"ThirtyTwoBitIgnoresTheFourthByte",
                  spec(2, 1, 32, {}, {{0, 0, 255, 0x00, 0x10, 0x20, 0x30, 0xFF}}), {R, 0x302010}},
        InputCase{"TopDownRows", topDown(spec(2, 2, 24, {}, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}})),
                  {R, G, B, W}},
        InputCase{"TopDownEightBit", coloursUsed(topDown(spec(1, 3, 8, palette({R, G, B}), {{0}, {1}, {2}})), 3), {R, G, B}},
        InputCase{"CoreHeaderTwentyFourBit", core(spec(2, 1, 24, {}, {{0, 0, 255, 255, 0, 0}})), {R, B}},
        InputCase{"CoreHeaderFourBit", core(spec(2, 1, 4, palette({K, Y, B, G, R, W, K, K, K, K, K, K, K, K, K, K}, true),
                                                 {{0x14}})),
                  {Y, R}}),
    [](const testing::TestParamInfo<InputCase>& info) { return info.param.name; });

TEST(BmpInputResolution, BothAxesCarryOverIndependently)
{
    Bytes file = makeBmp(spec(1, 1, 24, {}, {{0, 0, 0}}));
    poke32(file, 38, 11811);
    poke32(file, 42, 5906);
    const Decoded decoded = decodePng(encodeThroughService(file, kPngEncoder).file);
    EXPECT_EQ(decoded.xResolution, 11811);
    EXPECT_EQ(decoded.yResolution, 5906);
}

// Each case damages a valid 3 x 2 8-bit file; the service refuses it with its status, hands
// out no bitmap, and nothing is written.
struct Refusal {
    const char* name;
    std::function<void(Bytes&)> damage;
    win::GpStatus status;
};

class BmpRefused : public testing::TestWithParam<Refusal> {};

Bytes validFile()
{
    return makeBmp(coloursUsed(spec(3, 2, 8, palette({K, R, G, B}), {{1, 2, 3}, {3, 2, 1}}), 4));
}

TEST_P(BmpRefused, WithItsStatusAndNoOutput)
{
    Bytes file = validFile();
    GetParam().damage(file);
    const EncodeResult result = encodeThroughService(file, kPngEncoder);
    EXPECT_EQ(result.created, GetParam().status);
    EXPECT_TRUE(result.file.empty());
}

INSTANTIATE_TEST_SUITE_P(
    HostileData, BmpRefused,
    testing::Values(
        Refusal{"Empty", [](Bytes& f) { f.clear(); }, win::UnknownImageFormat},
        Refusal{"OneByte", [](Bytes& f) { f.resize(1); }, win::UnknownImageFormat},
        Refusal{"Png", [](Bytes& f) { f = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}; }, win::UnknownImageFormat},
        Refusal{"Jpeg", [](Bytes& f) { f = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}; }, win::UnknownImageFormat},
        Refusal{"RunLengthCompressed", [](Bytes& f) { poke32(f, 30, 1); }, win::UnknownImageFormat},
        Refusal{"BitFields", [](Bytes& f) { poke32(f, 30, 3); }, win::UnknownImageFormat},
        Refusal{"VersionFiveHeader", [](Bytes& f) { poke32(f, 14, 124); }, win::UnknownImageFormat},
        Refusal{"TwoBitPixels", [](Bytes& f) { f[28] = 2; }, win::UnknownImageFormat},
        Refusal{"CutInTheFileHeader", [](Bytes& f) { f.resize(9); }, win::InvalidParameter},
        Refusal{"CutInTheInfoHeader", [](Bytes& f) { f.resize(30); }, win::InvalidParameter},
        Refusal{"CutInTheColourTable", [](Bytes& f) { f.resize(60); }, win::InvalidParameter},
        Refusal{"LastRowOneByteShort", [](Bytes& f) { f.pop_back(); }, win::InvalidParameter},
        Refusal{"ZeroWidth", [](Bytes& f) { poke32(f, 18, 0); }, win::InvalidParameter},
        Refusal{"NegativeWidth", [](Bytes& f) { poke32(f, 18, 0xFFFFFFFE); }, win::InvalidParameter},
        Refusal{"ZeroHeight", [](Bytes& f) { poke32(f, 22, 0); }, win::InvalidParameter},
        Refusal{"SmallestHeight", [](Bytes& f) { poke32(f, 22, 0x80000000u); }, win::InvalidParameter},
        Refusal{"TwoPlanes", [](Bytes& f) { f[26] = 2; }, win::InvalidParameter},
        Refusal{"MoreColoursThanIndexes", [](Bytes& f) { f[28] = 1; poke32(f, 46, 3); }, win::InvalidParameter},
        Refusal{"PixelOffsetInsideTheTable", [](Bytes& f) { poke32(f, 10, 60); }, win::InvalidParameter},
        Refusal{"PixelOffsetFarAway", [](Bytes& f) { poke32(f, 10, 0xFFFFFFF0u); }, win::InvalidParameter},
        // 64 megapixels would be allowed, but the data holds six pixels: refused before the
        // bitmap's memory is taken.
        Refusal{"ForgedSizeOverShortData", [](Bytes& f) { poke32(f, 18, 8000); poke32(f, 22, 8000); }, win::InvalidParameter},
        // The size is refused before a byte of pixels is allocated or read.
        Refusal{"ForgedHugeSize", [](Bytes& f) { poke32(f, 18, 65535); poke32(f, 22, 65535); }, win::OutOfMemory},
        Refusal{"ForgedLargestSize", [](Bytes& f) { poke32(f, 18, 0x7FFFFFFF); poke32(f, 22, 0x7FFFFFFF); },
                win::OutOfMemory}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(EncoderChoice, UnknownClassIdentifierWritesNothing)
{
    for (const char16_t* encoder : {u"{557CF403-1A04-11D3-9A73-0000F81EF32E}", u"{557CF404-1A04-11D3-9A73-0000F81EF32E}",
                                    u"{00000000-0000-0000-0000-000000000000}", u"{557CF406-1A04-11D3-9A73-0000F81EF32F}"}) {
        const EncodeResult result = encodeThroughService(validFile(), encoder);
        EXPECT_EQ(result.created, win::Ok);
        EXPECT_EQ(result.saved, win::UnknownImageFormat);
        EXPECT_TRUE(result.file.empty());
    }
    // Class identifiers are compared by value, so the lower-case text names the same encoder.
    EXPECT_EQ(encodeThroughService(validFile(), u"{557cf406-1a04-11d3-9a73-0000f81ef32e}").saved, win::Ok);
}

TEST(EncoderChoice, OnlyLiveBitmapsOfTheServiceAreUsed)
{
    using test_support::dllCommand;
    const auto save = dllCommand<win::GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream);
    const auto dispose = dllCommand<win::GdipDisposeImageFn>(DllCommand::GdipDisposeImage);
    const auto createStream = dllCommand<win::CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal);
    const auto createBitmap = dllCommand<win::GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream);
    const auto alloc = dllCommand<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    const auto lock = dllCommand<win::GlobalLockFn>(DllCommand::GlobalLock);
    const auto unlock = dllCommand<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);

    const Bytes file = validFile();
    win::HGLOBAL block = alloc(win::GMEM_FIXED, file.size());
    std::memcpy(lock(block), file.data(), file.size());
    unlock(block);
    win::IStream* input = nullptr;
    win::IStream* output = nullptr;
    ASSERT_EQ(createStream(block, 1, &input), win::S_OK);
    ASSERT_EQ(createStream(nullptr, 1, &output), win::S_OK);
    win::GpImage* bitmap = nullptr;
    ASSERT_EQ(createBitmap(input, &bitmap), win::Ok);
    ASSERT_NE(bitmap, nullptr);

    const win::CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    int stranger = 0;
    EXPECT_EQ(save(&stranger, output, &png, nullptr), win::InvalidParameter);
    EXPECT_EQ(dispose(&stranger), win::InvalidParameter);
    EXPECT_EQ(save(bitmap, nullptr, &png, nullptr), win::InvalidParameter);
    EXPECT_EQ(save(bitmap, output, nullptr, nullptr), win::InvalidParameter);
    EXPECT_EQ(dispose(bitmap), win::Ok);
    // Disposed: the same pointer is now unknown to the service.
    EXPECT_EQ(save(bitmap, output, &png, nullptr), win::InvalidParameter);
    EXPECT_EQ(dispose(bitmap), win::InvalidParameter);
    input->Release();
    output->Release();
}

}  // namespace
}  // namespace quillora::test
