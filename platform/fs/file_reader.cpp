#include "platform/fs/file_reader.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {

namespace {

// Closes the descriptor whichever way reading ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& linuxPath, std::uint64_t maxBytes)
{
    if (linuxPath.empty())
        return std::nullopt;
    // Non-blocking, so that opening a named pipe does not wait for a writer; it is refused
    // below like any other file that is not a regular one.
    const FileDescriptor file(::open(linuxPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<std::uint64_t>(status.st_size) > maxBytes)
        return std::nullopt;

    try {
        std::vector<std::uint8_t> content;
        content.reserve(static_cast<std::size_t>(status.st_size));
        // The file may grow while it is read; reading stops at the cap either way.
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
            if (count < 0) {
                if (errno == EINTR)
                    continue;
                return std::nullopt;
            }
            if (count == 0)
                break;
            if (content.size() + static_cast<std::uint64_t>(count) > maxBytes)
                return std::nullopt;
            content.insert(content.end(), chunk, chunk + count);
        }
        return content;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace quillora::platform
