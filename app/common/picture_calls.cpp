#include "common/picture_calls.h"

#include <cstring>
#include <utility>

#include "quillora/core_commands.h"
#include "quillora/dib_commands.h"
#include "quillora/picture_commands.h"

namespace quillora::app {
namespace {

template <typename... Values>
RuntimeValue callBitmap(CommandFunction command, Values... values)
{
    RuntimeValue arguments[] = {values..., RuntimeValue{}};
    return runtime().CallLibraryCommand(kBitmapLibrary, command, static_cast<std::int32_t>(sizeof...(Values)),
                                        arguments);
}

}  // namespace

ByteSet ByteSet::ofSize(std::size_t size)
{
    // A byte set of length 0 is always the null block, and its length field holds 32 bits.
    if (size == 0 || size > UINT32_MAX)
        return ByteSet();
    void* block = runtime().AllocateBlock(static_cast<std::int64_t>(sizeof(ByteSetHeader) + size));
    if (!block)
        return ByteSet();
    const ByteSetHeader header{1, static_cast<std::uint32_t>(size)};
    std::memcpy(block, &header, sizeof header);
    return ByteSet(block);
}

ByteSet ByteSet::copyOf(std::span<const std::uint8_t> bytes)
{
    ByteSet set = ofSize(bytes.size());
    if (!set.empty())
        std::memcpy(set.writableBytes().data(), bytes.data(), bytes.size());
    return set;
}

ByteSet ByteSet::adopt(const RuntimeValue& result)
{
    if (result.type != static_cast<std::uint32_t>(TypeCode::ByteSet))
        return ByteSet();
    return ByteSet(asPointer(result));
}

std::span<const std::uint8_t> ByteSet::bytes() const
{
    const RuntimeValue record = value();
    const std::uint8_t* data = byteSetData(record);
    return data ? std::span<const std::uint8_t>(data, byteSetLength(record)) : std::span<const std::uint8_t>();
}

std::span<std::uint8_t> ByteSet::writableBytes()
{
    // The set's own block: the header, then its bytes.
    if (!block_.get())
        return {};
    const std::span<const std::uint8_t> readable = bytes();
    return {static_cast<std::uint8_t*>(block_.get()) + sizeof(ByteSetHeader), readable.size()};
}

std::int32_t loadPictureFromFile(const std::string& path)
{
    return asInt(callCore(&LoadPicture, makePointer(TypeCode::Text, path.c_str())));
}

std::int32_t loadPictureFromData(const ByteSet& data)
{
    return asInt(callCore(&LoadPicture, data.value()));
}

void readPictureAhead(const std::string& path, std::int32_t zoom)
{
    callCore(&ReadPictureAhead, makePointer(TypeCode::Text, path.c_str()), makeInt(zoom));
}

void unloadPicture(std::int32_t picture)
{
    callCore(&UnloadPicture, makeInt(picture));
}

std::int32_t picturePixelWidth(std::int32_t picture)
{
    return asInt(callCore(&PicturePixelWidth, makeInt(picture)));
}

std::int32_t picturePixelHeight(std::int32_t picture)
{
    return asInt(callCore(&PicturePixelHeight, makeInt(picture)));
}

std::optional<TakenTime> pictureTakenTime(const std::string& path)
{
    const RuntimeValue taken = callCore(&PictureTakenTime, makePointer(TypeCode::Text, path.c_str()));
    if (taken.type != static_cast<std::uint32_t>(TypeCode::DateTime))
        return std::nullopt;
    const auto part = [&taken](CommandFunction command) { return asInt(callCore(command, taken)); };
    return TakenTime{part(&YearOf), part(&MonthOf), part(&DayOf), part(&HourOf), part(&MinuteOf)};
}

void LoadedPictures::hold(std::int32_t picture)
{
    if (picture != 0)
        pictures_.push_back(picture);
}

void LoadedPictures::releaseAll()
{
    for (const std::int32_t picture : pictures_)
        unloadPicture(picture);
    pictures_.clear();
}

BitmapObject::BitmapObject() : value_(callBitmap(&dibCreate)) {}

BitmapObject::~BitmapObject()
{
    if (value_.type != 0)
        callBitmap(&dibDestroy, value_);
}

BitmapObject::BitmapObject(BitmapObject&& other) noexcept : value_(std::exchange(other.value_, RuntimeValue{})) {}

BitmapObject& BitmapObject::operator=(BitmapObject&& other) noexcept
{
    if (this != &other) {
        if (value_.type != 0)
            callBitmap(&dibDestroy, value_);
        value_ = std::exchange(other.value_, RuntimeValue{});
    }
    return *this;
}

bool BitmapObject::loadFromData(const ByteSet& bmpFile)
{
    return asBool(callBitmap(&dibLoadFromData, value_, bmpFile.value()));
}

ByteSet BitmapObject::data() const
{
    return ByteSet::adopt(callBitmap(&dibGetData, value_));
}

BitmapObject BitmapObject::rotated(double degrees, std::uint32_t background) const
{
    return BitmapObject(callBitmap(&dibRotate, value_, makeDouble(degrees), makeInt(static_cast<std::int32_t>(background))));
}

bool BitmapObject::setHorizontalResolution(std::int32_t pixelsPerMetre)
{
    return asBool(callBitmap(&dibSetHorizontalResolution, value_, makeInt(pixelsPerMetre)));
}

bool BitmapObject::setVerticalResolution(std::int32_t pixelsPerMetre)
{
    return asBool(callBitmap(&dibSetVerticalResolution, value_, makeInt(pixelsPerMetre)));
}

std::string BitmapObject::lastError() const
{
    OwnedBlock text(asPointer(callBitmap(&dibLastError, value_)));
    return std::string(text.text());
}

}  // namespace quillora::app
