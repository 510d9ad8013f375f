// The folder tree of the main window: the desktop, the documents folder and every drive, with
// sub-folders read in when an item is chosen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::app {

struct DriveEntry {
    std::string drive;   // "C:"
    std::uint32_t type;  // 2..6, or 0 for any other
};

// The drives of the machine in letter order.
std::vector<DriveEntry> ListDrives();

// The volume label of a drive ("C:"), blanks trimmed; empty when it cannot be read.
std::string VolumeLabel(const std::string& drive);

// The tree image for a drive type.
std::int32_t driveImage(std::uint32_t driveType);

// Fills the tree with the drives once the main window exists.
void FillFolderTree();

// Removes the items below `item` (its own descendants only).
void RemoveChildItems(std::int32_t item);

}  // namespace quillora::app
