// The one place decoders get pixel memory from, with the cap every picture must fit under.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quillora::runtime {

// The most pixel memory one picture may take. A forged header (65535 x 65535 pixels, say) asks
// for more and gives "no picture" instead of exhausting the machine's memory.
inline constexpr std::uint64_t kMaxPicturePixelBytes = 512ull * 1024 * 1024;

// True when a picture of width x height pixels may be decoded: neither side is zero and its
// pixels fit the cap at four bytes each, the largest form the decoders and the drawing code
// make of any picture.
bool pictureSizeAllowed(std::uint64_t width, std::uint64_t height);

// A zeroed buffer of headerBytes + rowBytes x height bytes for a width x height picture, or
// nothing when the picture is not allowed, the buffer would pass the cap, or memory is
// exhausted.
std::optional<std::vector<std::uint8_t>> newPixelBuffer(std::uint64_t width, std::uint64_t height,
                                                        std::uint64_t rowBytes, std::uint64_t headerBytes = 0);

}  // namespace quillora::runtime
