// Bounded readers for the form template data. Every read checks the bytes that are left first;
// a read that would pass the end fails, and the failure is sticky, so a parser can read a whole
// record and test once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillora::runtime {

// Reads the template data front to back through a 4096-byte buffer, the way start-up takes the
// block in. Large fields (a window's unit table) are copied out whole and then parsed with a
// RecordCursor.
class BufferedTemplateReader {
public:
    static constexpr std::size_t kBufferBytes = 4096;

    explicit BufferedTemplateReader(std::span<const std::uint8_t> source);

    bool readU32(std::uint32_t& value);
    // Copies `count` bytes into `out` (replacing its contents). Fails without allocating when
    // fewer bytes are left.
    bool readBytes(std::size_t count, std::vector<std::uint8_t>& out);
    // A text field: u32 length, then that many bytes.
    bool readText(std::string& out);
    bool skip(std::size_t count);

    // Bytes consumed so far, and bytes still to come.
    std::size_t position() const { return consumed_; }
    std::size_t remaining() const { return source_.size() - consumed_; }
    bool failed() const { return failed_; }

private:
    bool take(std::uint8_t* destination, std::size_t count);
    bool refill();

    std::span<const std::uint8_t> source_;
    std::size_t sourceTaken_ = 0;  // bytes of the source already copied into the buffer
    std::size_t consumed_ = 0;     // bytes handed out to the caller
    std::array<std::uint8_t, kBufferBytes> buffer_{};
    std::size_t bufferBegin_ = 0;
    std::size_t bufferEnd_ = 0;
    bool failed_ = false;
};

// Reads the fields of one record that lies wholly in memory.
class RecordCursor {
public:
    explicit RecordCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool readU32(std::uint32_t& value);
    bool readI32(std::int32_t& value);
    // A zero-terminated string; fails when no terminator lies before the end.
    bool readString(std::string& out);
    // A text field: u32 length, then that many bytes.
    bool readText(std::string& out);
    bool readBytes(std::size_t count, std::vector<std::uint8_t>& out);
    // A sub-span of `count` bytes, without copying.
    bool readSpan(std::size_t count, std::span<const std::uint8_t>& out);
    bool skip(std::size_t count);

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::span<const std::uint8_t> rest() const { return bytes_.subspan(offset_); }
    bool failed() const { return failed_; }
    bool atEnd() const { return offset_ == bytes_.size(); }

private:
    bool fail()
    {
        failed_ = true;
        return false;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

// Little-endian u32 at `bytes` (which must hold four bytes).
inline std::uint32_t loadU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace quillora::runtime
