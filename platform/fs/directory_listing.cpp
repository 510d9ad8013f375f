#include "platform/fs/directory_listing.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

// A change to a folder stamps it with the clock's time, truncated to what the file system keeps:
// a nanosecond on ext4, two seconds on a FAT stick. A folder last changed longer ago than this
// before it was read shows any later change as a new change time.
constexpr time_t kStampSettledSeconds = 3;

struct FolderIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderIdentity&) const = default;
};

// Windows volumes order names by their upper-case form, so "_" (0x5F) comes after the letters.
unsigned char foldAsciiCase(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Owns the open folder, so every way out of the listing closes it.
class OpenFolder {
public:
    explicit OpenFolder(const std::string& path)
    {
        const int descriptor = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0)
            return;
        stream_ = fdopendir(descriptor);
        if (!stream_)
            close(descriptor);
    }
    ~OpenFolder()
    {
        if (stream_)
            closedir(stream_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    explicit operator bool() const { return stream_ != nullptr; }
    DIR* stream() const { return stream_; }
    int descriptor() const { return dirfd(stream_); }

private:
    DIR* stream_ = nullptr;
};

void addIdentity(std::vector<FolderIdentity>& identities, const struct stat& status)
{
    const FolderIdentity identity{status.st_dev, status.st_ino};
    if (std::find(identities.begin(), identities.end(), identity) == identities.end())
        identities.push_back(identity);
}

std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool isPseudoFileSystemFolder(std::string_view name)
{
    return name == "proc" || name == "sys" || name == "dev" || name == "run";
}

// Where the listed folder lies, worked out only when an entry needs it: most folders of an album
// hold files only, and resolving the way down to them costs a call to the kernel per level.
class FolderPlace {
public:
    FolderPlace(const OpenFolder& folder, const std::string& path) : folder_(folder), path_(path) {}

    bool isRoot() { return realPath() == "/"; }

    // Whether a folder entry is one of the folders a walk that reached the listed folder has
    // passed through: each prefix of the path as given, links followed ("/a/x/y" gives /, /a,
    // whatever /a/x leads to, and the folder itself), and each folder above the folder's real
    // place. Such an entry would lead the walk back round: a link to "..", or two links that
    // lead into each other's folders.
    bool leadsBack(const struct stat& entry)
    {
        if (!ancestorsKnown_) {
            ancestorsKnown_ = true;
            collectAncestors();
        }
        const FolderIdentity identity{entry.st_dev, entry.st_ino};
        return std::find(ancestors_.begin(), ancestors_.end(), identity) != ancestors_.end();
    }

private:
    const std::string& realPath()
    {
        if (!realPathKnown_) {
            realPathKnown_ = true;
            realPath_ = resolvedPath(path_);
        }
        return realPath_;
    }

    void collectAncestors()
    {
        struct stat status {};
        if (fstat(folder_.descriptor(), &status) == 0)
            addIdentity(ancestors_, status);
        const auto addPrefixes = [&](const std::string& of) {
            for (std::size_t slash = of.find('/'); slash != std::string::npos; slash = of.find('/', slash + 1)) {
                const std::string prefix = of.substr(0, slash == 0 ? 1 : slash);
                if (stat(prefix.c_str(), &status) == 0)
                    addIdentity(ancestors_, status);
            }
        };
        addPrefixes(path_);
        // Without links on the way the real place is the path itself, whose prefixes are in.
        if (!realPath().empty() && realPath() != path_)
            addPrefixes(realPath());
    }

    const OpenFolder& folder_;
    const std::string& path_;
    bool realPathKnown_ = false;
    std::string realPath_;
    bool ancestorsKnown_ = false;
    std::vector<FolderIdentity> ancestors_;
};

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The type of one entry as the walk takes it: a folder, a regular file, or neither (0). The
// directory entry names its own type; only links, whose target decides, and entries of file
// systems that do not say are looked at, and folders, whose identity decides whether the walk
// may enter them.
unsigned char entryType(int descriptor, const dirent& item, struct stat& status)
{
    switch (item.d_type) {
    case DT_REG:
        return DT_REG;
    case DT_DIR:
        return fstatat(descriptor, item.d_name, &status, 0) == 0 ? DT_DIR : 0;
    case DT_LNK:
    case DT_UNKNOWN:
        // Follows the link, so a link to a folder is a folder; a dangling link fails here.
        if (fstatat(descriptor, item.d_name, &status, 0) != 0)
            return 0;
        return S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : 0;
    default:
        return 0;
    }
}

// The first eight bytes of a name in upper-case form, the first byte highest, short names padded
// with zeros (no name holds a zero byte): two names whose keys differ list in the order of their
// keys, so most comparisons of a sort take one step.
std::uint64_t orderKey(const std::string& name)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const unsigned char c = i < name.size() ? foldAsciiCase(static_cast<unsigned char>(name[i])) : 0;
        key = (key << 8) | c;
    }
    return key;
}

// Appends `names` to `entries` in listing order. Distinct names never tie, so the sort need not
// be stable.
void appendInListingOrder(std::vector<DirectoryEntry>& names, std::vector<DirectoryEntry>& entries)
{
    struct Place {
        std::uint64_t key;
        std::uint32_t index;
    };
    std::vector<Place> order;
    order.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        order.push_back({orderKey(names[i].name), static_cast<std::uint32_t>(i)});
    std::sort(order.begin(), order.end(), [&names](const Place& a, const Place& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return listsBefore(names[a.index].name, names[b.index].name);
    });
    entries.reserve(entries.size() + names.size());
    for (const Place& place : order)
        entries.push_back(std::move(names[place.index]));
}

std::mutex lastListingMutex;
std::shared_ptr<const FolderListing> lastListing;

}  // namespace

class FolderListingReader {
public:
    static std::shared_ptr<const FolderListing> read(const std::string& linuxFolder);
};

std::shared_ptr<const FolderListing> FolderListingReader::read(const std::string& linuxFolder)
{
    if (linuxFolder.empty())
        return nullptr;
    timespec readAt{};
    clock_gettime(CLOCK_REALTIME, &readAt);
    const OpenFolder folder(linuxFolder);
    if (!folder)
        return nullptr;
    const int descriptor = folder.descriptor();

    // Looking up "." needs the right to search the folder, as looking at any entry in it does.
    // Without it the names could be read but not one entry looked at, so none is listed.
    struct stat self {};
    if (fstatat(descriptor, ".", &self, 0) != 0)
        return nullptr;

    auto listing = std::make_shared<FolderListing>();
    listing->folder_ = linuxFolder;
    listing->owner_ = self.st_uid;
    listing->group_ = self.st_gid;
    listing->mode_ = self.st_mode;
    // "." and ".." lead to folders on the path by nature; they are listed but never entered.
    listing->entries_.push_back({".", kEntryFolder});
    listing->entries_.push_back({"..", kEntryFolder});

    FolderPlace place(folder, linuxFolder);
    bool typesMayChange = false;
    std::vector<DirectoryEntry> names;
    while (const dirent* item = readdir(folder.stream())) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..")
            continue;
        if (isPseudoFileSystemFolder(name) && place.isRoot())
            continue;
        if (names.size() >= kMaxListedEntries)
            break;
        if (item->d_type == DT_LNK || item->d_type == DT_UNKNOWN)
            typesMayChange = true;

        struct stat status {};
        const unsigned char type = entryType(descriptor, *item, status);
        std::uint32_t attributes = 0;
        if (type == DT_DIR) {
            if (place.leadsBack(status))
                continue;
            attributes = kEntryFolder;
        } else if (type == DT_REG) {
            attributes = kEntryArchive;
        } else {
            continue;
        }
        if (name.front() == '.')
            attributes |= kEntryHidden;
        names.push_back({std::string(name), attributes});
    }

    appendInListingOrder(names, listing->entries_);

    const time_t settled = readAt.tv_sec - kStampSettledSeconds;
    if (!typesMayChange && self.st_mtim.tv_sec < settled && self.st_ctim.tv_sec < settled)
        listing->reusableStamp_ = FolderListing::Stamp{self.st_dev, self.st_ino, self.st_mtim, self.st_ctim};
    return listing;
}

std::shared_ptr<const FolderListing> FolderListing::read(const std::string& linuxFolder)
{
    return FolderListingReader::read(linuxFolder);
}

bool FolderListing::stillCurrent() const
{
    if (!reusableStamp_)
        return false;
    struct stat now {};
    if (stat(folder_.c_str(), &now) != 0)
        return false;
    return now.st_dev == reusableStamp_->device && now.st_ino == reusableStamp_->inode
        && sameTime(now.st_mtim, reusableStamp_->modified) && sameTime(now.st_ctim, reusableStamp_->changed);
}

std::shared_ptr<const FolderListing> currentFolderListing(const std::string& linuxFolder)
{
    {
        std::lock_guard lock(lastListingMutex);
        if (lastListing && lastListing->folder() == linuxFolder && lastListing->stillCurrent())
            return lastListing;
    }
    std::shared_ptr<const FolderListing> listing = FolderListing::read(linuxFolder);
    std::lock_guard lock(lastListingMutex);
    lastListing = listing;
    return listing;
}

ReadOnlyCheck::ReadOnlyCheck() : user_(geteuid())
{
    if (user_ == 0)
        return;
    groups_.resize(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    if (!groups_.empty())
        groups_.resize(static_cast<std::size_t>(std::max(getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
    groups_.push_back(getegid());
}

bool ReadOnlyCheck::isReadOnly(const FolderListing& listing, const DirectoryEntry& entry) const
{
    if (user_ == 0)
        return false;
    if (&entry == listing.entries_.data())
        return readOnly(listing.owner_, listing.group_, listing.mode_);
    struct stat status {};
    if (fstatat(AT_FDCWD, (listing.folder_ + "/" + entry.name).c_str(), &status, 0) != 0)
        return false;
    return readOnly(status.st_uid, status.st_gid, status.st_mode);
}

bool ReadOnlyCheck::readOnly(uid_t owner, gid_t group, mode_t mode) const
{
    if (user_ == 0)
        return false;
    if (owner == user_)
        return (mode & S_IWUSR) == 0;
    if (std::find(groups_.begin(), groups_.end(), group) != groups_.end())
        return (mode & S_IWGRP) == 0;
    return (mode & S_IWOTH) == 0;
}

bool listsBefore(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char left = foldAsciiCase(static_cast<unsigned char>(a[i]));
        const unsigned char right = foldAsciiCase(static_cast<unsigned char>(b[i]));
        if (left != right)
            return left < right;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::vector<DirectoryEntry> listDirectory(const std::string& linuxFolder)
{
    const std::shared_ptr<const FolderListing> listing = FolderListing::read(linuxFolder);
    if (!listing)
        return {};
    std::vector<DirectoryEntry> entries = listing->entries();
    const ReadOnlyCheck check;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (check.isReadOnly(*listing, listing->entries()[i]))
            entries[i].attributes |= kEntryReadOnly;
    }
    return entries;
}

}  // namespace quillora::platform
