#include "platform/fs/drive_map.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include <dirent.h>

namespace quillora::platform {
namespace {

// The mount table is a few kilobytes; anything far larger is not a mount table we can trust.
constexpr std::size_t kMaxMountTableBytes = 4 * 1024 * 1024;
constexpr char kLastLetter = 'Z';

struct Mount {
    std::string device;
    std::string mountPoint;
    std::string fileSystem;
};

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The kernel writes a space in a mount point as \040 (and tab, newline and backslash likewise as
// three octal digits), so that the table's fields stay separated by single spaces.
std::string decodeMountField(std::string_view field)
{
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                decoded += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        decoded += field[i];
    }
    return decoded;
}

// udev names the links in /dev/disk/by-label with unsafe bytes as \xHH ("My\x20Disk").
std::string decodeUdevName(std::string_view name)
{
    std::string decoded;
    decoded.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = hexDigit(name[i + 2]);
            const int low = hexDigit(name[i + 3]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        decoded += name[i];
    }
    return decoded;
}

std::vector<Mount> parseMountTable(std::string_view table)
{
    std::vector<Mount> mounts;
    while (!table.empty()) {
        const std::size_t lineEnd = std::min(table.find('\n'), table.size());
        std::string_view line = table.substr(0, lineEnd);
        table.remove_prefix(std::min(lineEnd + 1, table.size()));

        std::string_view fields[3];
        std::size_t count = 0;
        while (count < 3 && !line.empty()) {
            const std::size_t start = line.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                break;
            line.remove_prefix(start);
            const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
            fields[count++] = line.substr(0, end);
            line.remove_prefix(end);
        }
        if (count < 3)
            continue;
        mounts.push_back({decodeMountField(fields[0]), decodeMountField(fields[1]),
                          std::string(fields[2])});
    }
    return mounts;
}

std::string readMountTable()
{
    std::ifstream file("/proc/self/mounts", std::ios::binary);
    std::string table;
    char buffer[8192];
    while (file && table.size() < kMaxMountTableBytes) {
        file.read(buffer, sizeof buffer);
        table.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    return table;
}

// Splits a path at any of `separators`, leaves out empty and "." parts and lets ".." take back
// the part before it. A ".." with nothing before it climbs above the start: that gives nothing,
// unless `keepLeadingParents` lets a relative path keep it.
std::optional<std::vector<std::string_view>> normalisedParts(std::string_view path,
                                                             std::string_view separators,
                                                             bool keepLeadingParents)
{
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find_first_of(separators), path.size());
        const std::string_view part = path.substr(0, end);
        path.remove_prefix(std::min(end + 1, path.size()));
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (keepLeadingParents)
                parts.push_back(part);
            else
                return std::nullopt;
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

std::string joinParts(std::string prefix, const std::vector<std::string_view>& parts, char separator)
{
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 || (!prefix.empty() && prefix.back() != separator))
            prefix += separator;
        prefix += parts[i];
    }
    return prefix;
}

// "/media//usb/" → "/media/usb"; nothing for a relative folder or one that climbs above "/".
std::optional<std::string> normaliseLinuxRoot(std::string_view folder)
{
    if (folder.empty() || folder.front() != '/')
        return std::nullopt;
    const auto parts = normalisedParts(folder, "/", false);
    if (!parts)
        return std::nullopt;
    return joinParts("/", *parts, '/');
}

bool isBelowOrAt(std::string_view path, std::string_view root)
{
    if (root == "/")
        return !path.empty() && path.front() == '/';
    return path.substr(0, root.size()) == root && (path.size() == root.size() || path[root.size()] == '/');
}

bool isStrictlyBelow(std::string_view path, std::string_view base)
{
    return path.size() > base.size() + 1 && isBelowOrAt(path, base);
}

// The file system of the mount that holds `folder`: the longest mount point above it.
std::string fileSystemOf(const std::vector<Mount>& mounts, std::string_view folder)
{
    std::string fileSystem;
    std::size_t bestLength = 0;
    for (const Mount& mount : mounts) {
        if (isBelowOrAt(folder, mount.mountPoint) && mount.mountPoint.size() >= bestLength) {
            bestLength = mount.mountPoint.size();
            fileSystem = mount.fileSystem;
        }
    }
    return fileSystem;
}

std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The label of the volume on `device`, from the links in /dev/disk/by-label.
std::string labelOfDevice(const std::string& device)
{
    if (device.rfind("/dev/", 0) != 0)
        return {};
    const std::string target = resolvedPath(device);
    if (target.empty())
        return {};
    DIR* folder = opendir("/dev/disk/by-label");
    if (!folder)
        return {};
    std::string label;
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (resolvedPath("/dev/disk/by-label/" + std::string(name)) == target) {
            label = decodeUdevName(name);
            break;
        }
    }
    closedir(folder);
    return label;
}

DriveType typeOfMount(const Mount& mount, bool underMnt)
{
    const std::string_view fs = mount.fileSystem;
    if (fs == "iso9660" || fs == "udf")
        return DriveType::CdRom;
    if (fs == "nfs" || fs == "nfs4" || fs == "cifs" || fs == "smb3" || fs == "smbfs"
        || fs == "fuse.sshfs")
        return DriveType::Remote;
    if (fs == "tmpfs" || fs == "ramfs")
        return DriveType::RamDisk;
    return underMnt ? DriveType::Fixed : DriveType::Removable;
}

DriveType typeFromWord(std::string_view word)
{
    if (word.empty() || equalsIgnoringAsciiCase(word, "fixed"))
        return DriveType::Fixed;
    if (equalsIgnoringAsciiCase(word, "removable"))
        return DriveType::Removable;
    if (equalsIgnoringAsciiCase(word, "cdrom"))
        return DriveType::CdRom;
    if (equalsIgnoringAsciiCase(word, "remote"))
        return DriveType::Remote;
    if (equalsIgnoringAsciiCase(word, "ramdisk"))
        return DriveType::RamDisk;
    return DriveType::Unknown;
}

std::vector<Drive> buildCurrentDrives()
{
    // Kernel32's drive functions and the file search ask for the map twice per folder a search
    // enters. The setting is read every time; the mount table, which changes only when a volume
    // comes or goes, at most once a second; the labels only when either changed.
    constexpr auto kMountTableLifetime = std::chrono::seconds(1);
    static std::mutex cacheMutex;
    static std::string cachedKey;
    static std::string cachedTable;
    static std::chrono::steady_clock::time_point tableReadAt;
    static std::vector<Drive> cachedDrives;
    std::lock_guard lock(cacheMutex);

    const auto now = std::chrono::steady_clock::now();
    if (cachedTable.empty() || now - tableReadAt >= kMountTableLifetime) {
        cachedTable = readMountTable();
        tableReadAt = now;
    }
    const char* setting = std::getenv("QUILLORA_DRIVES");
    std::string key = setting ? std::string("set:") + setting : std::string("unset");
    key += '\0';
    key += cachedTable;
    if (key != cachedKey) {
        cachedDrives = setting ? drivesFromSetting(setting, cachedTable) : drivesFromMountTable(cachedTable);
        cachedKey = std::move(key);
    }
    return cachedDrives;
}

}  // namespace

std::vector<Drive> drivesFromMountTable(std::string_view mountTable)
{
    const std::vector<Mount> mounts = parseMountTable(mountTable);

    Drive system;
    system.letter = 'C';
    system.linuxRoot = "/";
    system.type = DriveType::Fixed;
    for (const Mount& mount : mounts) {
        if (mount.mountPoint == "/") {
            system.fileSystem = mount.fileSystem;
            system.label = labelOfDevice(mount.device);
        }
    }
    std::vector<Drive> drives{system};

    // A mount point mounted over again shows the last mount; keep that one per folder.
    std::vector<std::pair<int, const Mount*>> volumes;
    static constexpr std::string_view bases[] = {"/media", "/run/media", "/mnt"};
    for (const Mount& mount : mounts) {
        const auto root = normaliseLinuxRoot(mount.mountPoint);
        if (!root || *root != mount.mountPoint)
            continue;
        for (int base = 0; base < 3; ++base) {
            if (!isStrictlyBelow(mount.mountPoint, bases[base]))
                continue;
            auto same = std::find_if(volumes.begin(), volumes.end(), [&](const auto& volume) {
                return volume.second->mountPoint == mount.mountPoint;
            });
            if (same != volumes.end())
                *same = {base, &mount};
            else
                volumes.push_back({base, &mount});
            break;
        }
    }
    // Letters follow the folders, not the order of mounting, so a drive keeps its letter when
    // another volume is plugged in after it.
    std::sort(volumes.begin(), volumes.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second->mountPoint < b.second->mountPoint;
    });

    char letter = 'D';
    for (const auto& [base, mount] : volumes) {
        if (letter > kLastLetter)
            break;
        Drive drive;
        drive.letter = letter++;
        drive.linuxRoot = mount->mountPoint;
        drive.type = typeOfMount(*mount, bases[base] == "/mnt");
        drive.fileSystem = mount->fileSystem;
        drive.label = labelOfDevice(mount->device);
        if (drive.label.empty())
            drive.label = drive.linuxRoot.substr(drive.linuxRoot.rfind('/') + 1);
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<Drive> drivesFromSetting(std::string_view setting, std::string_view mountTable)
{
    const std::vector<Mount> mounts = parseMountTable(mountTable);
    std::vector<Drive> drives;
    while (!setting.empty()) {
        const std::size_t end = std::min(setting.find(';'), setting.size());
        std::string_view entry = setting.substr(0, end);
        setting.remove_prefix(std::min(end + 1, setting.size()));

        if (entry.size() < 3 || !isAsciiLetter(entry[0]) || entry[1] != '=')
            continue;
        const char letter = upperAscii(entry[0]);
        entry.remove_prefix(2);
        const std::size_t typeStart = entry.find('|');
        const auto root = normaliseLinuxRoot(entry.substr(0, typeStart));
        if (!root)
            continue;

        Drive drive;
        drive.letter = letter;
        drive.linuxRoot = *root;
        drive.fileSystem = fileSystemOf(mounts, drive.linuxRoot);
        if (typeStart != std::string_view::npos) {
            std::string_view rest = entry.substr(typeStart + 1);
            const std::size_t labelStart = rest.find('|');
            drive.type = typeFromWord(rest.substr(0, labelStart));
            if (labelStart != std::string_view::npos)
                drive.label = std::string(rest.substr(labelStart + 1));
        }
        std::erase_if(drives, [&](const Drive& other) { return other.letter == drive.letter; });
        drives.push_back(std::move(drive));
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return drives;
}

std::vector<Drive> currentDrives()
{
    return buildCurrentDrives();
}

std::optional<Drive> driveOfPath(std::string_view windowsPath)
{
    if (windowsPath.size() < 2 || !isAsciiLetter(windowsPath[0]) || windowsPath[1] != ':')
        return std::nullopt;
    const char letter = upperAscii(windowsPath[0]);
    for (Drive& drive : currentDrives()) {
        if (drive.letter == letter)
            return std::move(drive);
    }
    return std::nullopt;
}

std::optional<std::string> toLinuxPath(std::string_view windowsPath)
{
    const bool hasDrive = windowsPath.size() >= 2 && isAsciiLetter(windowsPath[0]) && windowsPath[1] == ':';
    if (!hasDrive) {
        // "\\server\share" names a network share, which no drive of ours reaches.
        if (windowsPath.substr(0, 2) == "\\\\" || windowsPath.substr(0, 2) == "//")
            return std::nullopt;
        // A path that starts at a root but names no drive is on the current drive; the program
        // runs with its own folder current, which is always reached through C:.
        if (!windowsPath.empty() && (windowsPath[0] == '\\' || windowsPath[0] == '/'))
            return toLinuxPath("C:" + std::string(windowsPath));
        const auto parts = normalisedParts(windowsPath, "\\/", true);
        return parts->empty() ? std::string(".") : joinParts({}, *parts, '/');
    }

    const auto drive = driveOfPath(windowsPath);
    if (!drive)
        return std::nullopt;
    // Each drive has no current folder of its own here, so "C:photos" starts at the root too.
    const auto parts = normalisedParts(windowsPath.substr(2), "\\/", false);
    if (!parts)
        return std::nullopt;
    return joinParts(drive->linuxRoot, *parts, '/');
}

std::optional<std::string> toWindowsPath(std::string_view linuxPath)
{
    if (linuxPath.empty() || linuxPath.front() != '/' || linuxPath.find('\\') != std::string_view::npos)
        return std::nullopt;
    const auto path = normaliseLinuxRoot(linuxPath);
    if (!path)
        return std::nullopt;

    const Drive* best = nullptr;
    const std::vector<Drive> drives = currentDrives();
    for (const Drive& drive : drives) {
        if (isBelowOrAt(*path, drive.linuxRoot) && (!best || drive.linuxRoot.size() > best->linuxRoot.size()))
            best = &drive;
    }
    if (!best)
        return std::nullopt;

    std::string_view rest = *path;
    rest.remove_prefix(best->linuxRoot == "/" ? 1 : best->linuxRoot.size());
    if (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    std::string windowsPath{best->letter, ':', '\\'};
    for (const char c : rest)
        windowsPath += c == '/' ? '\\' : c;
    return windowsPath;
}

}  // namespace quillora::platform
