// Reading and writing whole byte runs on a COM stream. The stream may be anybody's: its Read
// may return fewer bytes than asked, or fail, and every count it reports is checked.
#pragma once

#include "quillora/win_abi.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillora::dlls {

// The stream's position; nothing when it cannot tell.
std::optional<std::uint64_t> streamPosition(win::IStream* stream);

// Reads from the stream's position to its end, or to `maxBytes`, whichever comes first; a
// stream that fails part way gives what it gave before. Throws std::bad_alloc.
std::vector<std::uint8_t> readToEnd(win::IStream* stream, std::size_t maxBytes);

// Writes all of `bytes` at the stream's position; false when the stream takes fewer.
bool writeAll(win::IStream* stream, std::span<const std::uint8_t> bytes);

}  // namespace quillora::dlls
