// Reading when a photo was taken from its EXIF block: DateTimeOriginal before DateTime, in both
// byte orders, and every damaged, forged or unset date read as "not known".
#include <functional>
#include <string>

#include "exif_test_files.h"
#include "platform/formats/exif_reader.h"

namespace quillora::test {
namespace {

using formats::ExifDateTime;
using formats::parseExifDateTime;
using formats::readExifCaptureTime;
using formats::readJpegExif;

// Where the parts of exifTiffWithDates's little-endian block with both dates lie.
constexpr std::size_t kWrittenEntryAt = 10;
constexpr std::size_t kPointerEntryAt = 22;
constexpr std::size_t kOriginalEntryAt = 40;
constexpr std::size_t kOriginalTextAt = 76;  // 56 + 19 characters + the zero byte

const std::string kWritten = "2023:12:31 23:59:58";
const std::string kOriginal = "2024:05:01 10:20:33";
constexpr ExifDateTime kWrittenTime{2023, 12, 31, 23, 59, 58};
constexpr ExifDateTime kOriginalTime{2024, 5, 1, 10, 20, 33};

void patch32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::optional<ExifDateTime> parsed(const std::string& text)
{
    return parseExifDateTime({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

TEST(ExifDate, TheOriginalDateComesFirstThenTheWrittenOneInBothByteOrdersAlsoInsideAJpeg)
{
    const Bytes jpeg = redOverBlue(8, 8);
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        const Bytes both = exifTiffWithDates(kWritten, kOriginal, bigEndian);
        EXPECT_EQ(readExifCaptureTime(both), kOriginalTime);
        EXPECT_EQ(readJpegExif(withSegment(jpeg, 0xE1, exifPayload(both))).taken, kOriginalTime);
        EXPECT_EQ(readExifCaptureTime(exifTiffWithDates(kWritten, "", bigEndian)), kWrittenTime);
        EXPECT_EQ(readExifCaptureTime(exifTiffWithDates("", kOriginal, bigEndian)), kOriginalTime);
        EXPECT_FALSE(readExifCaptureTime(exifTiffWithDates("", "", bigEndian)));
    }
    // The orientation block of a camera that writes no date, and a JPEG without EXIF.
    EXPECT_FALSE(readExifCaptureTime(exifTiff(6)));
    EXPECT_FALSE(readJpegExif(jpeg).taken);
}

TEST(ExifDate, OnlyAWellFormedDateIsADate)
{
    EXPECT_EQ(parsed("2024:05:01 10:20:33"), kOriginalTime);
    EXPECT_EQ(parsed("0001:01:01 00:00:00"), (ExifDateTime{1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(parsed("2016:12:31 23:59:60"), (ExifDateTime{2016, 12, 31, 23, 59, 60}));
    for (const char* text : {"0000:00:00 00:00:00", "    :  :     :  :  ", "2024:13:01 10:20:33",
                             "2024:05:00 10:20:33", "2024:05:32 10:20:33", "2024:05:01 24:00:00",
                             "2024:05:01 10:60:00", "2024:05:01 10:20:61", "2024-05-01 10:20:33",
                             "2024:05:01T10:20:33", "2024:05:01 10:20:3", "2024:05:01 1a:20:33", ""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parsed(text));
    }
}

// A block damaged in one place; what it reads as.
struct DamagedDateCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::optional<ExifDateTime> taken;
};

class DamagedDates : public ::testing::TestWithParam<DamagedDateCase> {};

TEST_P(DamagedDates, ReadAsTheDateThatIsStillWholeOrNone)
{
    Bytes tiff = exifTiffWithDates(kWritten, kOriginal);
    GetParam().damage(tiff);
    EXPECT_EQ(readExifCaptureTime(tiff), GetParam().taken);
    // Inside a JPEG the same, and the picture's orientation is still read.
    const auto exif = readJpegExif(withSegment(redOverBlue(8, 8), 0xE1, exifPayload(tiff)));
    EXPECT_EQ(exif.taken, GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Forged, DamagedDates,
    ::testing::Values(
        // An unset original date ("0000:...") gives way to the written one.
        DamagedDateCase{"UnsetOriginal", [](Bytes& b) { std::fill_n(b.begin() + kOriginalTextAt + 0, 4, '0'); },
                        kWrittenTime},
        // The EXIF pointer past the end, back at IFD0 (a loop), or at itself: no original date,
        // the written one still reads.
        DamagedDateCase{"PointerPastTheEnd", [](Bytes& b) { patch32(b, kPointerEntryAt + 8, 0xFFFFFFF0u); },
                        kWrittenTime},
        DamagedDateCase{"PointerBackAtIfd0", [](Bytes& b) { patch32(b, kPointerEntryAt + 8, 8); }, kWrittenTime},
        DamagedDateCase{"PointerOfTheWrongType", [](Bytes& b) { b.at(kPointerEntryAt + 2) = 3; }, kWrittenTime},
        // The original date's text past the end, a huge count, or a count too short for a date.
        DamagedDateCase{"TextPastTheEnd", [](Bytes& b) { patch32(b, kOriginalEntryAt + 8, 0xFFFFFFF0u); },
                        kWrittenTime},
        DamagedDateCase{"HugeCount", [](Bytes& b) { patch32(b, kOriginalEntryAt + 4, 0xFFFFFFFFu); }, kWrittenTime},
        DamagedDateCase{"CountTooShort", [](Bytes& b) { patch32(b, kOriginalEntryAt + 4, 10); }, kWrittenTime},
        DamagedDateCase{"NotAscii", [](Bytes& b) { b.at(kOriginalEntryAt + 2) = 7; }, kWrittenTime},
        // Both dates damaged: no date at all.
        DamagedDateCase{"BothTextsPastTheEnd",
                        [](Bytes& b) {
                            patch32(b, kOriginalEntryAt + 8, 0xFFFFFFF0u);
                            patch32(b, kWrittenEntryAt + 8, 0x7FFFFFFFu);
                        },
                        std::nullopt},
        // A directory count that runs past the end hides every entry of IFD0.
        DamagedDateCase{"Ifd0CountPastTheEnd", [](Bytes& b) { b.at(8) = 0xFF, b.at(9) = 0xFF; }, std::nullopt},
        // The block cut short inside the written date's text.
        DamagedDateCase{"CutShort", [](Bytes& b) { b.resize(70); }, std::nullopt}),
    [](const ::testing::TestParamInfo<DamagedDateCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillora::test
