#include "runtime/core/template_reader.h"

#include <algorithm>
#include <cstring>

namespace quillora::runtime {

// --- BufferedTemplateReader ---------------------------------------------------------------------

BufferedTemplateReader::BufferedTemplateReader(std::span<const std::uint8_t> source) : source_(source) {}

bool BufferedTemplateReader::refill()
{
    const std::size_t chunk = std::min(kBufferBytes, source_.size() - sourceTaken_);
    if (chunk == 0)
        return false;
    std::memcpy(buffer_.data(), source_.data() + sourceTaken_, chunk);
    sourceTaken_ += chunk;
    bufferBegin_ = 0;
    bufferEnd_ = chunk;
    return true;
}

bool BufferedTemplateReader::take(std::uint8_t* destination, std::size_t count)
{
    if (failed_)
        return false;
    // Checking the whole request against what is left keeps a bad length from being
    // half-consumed, and lets the caller allocate only after the check.
    if (count > remaining()) {
        failed_ = true;
        return false;
    }
    while (count > 0) {
        if (bufferBegin_ == bufferEnd_ && !refill()) {
            failed_ = true;
            return false;
        }
        const std::size_t part = std::min(count, bufferEnd_ - bufferBegin_);
        if (destination) {
            std::memcpy(destination, buffer_.data() + bufferBegin_, part);
            destination += part;
        }
        bufferBegin_ += part;
        consumed_ += part;
        count -= part;
    }
    return true;
}

bool BufferedTemplateReader::readU32(std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!take(bytes, sizeof bytes))
        return false;
    value = loadU32(bytes);
    return true;
}

bool BufferedTemplateReader::readBytes(std::size_t count, std::vector<std::uint8_t>& out)
{
    if (failed_ || count > remaining()) {
        failed_ = true;
        return false;
    }
    out.resize(count);
    return take(out.data(), count);
}

bool BufferedTemplateReader::readText(std::string& out)
{
    std::uint32_t length = 0;
    if (!readU32(length))
        return false;
    if (length > remaining()) {
        failed_ = true;
        return false;
    }
    out.resize(length);
    return take(reinterpret_cast<std::uint8_t*>(out.data()), length);
}

bool BufferedTemplateReader::skip(std::size_t count)
{
    return take(nullptr, count);
}

// --- RecordCursor ---------------------------------------------------------------------------------

bool RecordCursor::readU32(std::uint32_t& value)
{
    if (failed_ || remaining() < 4)
        return fail();
    value = loadU32(bytes_.data() + offset_);
    offset_ += 4;
    return true;
}

bool RecordCursor::readI32(std::int32_t& value)
{
    std::uint32_t raw = 0;
    if (!readU32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool RecordCursor::readString(std::string& out)
{
    if (failed_)
        return false;
    const std::span<const std::uint8_t> left = rest();
    const auto terminator = std::find(left.begin(), left.end(), std::uint8_t{0});
    if (terminator == left.end())
        return fail();
    const std::size_t length = static_cast<std::size_t>(terminator - left.begin());
    out.assign(reinterpret_cast<const char*>(left.data()), length);
    offset_ += length + 1;
    return true;
}

bool RecordCursor::readText(std::string& out)
{
    std::uint32_t length = 0;
    std::span<const std::uint8_t> bytes;
    if (!readU32(length) || !readSpan(length, bytes))
        return false;
    out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
}

bool RecordCursor::readBytes(std::size_t count, std::vector<std::uint8_t>& out)
{
    std::span<const std::uint8_t> bytes;
    if (!readSpan(count, bytes))
        return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool RecordCursor::readSpan(std::size_t count, std::span<const std::uint8_t>& out)
{
    if (failed_ || count > remaining())
        return fail();
    out = bytes_.subspan(offset_, count);
    offset_ += count;
    return true;
}

bool RecordCursor::skip(std::size_t count)
{
    if (failed_ || count > remaining())
        return fail();
    offset_ += count;
    return true;
}

}  // namespace quillora::runtime
