// Looking at a file and writing one: the file services the runtime's file commands stand on.
// Reading a whole file is in platform/fs/file_reader.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillora::platform {

struct FileStatus {
    bool isFolder = false;
    std::uint64_t size = 0;  // bytes of a file; 0 for anything else
};

// What is at `linuxPath` (a symbolic link is followed), or nothing when no entry is there.
std::optional<FileStatus> fileStatus(const std::string& linuxPath);

// Creates `linuxPath` or empties it, then writes `parts` one after another. While it is written
// the file is locked against other writers that lock it too. False when the file cannot be
// opened, is not a regular file, is locked by another writer, or any write fails (a full disk).
bool writeWholeFile(const std::string& linuxPath, std::span<const std::span<const std::uint8_t>> parts);

}  // namespace quillora::platform
