// A bounded little-endian reader over picture bytes that come from outside the program.
//
// Every picture format Quillora reads stores its numbers little-endian, and every one of them
// can be forged or cut short. All reads go through this reader: a read past the end returns
// zeros and marks the reader failed, and the failure is sticky, so a decoder can read a whole
// header and check `ok()` once before trusting any field.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace quillora::formats {

static_assert(std::endian::native == std::endian::little,
              "on-disk picture records are read by copying them into little-endian structs");

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return !failed_; }
    std::size_t position() const { return position_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
    bool atEnd() const { return remaining() == 0; }

    std::uint8_t u8()
    {
        const auto piece = take(1);
        return piece.empty() ? 0 : piece[0];
    }

    std::uint16_t u16()
    {
        const auto piece = take(2);
        return piece.empty() ? 0 : static_cast<std::uint16_t>(piece[0] | (piece[1] << 8));
    }

    std::uint32_t u32()
    {
        const auto piece = take(4);
        if (piece.empty())
            return 0;
        return static_cast<std::uint32_t>(piece[0]) | (static_cast<std::uint32_t>(piece[1]) << 8) |
               (static_cast<std::uint32_t>(piece[2]) << 16) | (static_cast<std::uint32_t>(piece[3]) << 24);
    }

    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    // The next `count` bytes, or an empty span (and a failed reader) when fewer remain.
    std::span<const std::uint8_t> take(std::size_t count)
    {
        if (failed_ || count > bytes_.size() - position_) {
            failed_ = true;
            return {};
        }
        const auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }

    // Copies an on-disk record (a packed struct of little-endian fields) out of the bytes.
    template <typename Record>
    bool read(Record& record)
    {
        static_assert(std::is_trivially_copyable_v<Record>);
        const auto piece = take(sizeof(Record));
        if (piece.empty()) {
            record = Record{};
            return false;
        }
        std::memcpy(&record, piece.data(), sizeof(Record));
        return true;
    }

    void skip(std::size_t count) { take(count); }

    // Moves to an absolute offset; an offset beyond the end fails the reader.
    void seek(std::size_t offset)
    {
        if (failed_ || offset > bytes_.size()) {
            failed_ = true;
            return;
        }
        position_ = offset;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace quillora::formats
