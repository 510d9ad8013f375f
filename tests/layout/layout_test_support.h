// The program's own windows with the program's own handlers, loaded for the page renderers, and
// small picture files and BMP readers for looking at what they drew.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quillora::layout_test {

using Bytes = std::vector<std::uint8_t>;

// Installs the compiled window templates bound to the application's handlers (once) and starts
// the offscreen windowing application.
void installProgramWindows();
// Unloads the progress and settings windows if a test left them loaded.
void unloadProgramWindows();

// A 24-bit BMP file of width × height in one colour (0x00RRGGBB).
Bytes plainBmp(int width, int height, std::uint32_t rgb);
// Writes the bytes to the file and returns its path in drive form (C:\...).
std::string writePicture(const std::filesystem::path& path, const Bytes& bytes);

// A BMP file read back: size and pixels as 0x00RRGGBB, bottom-up rows handled.
class BmpPicture {
public:
    explicit BmpPicture(Bytes bytes);
    bool valid() const { return valid_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t pixel(int x, int y) const;
    // True when some pixel of the rectangle is not white.
    bool inkIn(int left, int top, int width, int height) const;

private:
    Bytes bytes_;
    bool valid_ = false;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    std::size_t pixelOffset_ = 0;
    std::size_t rowBytes_ = 0;
    bool bottomUp_ = true;
};

// Gives the file the modification time `seconds` after 1970-01-01 00:00 UTC.
void setModifiedSeconds(const std::filesystem::path& path, std::int64_t seconds);

// TZ set for as long as it lives, and put back afterwards, so that no result depends on the
// machine's time zone.
class TimeZone {
public:
    explicit TimeZone(const char* zone);
    ~TimeZone();
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

// A temporary folder removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace quillora::layout_test
