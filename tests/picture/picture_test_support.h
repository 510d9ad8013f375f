// Helpers for the picture tests: building picture files byte by byte and reading pixels back.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "runtime/picture/picture_registry.h"

namespace quillora::test {

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields.
class ByteWriter {
public:
    ByteWriter& u8(std::uint32_t value)
    {
        bytes.push_back(static_cast<std::uint8_t>(value));
        return *this;
    }
    ByteWriter& u16(std::uint32_t value) { return u8(value).u8(value >> 8); }
    ByteWriter& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    ByteWriter& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    ByteWriter& raw(std::initializer_list<std::uint8_t> values)
    {
        bytes.insert(bytes.end(), values);
        return *this;
    }
    ByteWriter& raw(std::span<const std::uint8_t> values)
    {
        bytes.insert(bytes.end(), values.begin(), values.end());
        return *this;
    }
    ByteWriter& fill(std::size_t count, std::uint8_t value = 0)
    {
        bytes.insert(bytes.end(), count, value);
        return *this;
    }

    Bytes bytes;
};

// A 40-byte bitmap information header.
inline void writeInfoHeader(ByteWriter& out, std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                            std::uint32_t coloursUsed = 0, std::uint32_t compression = 0)
{
    out.u32(40).i32(width).i32(height).u16(1).u16(bitCount).u32(compression).u32(0).i32(0).i32(0)
        .u32(coloursUsed).u32(0);
}

// A BMP file with a 40-byte header; `palette` holds blue-green-red-zero quads as stored and
// `pixels` the rows exactly as stored, padding included.
inline Bytes bmpFile(std::int32_t width, std::int32_t height, std::uint16_t bitCount, const Bytes& palette,
                     const Bytes& pixels, std::uint32_t coloursUsed = 0)
{
    ByteWriter out;
    const auto offset = static_cast<std::uint32_t>(14 + 40 + palette.size());
    out.raw({'B', 'M'}).u32(offset + static_cast<std::uint32_t>(pixels.size())).u32(0).u32(offset);
    writeInfoHeader(out, width, height, bitCount, coloursUsed);
    out.raw(palette).raw(pixels);
    return out.bytes;
}

struct Bgra {
    std::uint8_t blue, green, red, alpha;
    friend bool operator==(const Bgra&, const Bgra&) = default;
    friend std::ostream& operator<<(std::ostream& stream, const Bgra& colour)
    {
        return stream << "bgra(" << int(colour.blue) << ',' << int(colour.green) << ',' << int(colour.red) << ','
                      << int(colour.alpha) << ')';
    }
};

constexpr Bgra kBlack{0, 0, 0, 255};
constexpr Bgra kWhite{255, 255, 255, 255};

inline Bgra pixelAt(const runtime::BgraImage& image, int x, int y)
{
    const std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// A loaded picture that is unloaded when the test is done with it.
class LoadedPicture {
public:
    explicit LoadedPicture(std::span<const std::uint8_t> bytes) : handle_(runtime::loadPicture(bytes)) {}
    explicit LoadedPicture(runtime::PictureHandle handle) : handle_(handle) {}
    LoadedPicture(const LoadedPicture&) = delete;
    LoadedPicture& operator=(const LoadedPicture&) = delete;
    ~LoadedPicture() { runtime::unloadPicture(handle_); }

    runtime::PictureHandle handle() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    runtime::PictureKind kind() const { return runtime::pictureKind(handle_); }
    int width() const { return runtime::pictureWidth(handle_); }
    int height() const { return runtime::pictureHeight(handle_); }
    const runtime::PictureRecord& record() const
    {
        const runtime::PictureRecord* record = runtime::decodedPicture(handle_);
        if (!record)
            throw std::runtime_error("picture has no record");
        return *record;
    }
    runtime::BgraImage image() const
    {
        auto image = runtime::pictureForDrawing(handle_);
        if (!image)
            throw std::runtime_error("picture does not draw");
        return *image;
    }

private:
    runtime::PictureHandle handle_;
};

inline void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A temp folder mapped as drive C: for as long as it lives; the drive map it replaced comes back
// and the folder goes when it does.
class DriveFolder {
public:
    explicit DriveFolder(const char* namePrefix)
    {
        if (const char* previous = std::getenv("QUILLORA_DRIVES"))
            previous_ = previous;
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(namePrefix) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no temp folder");
        path_ = pattern;
        setenv("QUILLORA_DRIVES", ("C=" + path_).c_str(), 1);
    }
    ~DriveFolder()
    {
        if (previous_)
            setenv("QUILLORA_DRIVES", previous_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    DriveFolder(const DriveFolder&) = delete;
    DriveFolder& operator=(const DriveFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::optional<std::string> previous_;
};

}  // namespace quillora::test
