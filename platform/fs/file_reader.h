// Reading a whole file into memory, with a cap on its size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillora::platform {

// The content of the regular file at `linuxPath`, or nothing when it cannot be opened, is not
// a regular file (a folder, a device, a pipe) or holds more than `maxBytes` bytes.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& linuxPath, std::uint64_t maxBytes);

}  // namespace quillora::platform
