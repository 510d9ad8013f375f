// Reading the EXIF orientation: every tag value in both byte orders, the walk over a JPEG's
// segments to its EXIF block, and damaged or forged blocks, which all read as Normal.
#include <functional>

#include "exif_test_files.h"
#include "platform/formats/exif_reader.h"

namespace quillora::test {
namespace {

using formats::ExifOrientation;
using formats::findJpegExifBlock;
using formats::readExifOrientation;
using formats::readJpegExif;

// Where the fields of exifTiff's little-endian block lie.
constexpr std::size_t kByteOrderAt = 0;
constexpr std::size_t kMagicAt = 2;
constexpr std::size_t kFirstDirectoryAt = 4;
constexpr std::size_t kEntryCountAt = 8;
constexpr std::size_t kOrientationEntryAt = 22;
constexpr std::size_t kNextDirectoryAt = 34;

void patch16(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void patch32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    patch16(bytes, at, value & 0xFFFF);
    patch16(bytes, at + 2, value >> 16);
}

ExifOrientation orientation(int value)
{
    return static_cast<ExifOrientation>(value);
}

TEST(ExifReader, EveryOrientationInBothByteOrdersAlsoInsideAJpeg)
{
    const Bytes jpeg = redOverBlue(8, 8);
    for (const bool bigEndian : {false, true}) {
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(std::to_string(value) + (bigEndian ? " MM" : " II"));
            const Bytes tiff = exifTiff(static_cast<std::uint16_t>(value), bigEndian);
            EXPECT_EQ(readExifOrientation(tiff), orientation(value));
            EXPECT_EQ(readJpegExif(withSegment(jpeg, 0xE1, exifPayload(tiff))).orientation, orientation(value));
        }
    }
    EXPECT_EQ(readJpegExif(jpeg).orientation, ExifOrientation::Normal);
}

TEST(ExifReader, TheBlockIsFoundPastOtherSegmentsAndFillBytesButNotPastTheFirstScan)
{
    const Bytes jpeg = redOverBlue(8, 8);
    const Bytes exif = exifPayload(exifTiff(6));
    // An XMP packet is an APP1 segment too; the EXIF block may follow it and a comment.
    Bytes xmp = {'h', 't', 't', 'p', ':', '/', '/', 'n', 's', '.', 'a', 'd', 'o', 'b', 'e', '.', 'c', 'o', 'm', 0};
    Bytes file = withSegment(withSegment(withSegment(jpeg, 0xE1, exif), 0xFE, {'h', 'i'}), 0xE1, xmp);
    EXPECT_EQ(readJpegExif(file).orientation, ExifOrientation::Rotate90Clockwise);
    EXPECT_EQ(findJpegExifBlock(file).size(), exif.size() - 6);

    // Fill bytes before a marker, and a restart marker, which has no length.
    Bytes filled = {0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xD0};
    const Bytes tagged = withSegment(jpeg, 0xE1, exif);
    filled.insert(filled.end(), tagged.begin() + 2, tagged.end());
    EXPECT_EQ(readJpegExif(filled).orientation, ExifOrientation::Rotate90Clockwise);

    // Past the start of scan the bytes are picture data, whatever they look like.
    Bytes afterScan = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02};
    afterScan.insert(afterScan.end(), tagged.begin() + 2, tagged.end());
    EXPECT_EQ(readJpegExif(afterScan).orientation, ExifOrientation::Normal);
}

// A block damaged or forged one way, which must read as Normal without reading outside it.
struct DamagedBlock {
    const char* name;
    std::function<void(Bytes&)> damage;
};

class DamagedExifBlock : public ::testing::TestWithParam<DamagedBlock> {};

TEST_P(DamagedExifBlock, ReadsAsNormal)
{
    Bytes tiff = exifTiff(6);
    ASSERT_EQ(readExifOrientation(tiff), ExifOrientation::Rotate90Clockwise);
    GetParam().damage(tiff);
    // Exactly the block's bytes, so that a read past its end is seen by the sanitizers.
    const Bytes exact(tiff);
    EXPECT_EQ(readExifOrientation(exact), ExifOrientation::Normal);
    EXPECT_EQ(readJpegExif(withSegment(redOverBlue(8, 8), 0xE1, exifPayload(exact))).orientation,
              ExifOrientation::Normal);
}

INSTANTIATE_TEST_SUITE_P(
    Forged, DamagedExifBlock,
    ::testing::Values(
        DamagedBlock{"Empty", [](Bytes& b) { b.clear(); }},
        DamagedBlock{"CutInTheHeader", [](Bytes& b) { b.resize(7); }},
        DamagedBlock{"CutInTheOrientationEntry", [](Bytes& b) { b.resize(kOrientationEntryAt + 8); }},
        DamagedBlock{"CutBeforeTheDirectory", [](Bytes& b) { b.resize(9); }},
        DamagedBlock{"DirectoryPastTheEnd", [](Bytes& b) { patch32(b, kFirstDirectoryAt, 0xFFFFFFF0u); }},
        DamagedBlock{"DirectoryAtTheLastByte",
                     [](Bytes& b) { patch32(b, kFirstDirectoryAt, static_cast<std::uint32_t>(b.size() - 1)); }},
        DamagedBlock{"HugeEntryCount", [](Bytes& b) { patch16(b, kEntryCountAt, 0xFFFF); }},
        DamagedBlock{"EntryCountOneTooMany", [](Bytes& b) { patch16(b, kEntryCountAt, 4); }},
        // The header read as a directory: "II" counts 0x4949 entries.
        DamagedBlock{"DirectoryLoopsToTheHeader", [](Bytes& b) { patch32(b, kFirstDirectoryAt, 0); }},
        // A chain that loops must not be followed: the tag is nowhere in IFD0.
        DamagedBlock{"NextDirectoryLoopsToItself",
                     [](Bytes& b) {
                         patch16(b, kOrientationEntryAt, 0x0113);
                         patch32(b, kNextDirectoryAt, 8);
                     }},
        DamagedBlock{"UnknownByteOrder", [](Bytes& b) { b[kByteOrderAt] = 'I', b[kByteOrderAt + 1] = 'M'; }},
        DamagedBlock{"BigEndianMarkerOnLittleEndianNumbers",
                     [](Bytes& b) { b[kByteOrderAt] = 'M', b[kByteOrderAt + 1] = 'M'; }},
        DamagedBlock{"LowerCaseByteOrder", [](Bytes& b) { b[kByteOrderAt] = 'i', b[kByteOrderAt + 1] = 'i'; }},
        DamagedBlock{"NotTiff", [](Bytes& b) { patch16(b, kMagicAt, 43); }},
        DamagedBlock{"OrientationAsLong", [](Bytes& b) { patch16(b, kOrientationEntryAt + 2, 4); }},
        DamagedBlock{"HugeValueCount", [](Bytes& b) { patch32(b, kOrientationEntryAt + 4, 0xFFFFFFFFu); }},
        DamagedBlock{"TwoValues", [](Bytes& b) { patch32(b, kOrientationEntryAt + 4, 2); }},
        DamagedBlock{"ValueZero", [](Bytes& b) { patch16(b, kOrientationEntryAt + 8, 0); }},
        DamagedBlock{"ValueNine", [](Bytes& b) { patch16(b, kOrientationEntryAt + 8, 9); }},
        DamagedBlock{"ValueInTheHighHalf", [](Bytes& b) { patch32(b, kOrientationEntryAt + 8, 0x00060000u); }}),
    [](const ::testing::TestParamInfo<DamagedBlock>& info) { return std::string(info.param.name); });

TEST(ExifReader, DamagedSegmentsGiveNoBlock)
{
    const Bytes tagged = withSegment(redOverBlue(8, 8), 0xE1, exifPayload(exifTiff(8)));
    ASSERT_EQ(readJpegExif(tagged).orientation, ExifOrientation::Rotate90Anticlockwise);
    // Every cut through the segments before the block's end loses the block.
    const std::size_t blockEnd = 6 + exifPayload(exifTiff(8)).size();
    for (std::size_t size = 0; size < blockEnd; ++size) {
        const Bytes cut(tagged.begin(), tagged.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_TRUE(findJpegExifBlock(cut).empty()) << size;
    }
    const auto withLength = [&](std::uint8_t high, std::uint8_t low) {
        Bytes forged = tagged;
        forged[4] = high;
        forged[5] = low;
        return forged;
    };
    EXPECT_TRUE(findJpegExifBlock(withLength(0, 0)).empty());
    EXPECT_TRUE(findJpegExifBlock(withLength(0, 1)).empty());
    EXPECT_TRUE(findJpegExifBlock(withLength(0xFF, 0xFF)).empty());
    // The signature alone, or bytes that are no marker where one must be.
    EXPECT_TRUE(findJpegExifBlock(withSegment(redOverBlue(8, 8), 0xE1, {'E', 'x', 'i', 'f', 0, 0})).empty());
    EXPECT_EQ(readJpegExif(withSegment(redOverBlue(8, 8), 0xE1, {'E', 'x', 'i', 'f', 0, 0})).orientation,
              ExifOrientation::Normal);
    EXPECT_TRUE(findJpegExifBlock(Bytes{0xFF, 0xD8, 0x12, 0x34, 0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0})
                    .empty());
}

TEST(ExifReader, APictureWithADamagedBlockStillLoadsAsStored)
{
    Bytes tiff = exifTiff(6);
    patch16(tiff, kEntryCountAt, 0xFFFF);
    LoadedPicture picture(withSegment(redOverBlue(16, 8), 0xE1, exifPayload(tiff)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), 16);
    EXPECT_EQ(picture.height(), 8);
}

}  // namespace
}  // namespace quillora::test
