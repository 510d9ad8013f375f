// The conversion through the stand-in DLLs beside the test program. The tests that convert a
// picture need the stand-in service's encoders.
#include "printjob/encode_picture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <string>
#include <vector>

namespace quillora::app {
namespace {

std::vector<std::uint8_t> tinyBmp(int width, int height)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes(54 + static_cast<std::size_t>(rowBytes * height), 0);
    auto put32 = [&bytes](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    put32(38, 11811);
    put32(42, 11811);
    for (std::size_t i = 54; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(ToWideTextTest, TextBecomesZeroTerminatedUtf16)
{
    EXPECT_EQ(ToWideText("{557CF406}"), std::u16string(u"{557CF406}\0", 11));
    EXPECT_EQ(ToWideText("相册"), std::u16string(u"相册\0", 3));
    EXPECT_EQ(ToWideText(""), std::u16string(1, u'\0'));
}

TEST(EncoderIdentifierTest, FiveFormatsAndNothingElse)
{
    EXPECT_EQ(encoderIdentifierOf(1), "{557CF400-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_EQ(encoderIdentifierOf(2), "{557CF401-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_EQ(encoderIdentifierOf(3), "{557CF402-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_EQ(encoderIdentifierOf(4), "{557CF405-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_EQ(encoderIdentifierOf(5), "{557CF406-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_TRUE(encoderIdentifierOf(0).empty());
    EXPECT_TRUE(encoderIdentifierOf(6).empty());
}

TEST(EncodePictureTest, UnknownCodesAndNoDataConvertNothing)
{
    const std::vector<std::uint8_t> bmp = tinyBmp(3, 2);
    EXPECT_FALSE(encodePictureData(bmp, 0));
    EXPECT_FALSE(encodePictureData(bmp, 6));
    EXPECT_FALSE(encodePictureData({}, 5));
}

TEST(EncodePictureTest, DataThatIsNoBitmapIsRefused)
{
    const std::vector<std::uint8_t> noise(100, 0x5A);
    EXPECT_FALSE(encodePictureData(noise, 5));
}

struct FormatSignature {
    std::int32_t code;
    std::string signature;
};

class EncodeFormatTest : public testing::TestWithParam<FormatSignature> {};

TEST_P(EncodeFormatTest, ConvertsIntoTheFormat)
{
    const auto converted = encodePictureData(tinyBmp(5, 3), GetParam().code);
    ASSERT_TRUE(converted) << "the service did not convert format " << GetParam().code;
    ASSERT_GE(converted->bytes().size(), GetParam().signature.size());
    EXPECT_EQ(std::memcmp(converted->bytes().data(), GetParam().signature.data(), GetParam().signature.size()), 0);
}

TEST_P(EncodeFormatTest, TheOwnedDataGivesTheSameFile)
{
    const std::vector<std::uint8_t> bmp = tinyBmp(7, 4);
    ByteSet owned = ByteSet::copyOf(bmp);
    const auto fromOwned = encodeOwnedPictureData(std::move(owned), GetParam().code);
    const auto fromView = encodePictureData(bmp, GetParam().code);
    ASSERT_TRUE(fromOwned);
    ASSERT_TRUE(fromView);
    // The encoders write no time stamp, so the same pixels give the same bytes.
    EXPECT_TRUE(std::ranges::equal(fromOwned->bytes(), fromView->bytes()));
}

INSTANTIATE_TEST_SUITE_P(Formats, EncodeFormatTest,
                         testing::Values(FormatSignature{1, "BM"}, FormatSignature{2, "\xFF\xD8\xFF"},
                                         FormatSignature{3, "GIF8"}, FormatSignature{4, "II*"},
                                         FormatSignature{5, "\x89PNG"}),
                         [](const testing::TestParamInfo<FormatSignature>& info) {
                             return "code" + std::to_string(info.param.code);
                         });

}  // namespace
}  // namespace quillora::app
