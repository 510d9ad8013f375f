#include "platform/fs/drive_map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace quillora::platform {
namespace {

namespace fs = std::filesystem;

// Three temp folders mapped as drives through QUILLORA_DRIVES; the previous setting comes back
// and the folders go away after each test.
class DriveMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("QUILLORA_DRIVES"))
            previous_ = previous;
        std::string pattern = (fs::temp_directory_path() / "quillora-drives-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/c/photos/nested");
        fs::create_directories(root_ + "/usb");
    }
    void TearDown() override
    {
        if (previous_)
            setenv("QUILLORA_DRIVES", previous_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        fs::remove_all(root_);
    }
    void mapDrives(const std::string& setting) { setenv("QUILLORA_DRIVES", setting.c_str(), 1); }

    std::string root_;
    std::optional<std::string> previous_;
};

TEST_F(DriveMapTest, SettingGivesLettersTypesAndLabelsInLetterOrder)
{
    mapDrives("e=" + root_ + "/usb|CDROM;c=" + root_ + "/c/;D=" + root_ + "/usb|removable|MY USB|2"
              + ";F=" + root_ + "|remote;G=" + root_ + "|ramdisk;H=" + root_ + "|floppy"
              + ";relative/folder;1=/x;J=;K=rel/x");
    const auto drives = currentDrives();
    ASSERT_EQ(drives.size(), 6u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[0].linuxRoot, root_ + "/c");
    EXPECT_EQ(drives[0].type, DriveType::Fixed);
    EXPECT_EQ(drives[0].label, "");
    EXPECT_EQ(drives[1].letter, 'D');
    EXPECT_EQ(drives[1].type, DriveType::Removable);
    EXPECT_EQ(drives[1].label, "MY USB|2");
    EXPECT_EQ(drives[2].type, DriveType::CdRom);
    EXPECT_EQ(drives[3].type, DriveType::Remote);
    EXPECT_EQ(drives[4].type, DriveType::RamDisk);
    EXPECT_EQ(drives[5].type, DriveType::Unknown);

    // The setting is read on every call.
    mapDrives("C=" + root_ + ";C=" + root_ + "/usb");
    ASSERT_EQ(currentDrives().size(), 1u);
    EXPECT_EQ(currentDrives()[0].linuxRoot, root_ + "/usb");
}

TEST_F(DriveMapTest, WindowsPathsBecomeLinuxPathsOnTheirDrive)
{
    mapDrives("C=" + root_ + "/c;D=" + root_ + "/usb");
    const std::string c = root_ + "/c";
    EXPECT_EQ(toLinuxPath("C:"), c);
    EXPECT_EQ(toLinuxPath("c:\\"), c);
    EXPECT_EQ(toLinuxPath("C:\\photos\\a.jpg"), c + "/photos/a.jpg");
    EXPECT_EQ(toLinuxPath("c:\\\\photos//nested\\\\"), c + "/photos/nested");
    EXPECT_EQ(toLinuxPath("C:\\photos\\.\\nested\\..\\b.jpg"), c + "/photos/b.jpg");
    EXPECT_EQ(toLinuxPath("C:\\photos\\..\\.."), std::nullopt);
    EXPECT_EQ(toLinuxPath("C:\\.."), std::nullopt);
    EXPECT_EQ(toLinuxPath("d:\\x"), root_ + "/usb/x");
    EXPECT_EQ(toLinuxPath("Q:\\x"), std::nullopt);
    EXPECT_EQ(toLinuxPath("photos\\a.jpg"), "photos/a.jpg");
    EXPECT_EQ(toLinuxPath("\\photos"), c + "/photos");
    EXPECT_EQ(toLinuxPath("\\\\server\\share"), std::nullopt);

    ASSERT_TRUE(driveOfPath("d:"));
    EXPECT_EQ(driveOfPath("d:")->letter, 'D');
    EXPECT_FALSE(driveOfPath("E:\\"));
    EXPECT_FALSE(driveOfPath("photos"));
}

TEST_F(DriveMapTest, LinuxPathsTakeTheDriveWithTheLongestRoot)
{
    // D's folder lies inside C's: a path below it belongs to D.
    mapDrives("C=" + root_ + ";D=" + root_ + "/usb");
    EXPECT_EQ(toWindowsPath(root_), "C:\\");
    EXPECT_EQ(toWindowsPath(root_ + "/c//photos/"), "C:\\c\\photos");
    EXPECT_EQ(toWindowsPath(root_ + "/usb"), "D:\\");
    EXPECT_EQ(toWindowsPath(root_ + "/usb/x/../y.jpg"), "D:\\y.jpg");
    EXPECT_EQ(toWindowsPath(root_ + "/usbx"), "C:\\usbx");
    EXPECT_EQ(toWindowsPath("/"), std::nullopt);
    EXPECT_EQ(toWindowsPath("relative"), std::nullopt);
    EXPECT_EQ(toWindowsPath(root_ + "/back\\slash"), std::nullopt);

    // Names that are not UTF-8 pass through both ways unchanged.
    const std::string name = "\xB7\xE7\xBE\xB0\xff.jpg";
    const auto windowsPath = toWindowsPath(root_ + "/c/" + name);
    EXPECT_EQ(windowsPath, "C:\\c\\" + name);
    EXPECT_EQ(toLinuxPath(*windowsPath), root_ + "/c/" + name);
}

TEST(DriveMountTable, VolumesUnderMediaAndMntGetLettersByFolder)
{
    const std::string table =
        "/dev/root / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/no-such-disk-1 /mnt/data ext4 rw 0 0\n"
        "/dev/no-such-disk-2 /media/ann/My\\040Photos vfat rw 0 0\n"
        "/dev/no-such-disk-3 /media/ann/cd iso9660 ro 0 0\n"
        "server:/share /run/media/ann/nas nfs4 rw 0 0\n"
        "none /mnt/ram tmpfs rw 0 0\n"
        "/dev/no-such-disk-4 /mnt/data xfs rw 0 0\n"
        "/dev/no-such-disk-5 /media vfat rw 0 0\n"
        "/dev/no-such-disk-6 /home ext4 rw 0 0\n"
        "broken line\n";
    const auto drives = drivesFromMountTable(table);
    ASSERT_EQ(drives.size(), 6u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[0].linuxRoot, "/");
    EXPECT_EQ(drives[0].fileSystem, "ext4");

    struct Expected {
        char letter;
        const char* root;
        DriveType type;
        const char* label;
    };
    const Expected expected[] = {
        {'D', "/media/ann/My Photos", DriveType::Removable, "My Photos"},
        {'E', "/media/ann/cd", DriveType::CdRom, "cd"},
        {'F', "/run/media/ann/nas", DriveType::Remote, "nas"},
        {'G', "/mnt/data", DriveType::Fixed, "data"},
        {'H', "/mnt/ram", DriveType::RamDisk, "ram"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].root);
        EXPECT_EQ(drives[i + 1].letter, expected[i].letter);
        EXPECT_EQ(drives[i + 1].linuxRoot, expected[i].root);
        EXPECT_EQ(drives[i + 1].type, expected[i].type);
        EXPECT_EQ(drives[i + 1].label, expected[i].label);
    }
    // The later mount over /mnt/data is the one that shows.
    EXPECT_EQ(drives[4].fileSystem, "xfs");
}

TEST(DriveMountTable, LettersStopAtZ)
{
    std::string table = "/dev/root / ext4 rw 0 0\n";
    for (int i = 0; i < 40; ++i)
        table += "none /mnt/v" + std::to_string(100 + i) + " ext4 rw 0 0\n";
    const auto drives = drivesFromMountTable(table);
    ASSERT_EQ(drives.size(), 24u);
    EXPECT_EQ(drives.back().letter, 'Z');
    EXPECT_EQ(drives.back().linuxRoot, "/mnt/v122");
}

}  // namespace
}  // namespace quillora::platform
