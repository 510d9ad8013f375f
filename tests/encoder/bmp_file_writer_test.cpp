// The runtime's one BMP writer: the layout every picture the runtime hands out shares.
#include "runtime/picture/bmp_file_writer.h"
#include "runtime/picture/dib_bitmap.h"
#include "tests/dib/dib_test_files.h"

#include <gtest/gtest.h>

#include <array>

namespace quillora::runtime::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t u32At(const Bytes& file, std::size_t at)
{
    return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24);
}

// 3 x 2 pixels of blue, green, red and a fourth byte that must not leak into the file, in
// rows 16 bytes apart (a surface's rows may be longer than their pixels).
constexpr std::array<std::uint8_t, 32> kSource = {
    1, 2, 3, 0xAA, 4, 5, 6, 0xAA, 7, 8, 9, 0xAA, 0xEE, 0xEE, 0xEE, 0xEE,
    11, 12, 13, 0xAA, 14, 15, 16, 0xAA, 17, 18, 19, 0xAA, 0xEE, 0xEE, 0xEE, 0xEE,
};

TEST(BmpFileWriter, TwentyFourBitFileFromSurfaceRows)
{
    const Bytes file = bmpFileFromBgrx({kSource.data(), 3, 2, 16}, 11811, 3937);
    // Rows of 9 bytes are padded to 12.
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    const std::vector<std::pair<std::size_t, std::uint32_t>> fields = {
        {2, 78}, {6, 0}, {10, 54}, {14, 40}, {18, 3}, {22, 2}, {30, 0}, {34, 24}, {38, 11811}, {42, 3937}, {46, 0}, {50, 0}};
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(u32At(file, offset), value) << "at " << offset;
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    // Bottom-up: the source's second row is stored first, its padding zero.
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()),
              (Bytes{11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
}

TEST(BmpFileWriter, ColourTableComesBeforeThePixels)
{
    BitmapInfoHeader header = bmpInfoHeader(5, 3, 8, 0, 0);
    header.coloursUsed = 2;
    const Bytes table = {0, 0, 255, 0, 255, 255, 255, 0};
    std::optional<BmpFile> file = newBmpFile(header, table);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->pixelOffset, 62u);
    EXPECT_EQ(file->stride, 8u);
    EXPECT_EQ(file->bytes.size(), 62u + 3 * 8);
    EXPECT_EQ(u32At(file->bytes, 2), file->bytes.size());
    EXPECT_EQ(u32At(file->bytes, 10), 62u);
    EXPECT_EQ(u32At(file->bytes, 34), 24u);  // the image size: three rows of eight bytes
    EXPECT_EQ(u32At(file->bytes, 46), 2u);
    EXPECT_EQ(Bytes(file->bytes.begin() + 54, file->bytes.begin() + 62), table);
    // The top row is the last one stored.
    EXPECT_EQ(file->rowFromTop(0), file->bytes.data() + 62 + 2 * 8);
    EXPECT_EQ(file->rowFromTop(2), file->bytes.data() + 62);
}

TEST(BmpFileWriter, RefusesWhatNoBitmapCanBe)
{
    EXPECT_FALSE(newBmpFile(bmpInfoHeader(0, 3, 24, 0, 0)));
    EXPECT_FALSE(newBmpFile(bmpInfoHeader(3, -3, 24, 0, 0)));
    EXPECT_FALSE(newBmpFile(bmpInfoHeader(3, 3, 2, 0, 0)));
    EXPECT_FALSE(newBmpFile(bmpInfoHeader(3, 3, 8, 0, 0), Bytes(257 * 4)));
    // Past the picture cap: refused before any allocation.
    EXPECT_FALSE(newBmpFile(bmpInfoHeader(65536, 65536, 1, 0, 0)));
    EXPECT_TRUE(bmpFileFromBgrx({kSource.data(), 0, 2, 16}, 0, 0).empty());
    EXPECT_TRUE(bmpFileFromBgrx({nullptr, 3, 2, 16}, 0, 0).empty());
}

// Laid out in place, the file is byte for byte the one the writer makes, whatever the memory held
// before (the padding of every row included); memory of another length is left alone.
TEST(BmpFileWriter, InPlaceFileIsTheWritersFile)
{
    const Bytes expected = bmpFileFromBgrx({kSource.data(), 3, 2, 16}, 11811, 3937);
    ASSERT_EQ(bgrxBmpFileBytes(3, 2), expected.size());
    Bytes memory(expected.size(), 0xCD);
    ASSERT_TRUE(writeBmpFileFromBgrx({kSource.data(), 3, 2, 16}, 11811, 3937, memory));
    EXPECT_EQ(memory, expected);

    Bytes wrongLength(expected.size() + 1, 0xCD);
    EXPECT_FALSE(writeBmpFileFromBgrx({kSource.data(), 3, 2, 16}, 11811, 3937, wrongLength));
    EXPECT_FALSE(writeBmpFileFromBgrx({kSource.data(), 3, 2, 16}, 11811, 3937, std::span(wrongLength).first(60)));
    EXPECT_EQ(wrongLength, Bytes(expected.size() + 1, 0xCD));
    EXPECT_FALSE(writeBmpFileFromBgrx({nullptr, 3, 2, 16}, 0, 0, memory));

    // Sides that are not positive, and a page past the picture cap, have no file.
    EXPECT_EQ(bgrxBmpFileBytes(0, 2), std::nullopt);
    EXPECT_EQ(bgrxBmpFileBytes(3, -2), std::nullopt);
    EXPECT_EQ(bgrxBmpFileBytes(20000, 20000), std::nullopt);
    // An A4 page at 0.1 mm per pixel: rows of 6300 bytes need no padding.
    EXPECT_EQ(bgrxBmpFileBytes(2100, 2970), 54u + 6300u * 2970u);
}

// The bitmap object and the surfaces write through the same writer: a top-down file loaded
// into the object comes back byte for byte as the writer makes the same pixels.
TEST(BmpFileWriter, BitmapObjectGivesTheWritersLayout)
{
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.topDown = true;
    spec.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {11, 12, 13, 14, 15, 16, 17, 18, 19}};
    DibBitmap bitmap;
    ASSERT_TRUE(bitmap.loadFromData(makeBmp(spec)));
    const auto data = bitmap.data();
    Bytes fromObject(data.begin(), data.end());
    // The loaded header's image size field was 0 and stays as it was given.
    poke32(fromObject, 34, 24);
    EXPECT_EQ(fromObject, bmpFileFromBgrx({kSource.data(), 3, 2, 16}, 0, 0));
}

}  // namespace
}  // namespace quillora::runtime::test
