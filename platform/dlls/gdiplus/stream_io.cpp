#include "platform/dlls/gdiplus/stream_io.h"

#include <algorithm>

namespace quillora::dlls {
namespace {

// Streams count bytes in 32-bit numbers, so large runs go in pieces of at most 1 GiB.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;
// A stream of unknown length is read in pieces of this size.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

}  // namespace

std::optional<std::uint64_t> streamPosition(win::IStream* stream)
{
    win::ULARGE_INTEGER position{};
    if (stream->Seek(win::LARGE_INTEGER{0}, win::STREAM_SEEK_CUR, &position) != win::S_OK)
        return std::nullopt;
    return position.QuadPart;
}

std::vector<std::uint8_t> readToEnd(win::IStream* stream, std::size_t maxBytes)
{
    std::vector<std::uint8_t> bytes;
    // A stream that tells its size is read in one piece of room.
    win::STATSTG statistics{};
    const auto start = streamPosition(stream);
    if (start && stream->Stat(&statistics, win::STATFLAG_NONAME) == win::S_OK && statistics.cbSize.QuadPart > *start)
        bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(statistics.cbSize.QuadPart - *start, maxBytes)));
    while (bytes.size() < maxBytes) {
        const std::size_t had = bytes.size();
        const std::size_t asked = std::min(kReadPiece, maxBytes - had);
        bytes.resize(had + asked);
        win::ULONG got = 0;
        const win::HRESULT result = stream->Read(bytes.data() + had, static_cast<win::ULONG>(asked), &got);
        // S_FALSE with a short count is a stream's way of saying it ended; a count above what
        // was asked is a broken stream and is not believed.
        if (result < 0 || got > asked)
            got = 0;
        bytes.resize(had + got);
        if (got == 0)
            break;
    }
    return bytes;
}

bool writeAll(win::IStream* stream, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const auto asked = static_cast<win::ULONG>(std::min(bytes.size(), kMaxPiece));
        win::ULONG written = 0;
        if (stream->Write(bytes.data(), asked, &written) < 0 || written == 0 || written > asked)
            return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

}  // namespace quillora::dlls
