// The two runtime commands the page export stands on: writing a new file that never replaces
// one, and turning the folder browser's answer into a drive path.
#include "quillora/dialog_commands.h"
#include "quillora/new_file_commands.h"
#include "runtime/core/folder_prompt_command.h"
#include "runtime/core/memory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace quillora {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Drive C: and D: over two temp folders; E: over a sysfs folder where nobody, not even root, may
// create a file.
class DriveFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* drives = std::getenv("QUILLORA_DRIVES");
        savedDrives_ = drives ? std::optional<std::string>(drives) : std::nullopt;
        std::string pattern = (fs::temp_directory_path() / "quillora-printjob-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "c");
        fs::create_directories(root_ / "d" / "album");
        const std::string map = "C=" + (root_ / "c").string() + ";D=" + (root_ / "d").string() + "|removable|Data" +
                                ";E=/sys/kernel|fixed|Sys";
        setenv("QUILLORA_DRIVES", map.c_str(), 1);
    }
    void TearDown() override
    {
        if (savedDrives_)
            setenv("QUILLORA_DRIVES", savedDrives_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        fs::permissions(root_ / "d" / "album", fs::perms::owner_all);
        fs::remove_all(root_);
    }

    NewFileResult writeNew(const std::string& path, const std::string& bytes)
    {
        const std::size_t length = bytes.size();
        void* block = runtime::newByteSetBlock(bytes.data(), length);
        RuntimeValue arguments[] = {makePointer(TypeCode::Text, path.c_str()), makePointer(TypeCode::ByteSet, block)};
        RuntimeValue result{};
        WriteNewFile(&result, 2, arguments);
        runtime::freeBlock(block);
        return static_cast<NewFileResult>(asInt(result));
    }

    // Nothing but the named files: no temporary file is left behind.
    std::size_t entriesIn(const fs::path& folder)
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path root_;
    std::optional<std::string> savedDrives_;
};

using WriteNewFileTest = DriveFolderTest;

TEST_F(WriteNewFileTest, WritesTheBytesUnderTheName)
{
    EXPECT_EQ(writeNew("D:\\album\\20100406_90503_1.png", std::string("\x89PNG\0\1", 6)), NewFileResult::Written);
    EXPECT_EQ(contentOf(root_ / "d" / "album" / "20100406_90503_1.png"), std::string("\x89PNG\0\1", 6));
    EXPECT_EQ(entriesIn(root_ / "d" / "album"), 1u);
}

TEST_F(WriteNewFileTest, AnExistingFileIsNeverReplaced)
{
    std::ofstream(root_ / "d" / "album" / "page.bmp") << "earlier job";
    EXPECT_EQ(writeNew("D:\\album\\page.bmp", "new page"), NewFileResult::NameTaken);
    EXPECT_EQ(contentOf(root_ / "d" / "album" / "page.bmp"), "earlier job");
    EXPECT_EQ(entriesIn(root_ / "d" / "album"), 1u);

    fs::create_directories(root_ / "d" / "album" / "folder.bmp");
    EXPECT_EQ(writeNew("D:\\album\\folder.bmp", "x"), NewFileResult::NameTaken);
}

TEST_F(WriteNewFileTest, FailuresSayWhyAndLeaveNothing)
{
    EXPECT_EQ(writeNew("D:\\missing\\page.bmp", "x"), NewFileResult::FolderMissing);
    EXPECT_EQ(writeNew("Q:\\page.bmp", "x"), NewFileResult::InvalidName);
    EXPECT_EQ(writeNew("", "x"), NewFileResult::InvalidName);
    EXPECT_EQ(writeNew("D:\\album\\" + std::string(300, 'n') + ".bmp", "x"), NewFileResult::InvalidName);
    EXPECT_EQ(writeNew("E:\\quillora_page.bmp", "x"), NewFileResult::NotPermitted);
    if (geteuid() != 0) {
        fs::permissions(root_ / "d" / "album", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(writeNew("D:\\album\\page.bmp", "x"), NewFileResult::NotPermitted);
        fs::permissions(root_ / "d" / "album", fs::perms::owner_all);
    }
    EXPECT_EQ(entriesIn(root_ / "d" / "album"), 0u);
}

using FolderAnswerTest = DriveFolderTest;

TEST_F(FolderAnswerTest, DrivePathsComeBackInDriveForm)
{
    EXPECT_EQ(runtime::folderInDriveForm("D:\\album").drivePath, "D:\\album");
    EXPECT_EQ(runtime::folderInDriveForm("d:/album/").drivePath, "D:\\album");
    EXPECT_EQ(runtime::folderInDriveForm("D:\\album\\..\\album").drivePath, "D:\\album");
    EXPECT_EQ(runtime::folderInDriveForm("D:").drivePath, "D:\\");
    EXPECT_EQ(runtime::folderInDriveForm("D:\\").drivePath, "D:\\");
}

TEST_F(FolderAnswerTest, LinuxPathsAreTakenThroughTheDriveMap)
{
    EXPECT_EQ(runtime::folderInDriveForm((root_ / "d" / "album").string()).drivePath, "D:\\album");
    EXPECT_EQ(runtime::folderInDriveForm((root_ / "d" / "album").string() + "/").drivePath, "D:\\album");
    EXPECT_EQ(runtime::folderInDriveForm((root_ / "d").string()).drivePath, "D:\\");
}

TEST_F(FolderAnswerTest, FoldersOffTheDrivesOrMissingAreRefused)
{
    fs::create_directories(root_ / "elsewhere");
    const runtime::ChosenFolder outside = runtime::folderInDriveForm((root_ / "elsewhere").string());
    EXPECT_TRUE(outside.drivePath.empty());
    EXPECT_NE(outside.refusal.find("不在任何驱动器上"), std::string::npos) << outside.refusal;

    const runtime::ChosenFolder unmapped = runtime::folderInDriveForm("Q:\\album");
    EXPECT_TRUE(unmapped.drivePath.empty());
    EXPECT_NE(unmapped.refusal.find("不在任何驱动器上"), std::string::npos);

    const runtime::ChosenFolder missing = runtime::folderInDriveForm("D:\\nothing");
    EXPECT_TRUE(missing.drivePath.empty());
    EXPECT_NE(missing.refusal.find("不存在"), std::string::npos);

    EXPECT_TRUE(runtime::folderInDriveForm("relative/folder").drivePath.empty());
    EXPECT_TRUE(runtime::folderInDriveForm("D:\\..\\..").drivePath.empty());
}

TEST_F(FolderAnswerTest, WithNobodyToAskTheBrowserCountsAsCancelled)
{
    const char title[] = "请选择要保存的文件夹，文件名电脑自动起：";
    RuntimeValue arguments[] = {makePointer(TypeCode::Text, title)};
    RuntimeValue result{};
    BrowseForFolder(&result, 1, arguments);
    EXPECT_EQ(asPointer(result), nullptr);
}

}  // namespace
}  // namespace quillora
