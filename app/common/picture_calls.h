// Byte sets, picture handles and the bitmap object as the album logic uses them: owners that
// free what the runtime hands back, so no handler builds or frees a runtime block by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/runtime_calls.h"

namespace quillora::app {

// A byte set block owned by the application: given to commands as an argument, or taken from a
// command's result.
class ByteSet {
public:
    ByteSet() = default;
    static ByteSet copyOf(std::span<const std::uint8_t> bytes);
    // A set of `size` bytes to be filled in through writableBytes() (empty when there is no memory).
    static ByteSet ofSize(std::size_t size);
    // Takes ownership of the byte set a command returned (any other result is the empty set).
    static ByteSet adopt(const RuntimeValue& result);

    RuntimeValue value() const { return makePointer(TypeCode::ByteSet, block_.get()); }
    std::span<const std::uint8_t> bytes() const;
    std::span<std::uint8_t> writableBytes();
    bool empty() const { return bytes().empty(); }

private:
    explicit ByteSet(void* block) : block_(block) {}
    OwnedBlock block_;
};

// Picture handles of the runtime's registry; 0 is no picture.
std::int32_t loadPictureFromFile(const std::string& path);
std::int32_t loadPictureFromData(const ByteSet& data);
// A hint that the file will be loaded soon; loading it gives the same picture either way. With a
// zoom: its bytes will be read and given as picture data to be drawn at that zoom (per mille).
void readPictureAhead(const std::string& path, std::int32_t zoom = 0);
void unloadPicture(std::int32_t picture);
std::int32_t picturePixelWidth(std::int32_t picture);
std::int32_t picturePixelHeight(std::int32_t picture);

// When the picture in a file was taken, to the minute, on the local wall clock (its EXIF date,
// else the file's modification time); nothing when there is no such file.
struct TakenTime {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    friend bool operator==(const TakenTime&, const TakenTime&) = default;
};
std::optional<TakenTime> pictureTakenTime(const std::string& path);

// The pictures a render has loaded, released together when it ends (or when the holder goes).
class LoadedPictures {
public:
    LoadedPictures() = default;
    ~LoadedPictures() { releaseAll(); }
    LoadedPictures(const LoadedPictures&) = delete;
    LoadedPictures& operator=(const LoadedPictures&) = delete;

    void hold(std::int32_t picture);
    void releaseAll();

private:
    std::vector<std::int32_t> pictures_;
};

// The bitmap object (DIB): one live object, destroyed with its owner.
class BitmapObject {
public:
    BitmapObject();
    ~BitmapObject();
    BitmapObject(BitmapObject&& other) noexcept;
    BitmapObject& operator=(BitmapObject&& other) noexcept;
    BitmapObject(const BitmapObject&) = delete;
    BitmapObject& operator=(const BitmapObject&) = delete;

    bool loadFromData(const ByteSet& bmpFile);
    ByteSet data() const;
    // A new object with the bitmap turned clockwise by `degrees`.
    BitmapObject rotated(double degrees, std::uint32_t background) const;
    bool setHorizontalResolution(std::int32_t pixelsPerMetre);
    bool setVerticalResolution(std::int32_t pixelsPerMetre);
    std::string lastError() const;

private:
    explicit BitmapObject(RuntimeValue value) : value_(value) {}
    RuntimeValue value_{};
};

}  // namespace quillora::app
