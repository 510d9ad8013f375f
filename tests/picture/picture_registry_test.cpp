#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "picture_test_support.h"
#include "quillora/entry_table.h"
#include "runtime/picture/picture_commands.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::test {
namespace {

using runtime::PictureKind;

Bytes onePixelBmp()
{
    return bmpFile(1, 1, 24, {}, {10, 20, 30, 0});
}

TEST(PictureDetection, FirstSixBytesDecideTheKind)
{
    struct Case {
        Bytes bytes;
        PictureKind kind;
    };
    const Case cases[] = {
        {{'B', 'M', 0, 0, 0, 0}, PictureKind::Bmp},
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, PictureKind::Jpeg},
        {{0, 0, 1, 0, 1, 0}, PictureKind::Icon},
        {{0, 0, 2, 0, 3, 0}, PictureKind::Cursor},
        {{0, 0, 1, 0, 0, 0}, PictureKind::Empty},  // an icon file of no images
        {{'G', 'I', 'F', '8', '7', 'a'}, PictureKind::Gif},
        {{'G', 'I', 'F', '8', '9', 'a'}, PictureKind::Gif},
        {{'G', 'I', 'F', '8', '8', 'a'}, PictureKind::Empty},
        {{0x0A, 5, 1, 8, 0, 0}, PictureKind::Pcx8},
        {{0x0A, 6, 1, 8, 0, 0}, PictureKind::Empty},
        {{0x0A, 3, 1, 1, 0, 0}, PictureKind::Pcx1},
        {{0x0A, 5, 1, 1, 0, 0}, PictureKind::Empty},
        {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureKind::Empty},
        {{'B', 'M', 0, 0, 0}, PictureKind::Empty},  // fewer than six bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(runtime::detectPictureKind(c.bytes), c.kind) << int(c.bytes[0]) << ' ' << int(c.bytes[1]);
}

TEST(PictureRegistry, PixelCapAllowsHalfAGigabyteAtFourBytesAPixel)
{
    EXPECT_TRUE(runtime::pictureSizeAllowed(8192, 16384));
    EXPECT_FALSE(runtime::pictureSizeAllowed(8192, 16385));
    EXPECT_FALSE(runtime::pictureSizeAllowed(65535, 65535));
    EXPECT_FALSE(runtime::pictureSizeAllowed(0, 1));
    EXPECT_FALSE(runtime::pictureSizeAllowed(1ull << 40, 1ull << 40));
    EXPECT_FALSE(runtime::newPixelBuffer(4, 4, 1ull << 62));
    EXPECT_EQ(runtime::newPixelBuffer(3, 2, 12, 5)->size(), 29u);
}

TEST(PictureRegistry, PngAndEmptyDataGiveNoPicture)
{
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R',
                       0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0};
    EXPECT_EQ(runtime::loadPicture(png), 0);
    EXPECT_EQ(runtime::loadPicture({}), 0);
}

TEST(PictureRegistry, HandlesAreCheckedAgainstTheRegistry)
{
    const std::size_t before = runtime::loadedPictureCount();
    const runtime::PictureHandle first = runtime::loadPicture(onePixelBmp());
    const runtime::PictureHandle second = runtime::loadPicture(onePixelBmp());
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(runtime::loadedPictureCount(), before + 2);

    for (runtime::PictureHandle unknown : {0, second + 1000, -7}) {
        EXPECT_FALSE(runtime::isLoadedPicture(unknown));
        EXPECT_EQ(runtime::pictureKind(unknown), PictureKind::Empty);
        EXPECT_EQ(runtime::pictureWidth(unknown), 0);
        EXPECT_EQ(runtime::decodedPicture(unknown), nullptr);
        EXPECT_FALSE(runtime::pictureForDrawing(unknown));
        runtime::unloadPicture(unknown);
    }
    EXPECT_EQ(runtime::loadedPictureCount(), before + 2);

    runtime::unloadPicture(first);
    runtime::unloadPicture(first);
    EXPECT_FALSE(runtime::isLoadedPicture(first));
    EXPECT_FALSE(runtime::pictureForDrawing(first));
    EXPECT_EQ(runtime::pictureHeight(first), 0);
    EXPECT_TRUE(runtime::isLoadedPicture(second));

    // A new picture never takes the handle of one just unloaded.
    const runtime::PictureHandle third = runtime::loadPicture(onePixelBmp());
    EXPECT_NE(third, first);
    runtime::unloadPicture(second);
    runtime::unloadPicture(third);
    EXPECT_EQ(runtime::loadedPictureCount(), before);
}

// A drive C: over a fresh temporary folder.
class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("quillora-picture-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(folder_ / "sub");
        ::setenv("QUILLORA_DRIVES", ("C=" + folder_.string()).c_str(), 1);
        const Bytes bmp = onePixelBmp();
        std::ofstream(folder_ / "sub" / "one.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        std::ofstream(folder_ / "not-a-picture.bmp") << "plain text, not a picture";
    }
    void TearDown() override
    {
        ::unsetenv("QUILLORA_DRIVES");
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
};

TEST_F(PictureFiles, LoadsAFileNamedOnTheDriveMap)
{
    LoadedPicture picture(runtime::loadPictureFile("C:\\sub\\one.bmp"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelAt(picture.image(), 0, 0), (Bgra{10, 20, 30, 255}));

    EXPECT_EQ(runtime::loadPictureFile(""), 0);
    EXPECT_EQ(runtime::loadPictureFile("C:\\sub\\missing.bmp"), 0);
    EXPECT_EQ(runtime::loadPictureFile("C:\\sub"), 0);
    EXPECT_EQ(runtime::loadPictureFile("C:\\not-a-picture.bmp"), 0);
    EXPECT_EQ(runtime::loadPictureFile("Q:\\sub\\one.bmp"), 0);
}

RuntimeValue byteSetValue(std::vector<std::uint8_t>& block, const Bytes& bytes)
{
    ByteWriter writer;
    writer.u32(1).u32(static_cast<std::uint32_t>(bytes.size())).raw(bytes);
    block = writer.bytes;
    return makePointer(TypeCode::ByteSet, block.data());
}

TEST_F(PictureFiles, CommandsTakeByteSetsTextsAndHandles)
{
    std::vector<std::uint8_t> block;
    RuntimeValue args[1] = {byteSetValue(block, onePixelBmp())};
    RuntimeValue result{};
    LoadPicture(&result, 1, args);
    EXPECT_EQ(result.type, static_cast<std::uint32_t>(TypeCode::Integer));
    const std::int32_t fromBytes = asInt(result);
    ASSERT_NE(fromBytes, 0);

    const char* path = "C:\\sub\\one.bmp";
    args[0] = makePointer(TypeCode::Text, path);
    result = {};
    LoadPicture(&result, 1, args);
    const std::int32_t fromFile = asInt(result);
    ASSERT_NE(fromFile, 0);

    args[0] = makeInt(fromFile);
    result = {};
    PicturePixelWidth(&result, 1, args);
    EXPECT_EQ(asInt(result), 1);
    UnloadPicture(&result, 1, args);
    EXPECT_FALSE(runtime::isLoadedPicture(fromFile));
    runtime::unloadPicture(fromBytes);

    // An empty byte set, an empty text, a number and no argument at all load nothing.
    for (RuntimeValue source : {makePointer(TypeCode::ByteSet, nullptr), makePointer(TypeCode::Text, nullptr),
                                makeInt(5)}) {
        result = makeInt(99);
        LoadPicture(&result, 1, &source);
        EXPECT_EQ(asInt(result), 0);
    }
    result = makeInt(99);
    LoadPicture(&result, 0, nullptr);
    EXPECT_EQ(asInt(result), 0);
}

}  // namespace
}  // namespace quillora::test
