// The stand-in kernel32.dll's drives and volumes over a QUILLORA_DRIVES map of temporary folders.
#include "platform/fs/drive_map.h"
#include "tests/core/stand_in_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using namespace quillora;
using test_support::dllCommand;

class StandInDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("QUILLORA_DRIVES"))
            previousSetting_ = previous;
        char pattern[] = "/tmp/quillora-drives-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        for (const char* folder : {"system", "camera", "disc", "share", "ram", "odd"})
            std::filesystem::create_directory(root_ / folder);
    }

    void TearDown() override
    {
        if (previousSetting_)
            setenv("QUILLORA_DRIVES", previousSetting_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        std::filesystem::remove_all(root_);
    }

    std::string folder(const char* name) const { return (root_ / name).string(); }

    // C: fixed, D: removable "CAMERA", F: CD, G: remote, H: RAM disk, K: an unknown type word.
    void mapDrives()
    {
        const std::string setting = "C=" + folder("system") + ";D=" + folder("camera") + "|removable|CAMERA;F=" +
                                    folder("disc") + "|cdrom|;G=" + folder("share") + "|remote;H=" + folder("ram") +
                                    "|ramdisk;K=" + folder("odd") + "|tape";
        setenv("QUILLORA_DRIVES", setting.c_str(), 1);
    }

    win::GetLogicalDriveStringsAFn driveStrings = dllCommand<win::GetLogicalDriveStringsAFn>(
        DllCommand::GetLogicalDriveStringsA);
    win::GetDriveTypeAFn driveType = dllCommand<win::GetDriveTypeAFn>(DllCommand::GetDriveTypeA);
    win::GetVolumeInformationAFn volumeInformation =
        dllCommand<win::GetVolumeInformationAFn>(DllCommand::GetVolumeInformationA);

    std::filesystem::path root_;
    std::optional<std::string> previousSetting_;
};

TEST_F(StandInDrives, DriveStringsListEveryDriveInLetterOrder)
{
    mapDrives();
    char buffer[255];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(driveStrings(255, buffer), 24u);
    EXPECT_EQ(std::string(buffer, 26), std::string("C:\\\0D:\\\0F:\\\0G:\\\0H:\\\0K:\\\0\0x", 26));
}

TEST_F(StandInDrives, DriveStringsAskForRoomWhenTheBufferIsTooSmall)
{
    mapDrives();
    char buffer[24];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(driveStrings(24, buffer), 25u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(driveStrings(0, nullptr), 25u);
}

TEST_F(StandInDrives, DriveStringsFollowTheSettingAtEachCall)
{
    setenv("QUILLORA_DRIVES", ("E=" + folder("camera")).c_str(), 1);
    char buffer[16];
    ASSERT_EQ(driveStrings(sizeof buffer, buffer), 4u);
    EXPECT_EQ(std::string(buffer, 5), std::string("E:\\\0\0", 5));
}

TEST_F(StandInDrives, TypesComeFromTheMap)
{
    mapDrives();
    EXPECT_EQ(driveType("C:"), win::DRIVE_FIXED);
    EXPECT_EQ(driveType("D:"), win::DRIVE_REMOVABLE);
    EXPECT_EQ(driveType("F:\\"), win::DRIVE_CDROM);
    EXPECT_EQ(driveType("g:"), win::DRIVE_REMOTE);
    EXPECT_EQ(driveType("H:/"), win::DRIVE_RAMDISK);
    EXPECT_EQ(driveType("K:"), win::DRIVE_UNKNOWN);
}

TEST_F(StandInDrives, UnmappedOrMalformedRootsHaveNoRootDirectory)
{
    mapDrives();
    EXPECT_EQ(driveType("E:"), win::DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(driveType("C:\\system"), win::DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(driveType("1:"), win::DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(driveType(""), win::DRIVE_NO_ROOT_DIR);
}

TEST_F(StandInDrives, NullRootIsTheDriveOfTheCurrentFolder)
{
    mapDrives();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder("camera"));
    const win::UINT type = driveType(nullptr);
    std::filesystem::current_path(previous);
    EXPECT_EQ(type, win::DRIVE_REMOVABLE);
}

TEST_F(StandInDrives, VolumeInformationOfAMappedDrive)
{
    mapDrives();
    char label[255] = "x";
    char fileSystem[32] = "x";
    win::DWORD serial = 0, maxComponent = 0, flags = 0;
    ASSERT_NE(volumeInformation("D:\\", label, sizeof label, &serial, &maxComponent, &flags, fileSystem,
                                sizeof fileSystem),
              0);
    EXPECT_STREQ(label, "CAMERA");
    EXPECT_EQ(maxComponent, 255u);
    EXPECT_NE(serial, 0u);
    EXPECT_EQ(std::string(fileSystem), platform::driveOfPath("D:")->fileSystem);

    // The serial number is the drive's own: stable between calls, different on another drive.
    win::DWORD again = 0, other = 0;
    ASSERT_NE(volumeInformation("D:\\", nullptr, 0, &again, nullptr, nullptr, nullptr, 0), 0);
    ASSERT_NE(volumeInformation("C:\\", label, sizeof label, &other, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(again, serial);
    EXPECT_NE(other, serial);
    EXPECT_STREQ(label, "");
}

TEST_F(StandInDrives, VolumeInformationFailsWithoutAVolume)
{
    mapDrives();
    char label[255];
    EXPECT_EQ(volumeInformation("E:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(volumeInformation("D:\\camera", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0), 0);
    // A mapped drive whose folder is gone is a drive without a medium.
    std::filesystem::remove(folder("disc"));
    EXPECT_EQ(volumeInformation("F:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(driveType("F:\\"), win::DRIVE_CDROM);
}

TEST_F(StandInDrives, VolumeInformationFailsWhenTheLabelDoesNotFit)
{
    mapDrives();
    char label[6];
    EXPECT_EQ(volumeInformation("D:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0), 0);
    char exact[7];
    EXPECT_NE(volumeInformation("D:\\", exact, sizeof exact, nullptr, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_STREQ(exact, "CAMERA");
}

}  // namespace
