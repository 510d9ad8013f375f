#include "platform/fs/file_snapshot.h"

#include "platform/fs/read_only_file.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {

namespace {

std::optional<FileIdentity> identityOf(const struct stat& status)
{
    if (!S_ISREG(status.st_mode) || status.st_size < 0)
        return std::nullopt;
    FileIdentity identity;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modifiedSeconds = status.st_mtim.tv_sec;
    identity.modifiedNanoseconds = status.st_mtim.tv_nsec;
    return identity;
}

std::optional<FileIdentity> identityOf(int descriptor)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

}  // namespace

std::optional<FileIdentity> currentFileIdentity(const std::string& linuxPath)
{
    struct stat status {};
    if (linuxPath.empty() || ::stat(linuxPath.c_str(), &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

namespace {

// Reads `wanted` bytes (at most the file's size) from the start of an open file whose identity
// was `before`; nothing when the file is cut short or changes meanwhile.
std::optional<FileSnapshot> readOpenFile(int descriptor, const FileIdentity& before, std::uint64_t wanted)
{
    try {
        FileSnapshot snapshot;
        snapshot.content.resize(static_cast<std::size_t>(std::min(wanted, before.size)));
        std::size_t filled = 0;
        while (filled < snapshot.content.size()) {
            const ssize_t count = ::read(descriptor, snapshot.content.data() + filled, snapshot.content.size() - filled);
            if (count < 0) {
                if (errno == EINTR)
                    continue;
                return std::nullopt;
            }
            if (count == 0)
                break;
            filled += static_cast<std::size_t>(count);
        }
        // A file cut short or written to while it was read is not the file whose identity we hold.
        const std::optional<FileIdentity> after = identityOf(descriptor);
        if (filled != snapshot.content.size() || !after || *after != before)
            return std::nullopt;
        snapshot.identity = before;
        return snapshot;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<FileSnapshot> readFileSnapshot(const std::string& linuxPath, std::uint64_t maxBytes,
                                             const std::optional<FileIdentity>& expected)
{
    const ReadOnlyFile file(linuxPath);
    if (file.get() < 0)
        return std::nullopt;
    const std::optional<FileIdentity> before = identityOf(file.get());
    if (!before || before->size > maxBytes || (expected && *before != *expected))
        return std::nullopt;
    return readOpenFile(file.get(), *before, before->size);
}

std::optional<FileSnapshot> readFileHead(const std::string& linuxPath, std::uint64_t maxBytes)
{
    const ReadOnlyFile file(linuxPath);
    if (file.get() < 0)
        return std::nullopt;
    const std::optional<FileIdentity> before = identityOf(file.get());
    if (!before)
        return std::nullopt;
    return readOpenFile(file.get(), *before, maxBytes);
}

}  // namespace quillora::platform
