#include "platform/dlls/gdiplus/stream_io.h"

#include <algorithm>
#include <array>

namespace quillora::dlls {
namespace {

// Streams count bytes in 32-bit numbers, so large runs go in pieces of at most 1 GiB.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;

}  // namespace

StreamReader::StreamReader(win::IStream* stream) : stream_(stream)
{
    win::STATSTG statistics{};
    win::ULARGE_INTEGER start{};
    if (stream_->Stat(&statistics, win::STATFLAG_NONAME) == win::S_OK &&
        stream_->Seek(win::LARGE_INTEGER{0}, win::STREAM_SEEK_CUR, &start) == win::S_OK)
        end_ = statistics.cbSize.QuadPart > start.QuadPart ? statistics.cbSize.QuadPart - start.QuadPart : 0;
}

std::optional<std::uint64_t> StreamReader::remaining() const
{
    if (!end_)
        return std::nullopt;
    return *end_ > position_ ? *end_ - position_ : 0;
}

bool StreamReader::read(std::span<std::uint8_t> target)
{
    while (!failed_ && !target.empty()) {
        const auto asked = static_cast<win::ULONG>(std::min(target.size(), kMaxPiece));
        win::ULONG got = 0;
        const win::HRESULT result = stream_->Read(target.data(), asked, &got);
        // S_FALSE with a short count is a stream's way of saying it ended; a count above what
        // was asked is a broken stream and must not move the target past its end.
        if (result < 0 || got == 0 || got > asked) {
            failed_ = true;
            break;
        }
        target = target.subspan(got);
        position_ += got;
    }
    return !failed_;
}

bool StreamReader::skip(std::uint64_t count)
{
    std::array<std::uint8_t, 4096> scratch;
    while (!failed_ && count > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, scratch.size()));
        if (!read(std::span(scratch).first(piece)))
            break;
        count -= piece;
    }
    return !failed_;
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
