// One Linux folder listed the way a Windows volume lists a folder: "." and ".." first, then the
// names in case-insensitive order, each with its Windows attribute bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillora::platform {

// Attribute bits as the program's find-file masks know them.
inline constexpr std::uint32_t kEntryReadOnly = 0x01;
inline constexpr std::uint32_t kEntryHidden = 0x02;
inline constexpr std::uint32_t kEntryFolder = 0x10;
inline constexpr std::uint32_t kEntryArchive = 0x20;

// A folder holding more entries than this is cut short rather than exhausting memory.
inline constexpr std::size_t kMaxListedEntries = 1'000'000;

struct DirectoryEntry {
    std::string name;         // the bytes of the Linux name, unchanged
    std::uint32_t attributes = 0;
};

// Lists `linuxFolder`. A folder that does not exist or cannot be read gives no entries at all.
//  - folder: a directory, or a symbolic link to one; read-only: not writable by the user;
//    archive: every regular file; hidden: a name starting with '.' (not "." and "..").
//  - Entries that cannot be looked at, and entries that are neither files nor folders (pipes,
//    sockets, devices: opening one could block or read forever), are left out.
//  - A folder entry that leads back to the listed folder or to any folder on the way to it
//    (a link to "..", two links into each other's folders, a bind mount of an ancestor) is left
//    out, so a walk down the tree always ends. "The way" is `linuxFolder` as given, each link
//    on it followed, together with the folders above the folder's real place.
//  - Listing "/" leaves out /proc, /sys, /dev and /run: they are the kernel's, not the disk's.
std::vector<DirectoryEntry> listDirectory(const std::string& linuxFolder);

// The order of the listing: names compared by their ASCII upper-case form, ties broken bytewise.
bool listsBefore(const std::string& a, const std::string& b);

}  // namespace quillora::platform
