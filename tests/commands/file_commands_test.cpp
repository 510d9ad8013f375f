#include "command_test_support.h"
#include "quillora/core_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace quillora {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

// A temp folder mapped as drive C:, with the environment variables the test changes put back
// afterwards.
class CommandFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        remember("QUILLORA_DRIVES");
        remember("HOME");
        remember("XDG_CONFIG_HOME");
        std::string pattern = (fs::temp_directory_path() / "quillora-commands-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        setenv("QUILLORA_DRIVES", ("C=" + root_).c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        fs::remove_all(root_);
    }
    void remember(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    void writeFile(const std::string& relative, const std::string& content)
    {
        fs::create_directories(fs::path(root_ + "/" + relative).parent_path());
        std::ofstream(root_ + "/" + relative, std::ios::binary) << content;
    }

    std::string root_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

using FileCommands = CommandFolderTest;

TEST_F(FileCommands, WriteThenReadRoundTripSkipsEmptyByteSets)
{
    const char first[] = {'B', 'M', '\0', '\xFF'};
    void* firstBlock = runtime::newByteSetBlock(first, sizeof first);
    void* secondBlock = runtime::newByteSetBlock("tail", 4);
    const RuntimeValue written = call(WriteFile, text("C:\\out\\page.bmp"), makePointer(TypeCode::ByteSet, firstBlock),
                                      makePointer(TypeCode::ByteSet, nullptr), makeInt(5),
                                      makePointer(TypeCode::ByteSet, secondBlock));
    fs::create_directories(root_ + "/out");
    EXPECT_FALSE(asBool(written)) << "the folder did not exist yet";

    EXPECT_TRUE(asBool(call(WriteFile, text("C:\\out\\page.bmp"), makePointer(TypeCode::ByteSet, firstBlock),
                            makePointer(TypeCode::ByteSet, nullptr), makeInt(5),
                            makePointer(TypeCode::ByteSet, secondBlock))));
    EXPECT_EQ(takeBytes(call(ReadFile, text("c:/out/page.bmp"))),
              (std::vector<std::uint8_t>{'B', 'M', 0, 0xFF, 't', 'a', 'i', 'l'}));

    // Writing again truncates; writing nothing leaves an empty file.
    EXPECT_TRUE(asBool(call(WriteFile, text("C:\\out\\page.bmp"), makePointer(TypeCode::ByteSet, secondBlock))));
    EXPECT_EQ(fs::file_size(root_ + "/out/page.bmp"), 4u);
    EXPECT_TRUE(asBool(call(WriteFile, text("C:\\out\\page.bmp"))));
    EXPECT_EQ(fs::file_size(root_ + "/out/page.bmp"), 0u);
    EXPECT_EQ(asPointer(call(ReadFile, text("C:\\out\\page.bmp"))), nullptr);
    runtime::freeBlock(firstBlock);
    runtime::freeBlock(secondBlock);
}

TEST_F(FileCommands, FailuresAreResultsNotCrashes)
{
    EXPECT_FALSE(asBool(call(WriteFile, text(""), makeInt(1))));
    EXPECT_FALSE(asBool(call(WriteFile, text("Q:\\x.bin"))));
    EXPECT_FALSE(asBool(call(WriteFile, text("C:\\"))));
    EXPECT_FALSE(asBool(call(WriteFile, text("C:\\..\\escape.bin"))));
    EXPECT_FALSE(fs::exists(fs::path(root_).parent_path() / "escape.bin"));
    EXPECT_EQ(asPointer(call(ReadFile, text("C:\\missing.jpg"))), nullptr);
    EXPECT_EQ(asPointer(call(ReadFile, text("C:\\"))), nullptr);
    EXPECT_EQ(asPointer(call(ReadFile, text(""))), nullptr);
    EXPECT_EQ(asPointer(call(ReadFile, makeInt(3))), nullptr);
}

TEST_F(FileCommands, ExistsAndSizeFollowTheFirstMatchingEntry)
{
    writeFile("photos/b.jpg", "12345");
    writeFile("photos/A.JPG", "123");
    EXPECT_TRUE(asBool(call(FileExists, text("C:\\photos\\b.jpg"))));
    EXPECT_TRUE(asBool(call(FileExists, text("C:\\photos"))));
    EXPECT_FALSE(asBool(call(FileExists, text("C:\\photos\\c.jpg"))));
    EXPECT_FALSE(asBool(call(FileExists, text(""))));
    EXPECT_EQ(asInt(call(FileSize, text("C:\\photos\\b.jpg"))), 5);
    EXPECT_EQ(asInt(call(FileSize, text("C:\\photos\\missing.jpg"))), -1);
    EXPECT_EQ(asInt(call(FileSize, text("D:\\b.jpg"))), -1);

    // Wildcards: names compare without letter case and in listing order, so A.JPG comes first.
    EXPECT_TRUE(asBool(call(FileExists, text("C:\\photos\\*.jpg"))));
    EXPECT_TRUE(asBool(call(FileExists, text("C:\\photos\\?.JPG"))));
    EXPECT_FALSE(asBool(call(FileExists, text("C:\\photos\\*.png"))));
    EXPECT_FALSE(asBool(call(FileExists, text("C:\\nowhere\\*.jpg"))));
    EXPECT_EQ(asInt(call(FileSize, text("C:\\photos\\*.jpg"))), 3);
    EXPECT_EQ(asInt(call(FileSize, text("C:\\photos\\b*"))), 5);
    EXPECT_EQ(asInt(call(FileSize, text("C:\\photos\\*.png"))), -1);
}

using SpecialFolders = CommandFolderTest;

TEST_F(SpecialFolders, UserDirsEntriesOnTheirDrive)
{
    setenv("HOME", (root_ + "/home/user").c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(root_ + "/home/user/桌面");
    fs::create_directories(root_ + "/srv/docs");
    writeFile("home/user/.config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\n"
              "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
              "XDG_DOCUMENTS_DIR=\"" + root_ + "/srv/docs\"\n");
    EXPECT_EQ(takeText(call(SpecialFolder, makeInt(3))), "C:\\home\\user\\桌面\\");
    EXPECT_EQ(takeText(call(SpecialFolder, makeByte(1))), "C:\\srv\\docs\\");
    EXPECT_EQ(asPointer(call(SpecialFolder, makeInt(2))), nullptr);
}

TEST_F(SpecialFolders, FallBackToStandardNamesThenHome)
{
    setenv("HOME", (root_ + "/home/user").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    fs::create_directories(root_ + "/home/user/Documents");
    writeFile("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Gone\"\nXDG_DOCUMENTS_DIR=relative\n");
    EXPECT_EQ(takeText(call(SpecialFolder, makeInt(1))), "C:\\home\\user\\Documents\\");
    EXPECT_EQ(takeText(call(SpecialFolder, makeInt(3))), "C:\\home\\user\\");

    // A home folder outside every drive cannot be named by a Windows path.
    setenv("HOME", "/", 1);
    EXPECT_EQ(asPointer(call(SpecialFolder, makeInt(3))), nullptr);
}

}  // namespace
}  // namespace quillora
