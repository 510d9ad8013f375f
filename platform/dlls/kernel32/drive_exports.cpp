// kernel32.dll: drives and volumes, answered from the drive map of the platform layer.
#include "platform/dlls/shared/export.h"
#include "platform/fs/drive_map.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

using namespace quillora;

namespace {

// Volume flags of GetVolumeInformationA. Linux file systems match names case-sensitively,
// preserve their case and store Unicode names.
constexpr win::DWORD kCaseSensitiveSearch = 0x1;
constexpr win::DWORD kCasePreservedNames = 0x2;
constexpr win::DWORD kUnicodeOnDisk = 0x4;
constexpr win::DWORD kReadOnlyVolume = 0x80000;
constexpr win::DWORD kMaxComponentLength = 255;

// Each entry of GetLogicalDriveStringsA is "C:\" and its terminating zero.
constexpr win::DWORD kDriveStringBytes = 4;

// The drive a root path names: "C:\", "C:/" or "C:". A longer path is not a root. A null root
// means the drive of the current folder.
std::optional<platform::Drive> driveOfRoot(const char* rootPath)
{
    if (!rootPath) {
        char folder[PATH_MAX];
        if (!::getcwd(folder, sizeof folder))
            return std::nullopt;
        const std::optional<std::string> windowsFolder = platform::toWindowsPath(folder);
        return windowsFolder ? platform::driveOfPath(*windowsFolder) : std::nullopt;
    }
    const std::string_view root = rootPath;
    const bool isRoot = root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'));
    if (!isRoot)
        return std::nullopt;
    return platform::driveOfPath(root);
}

// FNV-1a over the drive's Linux folder: the same folder always gives the same serial number.
win::DWORD serialNumberOf(const std::string& linuxRoot)
{
    win::DWORD hash = 2166136261u;
    for (const unsigned char c : linuxRoot) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

// Copies a text into a caller's buffer of `size` bytes; false when it does not fit with its
// terminator. A null buffer asks for nothing and always succeeds.
bool copyText(const std::string& text, char* buffer, win::DWORD size)
{
    if (!buffer)
        return true;
    if (text.size() + 1 > size)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

// Writes "C:\", "D:\", ... each with its zero and one more zero at the end, and returns the
// length without that last zero. A buffer that is too small (or null) receives nothing and the
// result is the size it would need.
QUILLORA_DLL_EXPORT win::DWORD GetLogicalDriveStringsA(win::DWORD bufferLength, char* buffer)
{
    const std::vector<platform::Drive> drives = platform::currentDrives();
    const auto length = static_cast<win::DWORD>(drives.size()) * kDriveStringBytes;
    if (!buffer || bufferLength < length + 1)
        return length + 1;
    char* out = buffer;
    for (const platform::Drive& drive : drives) {
        *out++ = drive.letter;
        *out++ = ':';
        *out++ = '\\';
        *out++ = 0;
    }
    *out = 0;
    return length;
}

QUILLORA_DLL_EXPORT win::UINT GetDriveTypeA(const char* rootPath)
{
    const std::optional<platform::Drive> drive = driveOfRoot(rootPath);
    if (!drive)
        return win::DRIVE_NO_ROOT_DIR;
    return static_cast<win::UINT>(drive->type);
}

// Fails, as a drive without a medium does, when the root is not mapped or its folder cannot be
// read; also when a given buffer is too small for its text.
QUILLORA_DLL_EXPORT win::BOOL GetVolumeInformationA(const char* rootPath, char* volumeName, win::DWORD volumeNameSize,
                                                    win::DWORD* serialNumber, win::DWORD* maxComponentLength,
                                                    win::DWORD* fileSystemFlags, char* fileSystemName,
                                                    win::DWORD fileSystemNameSize)
{
    const std::optional<platform::Drive> drive = driveOfRoot(rootPath);
    if (!drive)
        return 0;
    struct stat status;
    if (::stat(drive->linuxRoot.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        ::access(drive->linuxRoot.c_str(), R_OK | X_OK) != 0)
        return 0;
    if (!copyText(drive->label, volumeName, volumeNameSize) ||
        !copyText(drive->fileSystem, fileSystemName, fileSystemNameSize))
        return 0;
    if (serialNumber)
        *serialNumber = serialNumberOf(drive->linuxRoot);
    if (maxComponentLength)
        *maxComponentLength = kMaxComponentLength;
    if (fileSystemFlags) {
        struct statvfs volume;
        const bool readOnly = ::statvfs(drive->linuxRoot.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY);
        *fileSystemFlags = kCaseSensitiveSearch | kCasePreservedNames | kUnicodeOnDisk | (readOnly ? kReadOnlyVolume : 0);
    }
    return 1;
}

static_assert(std::is_same_v<decltype(&GetLogicalDriveStringsA), win::GetLogicalDriveStringsAFn>);
static_assert(std::is_same_v<decltype(&GetDriveTypeA), win::GetDriveTypeAFn>);
static_assert(std::is_same_v<decltype(&GetVolumeInformationA), win::GetVolumeInformationAFn>);
static_assert(static_cast<win::UINT>(platform::DriveType::RamDisk) == win::DRIVE_RAMDISK);
static_assert(static_cast<win::UINT>(platform::DriveType::Removable) == win::DRIVE_REMOVABLE);
