#include "platform/fs/directory_listing.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

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

// Every folder a walk that reached `path` has passed through: each prefix of the path as given,
// links followed ("/a/x/y" gives /, /a, whatever /a/x leads to, and the folder itself), and
// each folder above the folder's real place. A folder entry that is one of these would lead the
// walk back round: a link to "..", or two links that lead into each other's folders.
std::vector<FolderIdentity> foldersOnPath(const OpenFolder& folder, const std::string& path,
                                          const std::string& realPath)
{
    std::vector<FolderIdentity> identities;
    struct stat status {};
    if (fstat(folder.descriptor(), &status) == 0)
        addIdentity(identities, status);

    const auto addPrefixes = [&](const std::string& of) {
        for (std::size_t slash = of.find('/'); slash != std::string::npos; slash = of.find('/', slash + 1)) {
            const std::string prefix = of.substr(0, slash == 0 ? 1 : slash);
            if (stat(prefix.c_str(), &status) == 0)
                addIdentity(identities, status);
        }
    };
    addPrefixes(path);
    if (!realPath.empty())
        addPrefixes(realPath);
    return identities;
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

// Who is listing: the user and their groups, read once per listing.
struct ListingUser {
    uid_t user = geteuid();
    std::vector<gid_t> groups = [] {
        std::vector<gid_t> list(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
        if (!list.empty())
            list.resize(static_cast<std::size_t>(std::max(getgroups(static_cast<int>(list.size()), list.data()), 0)));
        list.push_back(getegid());
        return list;
    }();

    // Whether the user may write the entry, read from the mode bits the listing has already
    // fetched: asking the kernel once more per entry would double the cost of listing a folder.
    // The superuser may write anything.
    bool mayWrite(const struct stat& status) const
    {
        if (user == 0)
            return true;
        if (status.st_uid == user)
            return (status.st_mode & S_IWUSR) != 0;
        if (std::find(groups.begin(), groups.end(), status.st_gid) != groups.end())
            return (status.st_mode & S_IWGRP) != 0;
        return (status.st_mode & S_IWOTH) != 0;
    }
};

}  // namespace

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
    std::vector<DirectoryEntry> entries;
    if (linuxFolder.empty())
        return entries;
    const OpenFolder folder(linuxFolder);
    if (!folder)
        return entries;

    const int descriptor = folder.descriptor();
    const std::string realFolder = resolvedPath(linuxFolder);
    const std::vector<FolderIdentity> ancestors = foldersOnPath(folder, linuxFolder, realFolder);
    const bool listingRoot = realFolder == "/";
    const ListingUser lister;

    // "." and ".." lead to folders on the path by nature; they are listed but never entered.
    for (const char* dots : {".", ".."}) {
        struct stat status {};
        if (fstatat(descriptor, dots, &status, 0) != 0)
            continue;
        std::uint32_t attributes = kEntryFolder;
        if (!lister.mayWrite(status))
            attributes |= kEntryReadOnly;
        entries.push_back({dots, attributes});
    }

    std::vector<DirectoryEntry> names;
    while (const dirent* item = readdir(folder.stream())) {
        const std::string_view name = item->d_name;
        if (name == "." || name == "..")
            continue;
        if (listingRoot && isPseudoFileSystemFolder(name))
            continue;
        if (names.size() >= kMaxListedEntries)
            break;

        // Follows symbolic links, so a link to a folder is a folder; a dangling link fails here
        // and is left out.
        struct stat status {};
        if (fstatat(descriptor, item->d_name, &status, 0) != 0)
            continue;

        std::uint32_t attributes = 0;
        if (S_ISDIR(status.st_mode)) {
            const FolderIdentity identity{status.st_dev, status.st_ino};
            if (std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end())
                continue;
            attributes |= kEntryFolder;
        } else if (S_ISREG(status.st_mode)) {
            attributes |= kEntryArchive;
        } else {
            continue;
        }
        if (!lister.mayWrite(status))
            attributes |= kEntryReadOnly;
        if (name.front() == '.')
            attributes |= kEntryHidden;
        names.push_back({std::string(name), attributes});
    }

    std::stable_sort(names.begin(), names.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return listsBefore(a.name, b.name);
    });
    entries.insert(entries.end(), std::make_move_iterator(names.begin()),
                   std::make_move_iterator(names.end()));
    return entries;
}

}  // namespace quillora::platform
