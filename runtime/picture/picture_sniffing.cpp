#include "runtime/picture/picture_sniffing.h"

namespace quillora::runtime {
namespace {

// Every kind is told by its first six bytes; shorter data is no picture at all.
constexpr std::size_t kSniffBytes = 6;

std::uint16_t u16At(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

bool iconDirectory(std::span<const std::uint8_t> bytes, std::uint16_t type)
{
    return bytes.size() >= kSniffBytes && u16At(bytes, 0) == 0 && u16At(bytes, 2) == type && u16At(bytes, 4) > 0;
}

}  // namespace

bool looksLikeBmp(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSniffBytes && bytes[0] == 'B' && bytes[1] == 'M';
}

bool looksLikeJpeg(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSniffBytes && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

bool looksLikeIcon(std::span<const std::uint8_t> bytes)
{
    return iconDirectory(bytes, 1);
}

bool looksLikeCursor(std::span<const std::uint8_t> bytes)
{
    return iconDirectory(bytes, 2);
}

bool looksLikeGif(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSniffBytes && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' && bytes[3] == '8' &&
           (bytes[4] == '7' || bytes[4] == '9') && bytes[5] == 'a';
}

bool looksLikePcx8(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSniffBytes && bytes[0] == 0x0A && bytes[1] <= 5 && bytes[2] == 1 && bytes[3] == 8;
}

bool looksLikePcx1(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSniffBytes && bytes[0] == 0x0A && bytes[1] == 3 && bytes[2] == 1 && bytes[3] == 1;
}

}  // namespace quillora::runtime
