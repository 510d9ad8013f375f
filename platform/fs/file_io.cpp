#include "platform/fs/file_io.h"

#include "platform/fs/write_all.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

// Closes the descriptor whichever way writing ends; close() itself can report a failed write
// on some file systems, so the result is kept for the caller.
class WritableFile {
public:
    explicit WritableFile(const std::string& path)
        // Non-blocking, so that opening a named pipe without a reader fails at once instead of
        // waiting; a regular file ignores the flag.
        : descriptor_(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666))
    {
    }
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;
    ~WritableFile() { close(); }

    int get() const { return descriptor_; }
    bool close()
    {
        if (descriptor_ < 0)
            return true;
        const bool closed = ::close(descriptor_) == 0;
        descriptor_ = -1;
        return closed;
    }

private:
    int descriptor_;
};

}  // namespace

std::optional<FileStatus> fileStatus(const std::string& linuxPath)
{
    struct stat status {};
    if (linuxPath.empty() || ::stat(linuxPath.c_str(), &status) != 0)
        return std::nullopt;
    FileStatus result;
    result.isFolder = S_ISDIR(status.st_mode);
    if (S_ISREG(status.st_mode) && status.st_size > 0)
        result.size = static_cast<std::uint64_t>(status.st_size);
    return result;
}

bool writeWholeFile(const std::string& linuxPath, std::span<const std::span<const std::uint8_t>> parts)
{
    if (linuxPath.empty())
        return false;
    WritableFile file(linuxPath);
    if (file.get() < 0)
        return false;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    // The file is emptied only once the lock is held, so a writer that is refused the lock
    // leaves the other writer's content alone.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 || ::ftruncate(file.get(), 0) != 0)
        return false;
    for (const std::span<const std::uint8_t> part : parts) {
        if (!writeAll(file.get(), part))
            return false;
    }
    return file.close();
}

}  // namespace quillora::platform
