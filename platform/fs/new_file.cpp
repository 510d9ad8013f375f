#include "platform/fs/new_file.h"

#include "platform/fs/write_all.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

NewFileStatus statusOfError(int error)
{
    switch (error) {
    case EEXIST:
        return NewFileStatus::NameTaken;
    case ENOENT:
    case ENOTDIR:
        return NewFileStatus::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return NewFileStatus::NotPermitted;
    case ENOSPC:
    case EDQUOT:
        return NewFileStatus::DiskFull;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return NewFileStatus::InvalidName;
    default:
        return NewFileStatus::Failed;
    }
}

// A hidden name beside the target that no other writer picks: the process id and a counter.
std::string temporaryNameFor(const std::string& linuxPath)
{
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = linuxPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : linuxPath.substr(0, slash + 1);
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".quillora-%ld-%u.part", static_cast<long>(::getpid()), counter++);
    return folder + suffix;
}

// Gives the finished temporary file the final name unless that name is taken. A hard link does
// so atomically; volumes without hard links (FAT) take a rename that refuses to replace; and only
// where neither exists does the name get checked just before an ordinary rename.
int publish(const std::string& temporary, const std::string& linuxPath)
{
    if (::link(temporary.c_str(), linuxPath.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    int error = errno;
    if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP && error != EXDEV && error != EMLINK)
        return error;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, linuxPath.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    struct stat existing {};
    if (::lstat(linuxPath.c_str(), &existing) == 0)
        return EEXIST;
    return ::rename(temporary.c_str(), linuxPath.c_str()) == 0 ? 0 : errno;
}

}  // namespace

NewFileStatus writeNewFile(const std::string& linuxPath, std::span<const std::uint8_t> bytes)
{
    if (linuxPath.empty() || linuxPath.back() == '/')
        return NewFileStatus::InvalidName;
    // Asking first spares writing a whole page for a name that is taken; the publishing step
    // below decides for certain.
    struct stat existing {};
    if (::lstat(linuxPath.c_str(), &existing) == 0)
        return NewFileStatus::NameTaken;

    const std::string temporary = temporaryNameFor(linuxPath);
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0)
        return statusOfError(errno);
    const bool written = writeAll(descriptor, bytes);
    const int writeError = errno;
    const bool closed = ::close(descriptor) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return statusOfError(!written ? writeError : closeError);
    }
    const int error = publish(temporary, linuxPath);
    if (error != 0) {
        ::unlink(temporary.c_str());
        return statusOfError(error);
    }
    return NewFileStatus::Written;
}

}  // namespace quillora::platform
