// Drive letters over Linux folders: how the program's Windows-style paths ("C:\photos\a.jpg")
// reach the Linux file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::platform {

enum class DriveType {
    Unknown = 0,
    NoRootDirectory = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

struct Drive {
    char letter = 'C';        // upper case
    std::string linuxRoot;    // "/" or "/media/usb"
    DriveType type = DriveType::Fixed;
    std::string label;        // volume label, may be empty
    std::string fileSystem;   // "ext4", "vfat", ...; may be empty
};

// The drives of this machine: QUILLORA_DRIVES ("C=/dir;D=/other|removable|LABEL") when set,
// otherwise C: = / plus one letter per mounted volume under /media, /run/media and /mnt.
std::vector<Drive> currentDrives();

// The drive a Windows path starts on ("c:\x" and "C:" name drive C), if it is mapped.
std::optional<Drive> driveOfPath(std::string_view windowsPath);

// The Linux path of a Windows path: drive letter mapped, backslashes turned into slashes. A path
// without a drive letter stays relative (slashes only). A path on an unmapped drive, or one
// whose ".." parts would climb above its drive root, gives nothing.
std::optional<std::string> toLinuxPath(std::string_view windowsPath);

// The Windows path of a Linux path on one of the drives (the reverse of toLinuxPath), on the
// drive whose root is the longest prefix. A relative path, one that climbs above "/", and one
// holding a backslash (which no Windows name can carry) give nothing.
std::optional<std::string> toWindowsPath(std::string_view linuxPath);

// The default map built from a mount table in the format of /proc/self/mounts: C: = / and the
// next letter for every volume mounted below /media, /run/media or /mnt. currentDrives() uses it
// when QUILLORA_DRIVES is not set; tests feed it their own tables.
std::vector<Drive> drivesFromMountTable(std::string_view mountTable);

// The map QUILLORA_DRIVES describes ("C=/dir;D=/other|removable|LABEL"), in letter order. Type
// words: fixed, removable, cdrom, remote, ramdisk (an unknown word gives DriveType::Unknown).
// Entries without a letter or an absolute folder are ignored; a later entry for a letter
// replaces an earlier one.
std::vector<Drive> drivesFromSetting(std::string_view setting, std::string_view mountTable = {});

}  // namespace quillora::platform
