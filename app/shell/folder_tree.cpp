#include "shell/folder_tree.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/runtime_calls.h"
#include "quillora/win_abi.h"
#include "shell/main_window_units.h"
#include "shell/shell_state.h"

#include "quillora/runtime_services.h"

namespace quillora::app {
namespace {

// Item values of the top-level items: a drive, the desktop, the documents folder.
constexpr std::int32_t kDriveItem = 0;
constexpr std::int32_t kDesktopItem = 3;
constexpr std::int32_t kDocumentsItem = 4;
constexpr std::int32_t kFolderImage = 5;

// The folder a top-level item stands for, as a path ending in a backslash; empty for an item
// value the tree does not know.
std::string topLevelFolder(std::int32_t item)
{
    const FolderTree tree = folderTree();
    switch (tree.value(item)) {
    case kDesktopItem:
        return shell().desktopFolderPath;
    case kDocumentsItem:
        return shell().documentsFolderPath;
    case kDriveItem: {
        // "System(C:)" names drive C: by the character just before the first colon.
        const std::string caption = tree.caption(item);
        const std::int32_t colon = findText(caption, ":", LetterCase::Matters);
        if (colon < 2)
            return {};
        return caption.substr(static_cast<std::size_t>(colon - 2), 1) + ":\\";
    }
    default:
        return {};
    }
}

void addSubFolders(std::int32_t item, const std::string& folder)
{
    FileFinder finder(folder + "*.*", kAttributeDirectory);
    std::string name;
    const FolderTree tree = folderTree();
    while (finder.next(name)) {
        if (name == "." || name == "..")
            continue;
        tree.addItem(item, name, kFolderImage, 0);
    }
}

}  // namespace

std::vector<DriveEntry> ListDrives()
{
    char buffer[256] = {};
    const win::DWORD length = callDll<win::GetLogicalDriveStringsAFn>(DllCommand::GetLogicalDriveStringsA, 255, buffer);
    // Each entry is a letter, a colon, a backslash and a terminating zero.
    const std::size_t count = std::min<std::size_t>(length, sizeof buffer - 1) / 4;
    std::vector<DriveEntry> drives;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string drive(buffer + 4 * i, 2);
        win::UINT type = callDll<win::GetDriveTypeAFn>(DllCommand::GetDriveTypeA, drive.c_str());
        if (type < 2 || type > 6)
            type = 0;
        drives.push_back({drive, type});
    }
    return drives;
}

std::string VolumeLabel(const std::string& drive)
{
    if (drive.empty())
        return {};
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    if (letter < 'A' || letter > 'Z')
        return {};
    const std::string root = std::string(1, letter) + ":\\";
    char name[256] = {};
    const win::BOOL read = callDll<win::GetVolumeInformationAFn>(DllCommand::GetVolumeInformationA, root.c_str(),
                                                                 name, 255, nullptr, nullptr, nullptr, nullptr, 0);
    if (!read)
        return {};
    return trimBoth(name);
}

std::int32_t driveImage(std::uint32_t driveType)
{
    switch (driveType) {
    case 2: return 2;
    case 3: return 3;
    case 4: return 6;
    case 5: return 4;
    default: return 7;
    }
}

void FillFolderTree()
{
    shell().desktopFolderPath = specialFolder(3);
    shell().documentsFolderPath = specialFolder(1);
    const FolderTree tree = folderTree();
    for (const DriveEntry& drive : ListDrives())
        tree.addItem(-1, VolumeLabel(drive.drive) + "(" + drive.drive + ")", driveImage(drive.type), kDriveItem);
}

void RemoveChildItems(std::int32_t item)
{
    // Only the chosen item's own descendants go: they follow it in tree order up to the first
    // item that is not deeper than it. Later top-level items keep their sub-folders.
    const FolderTree tree = folderTree();
    const std::int32_t itemLevel = tree.level(item);
    const std::int32_t count = tree.itemCount();
    std::int32_t last = item;
    while (last + 1 < count && tree.level(last + 1) > itemLevel)
        ++last;
    for (std::int32_t child = last; child > item; --child)
        tree.deleteItem(child);
}

HandlerResult ShowSubFolders(const EventArguments&)
{
    const FolderTree tree = folderTree();
    const std::int32_t item = tree.currentItem();
    if (item < 0)
        return noValue();
    const std::int32_t level = tree.level(item);
    if (level == 1) {
        if (tree.hasChildren(item))
            RemoveChildItems(item);
        const std::int32_t value = tree.value(item);
        if (value == kDesktopItem || value == kDocumentsItem || value == kDriveItem)
            shell().selectedFolderPath = topLevelFolder(item);
    } else {
        std::string path = tree.caption(item) + "\\";
        std::int32_t ancestor = tree.parent(item);
        for (std::int32_t step = 0; step < level - 2 && ancestor >= 0; ++step) {
            path = tree.caption(ancestor) + "\\" + path;
            ancestor = tree.parent(ancestor);
        }
        shell().selectedFolderPath = topLevelFolder(ancestor) + path;
        if (tree.hasChildren(item))
            RemoveChildItems(item);
    }
    addSubFolders(item, shell().selectedFolderPath);
    tree.expand(item);
    return noValue();
}

}  // namespace quillora::app
