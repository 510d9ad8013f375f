// Writing a whole buffer to a descriptor, shared by the file writer and the new-file writer.
#pragma once

#include <cstdint>
#include <span>

namespace quillora::platform {

// Writes every byte, going on after interrupted and short writes; false on any other failure.
bool writeAll(int descriptor, std::span<const std::uint8_t> bytes);

}  // namespace quillora::platform
