// One Linux folder listed the way a Windows volume lists a folder: "." and ".." first, then the
// names in case-insensitive order, each with its Windows attribute bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

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

// A folder's entries as one read of it found them, with every attribute but read-only: the type
// comes from the directory entry itself, so listing a folder of ten thousand files costs a few
// calls to the kernel instead of one per file. Read-only needs a look at each entry's mode bits
// and is asked for separately (`ReadOnlyCheck`), only where it decides something.
//  - folder: a directory, or a symbolic link to one; archive: every regular file; hidden: a name
//    starting with '.' (not "." and "..").
//  - Entries that are neither files nor folders (pipes, sockets, devices: opening one could block
//    or read forever) and links that lead nowhere are left out.
//  - A folder entry that leads back to the listed folder or to any folder on the way to it
//    (a link to "..", two links into each other's folders, a bind mount of an ancestor) is left
//    out, so a walk down the tree always ends. "The way" is the folder as given, each link
//    on it followed, together with the folders above the folder's real place.
//  - Listing "/" leaves out /proc, /sys, /dev and /run: they are the kernel's, not the disk's.
class FolderListing {
public:
    // Null when the folder does not exist, cannot be read, or its entries cannot be looked at.
    static std::shared_ptr<const FolderListing> read(const std::string& linuxFolder);

    const std::string& folder() const { return folder_; }
    const std::vector<DirectoryEntry>& entries() const { return entries_; }

    // Whether a read of the folder now would give the same entries with the same types: the
    // folder is the same one, its entries have not been added to, removed or renamed since (its
    // change times are the same and were already in the past when it was read, so a change in
    // the same clock tick cannot hide), and no entry is a link whose target may have changed.
    bool stillCurrent() const;

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        timespec changed{};
    };

    std::string folder_;
    std::vector<DirectoryEntry> entries_;
    // Who owns the folder and its mode bits, for the read-only attribute of ".": a change to
    // either changes the folder's change time, so they hold as long as the listing is current.
    uid_t owner_ = 0;
    gid_t group_ = 0;
    mode_t mode_ = 0;
    std::optional<Stamp> reusableStamp_;   // empty: the listing is never taken as current
    friend class FolderListingReader;
    friend class ReadOnlyCheck;
};

// The listing of `linuxFolder`, served from the last one read when that one is of the same folder
// and `stillCurrent()`: the search lists each folder once for its files and at once again for its
// sub-folders, and the second read would find what the first found.
std::shared_ptr<const FolderListing> currentFolderListing(const std::string& linuxFolder);

// Read-only is "not writable by the user", from the mode bits: the user and their groups are read
// once per check object, the entry's mode bits on each question. The superuser may write anything.
class ReadOnlyCheck {
public:
    ReadOnlyCheck();
    // `entry` is one of the listing's entries. False as well for an entry that cannot be looked
    // at (any more).
    bool isReadOnly(const FolderListing& listing, const DirectoryEntry& entry) const;

private:
    bool readOnly(uid_t owner, gid_t group, mode_t mode) const;

    uid_t user_;
    std::vector<gid_t> groups_;
};

// The whole listing with read-only filled in for every entry (one look at each entry). A folder
// that does not exist or cannot be read gives no entries at all.
std::vector<DirectoryEntry> listDirectory(const std::string& linuxFolder);

// The order of the listing: names compared by their ASCII upper-case form, ties broken bytewise.
bool listsBefore(const std::string& a, const std::string& b);

}  // namespace quillora::platform
