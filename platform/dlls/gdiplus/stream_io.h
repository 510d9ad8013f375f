// Reading and writing whole byte runs on a COM stream. The stream may be anybody's: its Read
// may return fewer bytes than asked, or fail, and every count it reports is checked.
#pragma once

#include "quillora/win_abi.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quillora::dlls {

class StreamReader {
public:
    explicit StreamReader(win::IStream* stream);

    // Fills `target` completely; false (and the reader failed for good) when the stream ends or
    // fails first.
    bool read(std::span<std::uint8_t> target);
    // Reads and drops `count` bytes, in small pieces so nothing large is allocated for them.
    bool skip(std::uint64_t count);

    // Bytes consumed so far.
    std::uint64_t position() const { return position_; }
    // Bytes left to read, when the stream can tell its size and position; a reader can then
    // refuse data that is cut short before it allocates for what the data claims to hold.
    std::optional<std::uint64_t> remaining() const;
    bool ok() const { return !failed_; }

private:
    win::IStream* stream_;
    std::uint64_t position_ = 0;
    std::optional<std::uint64_t> end_;  // the stream's size, counted from where reading began
    bool failed_ = false;
};

// Writes all of `bytes` at the stream's position; false when the stream takes fewer.
bool writeAll(win::IStream* stream, std::span<const std::uint8_t> bytes);

}  // namespace quillora::dlls
