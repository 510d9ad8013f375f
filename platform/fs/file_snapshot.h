// Reading a whole file together with what identifies that content, so that it can be read again
// later and recognised as the same file, or found to have changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillora::platform {

// The file system's identity of a file's content: which file it is (device and inode: a file
// replaced by another under the same name is a different file) and its size and modification
// time (a file truncated or written to has changed).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileSnapshot {
    std::vector<std::uint8_t> content;
    FileIdentity identity;
};

// The content of the regular file at `linuxPath` and its identity, or nothing when it cannot be
// opened, is not a regular file, holds more than `maxBytes` bytes, or changes while it is read.
// With `expected`, also nothing when the file is no longer that one (checked before its content
// is read, so a changed file costs no reading).
std::optional<FileSnapshot> readFileSnapshot(const std::string& linuxPath, std::uint64_t maxBytes,
                                             const std::optional<FileIdentity>& expected = std::nullopt);

// The first `maxBytes` bytes of the regular file at `linuxPath` (all of a shorter file) and the
// file's identity; nothing when it cannot be opened, is not a regular file or changes while it is
// read. For the facts a file keeps at its start, without reading the rest.
std::optional<FileSnapshot> readFileHead(const std::string& linuxPath, std::uint64_t maxBytes);

// The identity of the regular file at `linuxPath` now (a symbolic link is followed); nothing when
// there is none.
std::optional<FileIdentity> currentFileIdentity(const std::string& linuxPath);

}  // namespace quillora::platform
