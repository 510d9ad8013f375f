// Writing a new file without ever replacing one: the bytes go to a temporary file in the same
// folder, which receives the final name only once it is complete, and only if that name is free.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillora::platform {

enum class NewFileStatus {
    Written,
    NameTaken,
    FolderMissing,
    NotPermitted,
    DiskFull,
    InvalidName,
    Failed,
};

// Writes `bytes` as the new file `linuxPath`. An existing entry of that name (a file, a folder, a
// dangling link) is never touched: the result is NameTaken. No temporary file outlives the call.
NewFileStatus writeNewFile(const std::string& linuxPath, std::span<const std::uint8_t> bytes);

}  // namespace quillora::platform
