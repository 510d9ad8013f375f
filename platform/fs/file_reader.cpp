#include "platform/fs/file_reader.h"

#include "platform/fs/read_only_file.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& linuxPath, std::uint64_t maxBytes)
{
    const ReadOnlyFile file(linuxPath);
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
