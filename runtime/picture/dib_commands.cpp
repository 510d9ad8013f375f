#include "runtime/picture/dib_commands.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>

#include "runtime/core/memory.h"

namespace quillora {

namespace {

// The live bitmap objects by handle. All commands run on the user-interface thread.
class DibRegistry {
public:
    std::uint32_t add(std::unique_ptr<runtime::DibBitmap> bitmap)
    {
        // Handles count up, skipping 0 and any still in use once the counter wraps, so a
        // stale handle does not name a new object.
        do {
            ++lastHandle_;
        } while (lastHandle_ == 0 || objects_.contains(lastHandle_));
        objects_.emplace(lastHandle_, std::move(bitmap));
        return lastHandle_;
    }

    runtime::DibBitmap* find(std::uint32_t handle) const
    {
        const auto found = objects_.find(handle);
        return found == objects_.end() ? nullptr : found->second.get();
    }

    void remove(std::uint32_t handle) { objects_.erase(handle); }

private:
    std::unordered_map<std::uint32_t, std::unique_ptr<runtime::DibBitmap>> objects_;
    std::uint32_t lastHandle_ = 0;
};

DibRegistry& registry()
{
    static DibRegistry objects;
    return objects;
}

RuntimeValue makeDib(std::uint32_t handle)
{
    return {handle, 0, kDibTypeCode};
}

RuntimeValue registerDib(runtime::DibBitmap bitmap)
{
    return makeDib(registry().add(std::make_unique<runtime::DibBitmap>(std::move(bitmap))));
}

// The object named by argument 0, or null for a missing or unknown one.
runtime::DibBitmap* targetDib(std::int32_t argCount, const RuntimeValue* args)
{
    return argCount >= 1 ? runtime::findDib(args[0]) : nullptr;
}

// A numeric argument of any numeric type as a double; nothing for other types.
std::optional<double> numberArgument(const RuntimeValue& value)
{
    switch (static_cast<TypeCode>(value.type)) {
    case TypeCode::Byte:
        return value.low & 0xFF;
    case TypeCode::Short:
        return static_cast<std::int16_t>(value.low);
    case TypeCode::Integer:
        return asInt(value);
    case TypeCode::LongInteger:
        return static_cast<double>(asInt64(value));
    case TypeCode::Float:
        return asFloat(value);
    case TypeCode::Double:
        return asDouble(value);
    default:
        return std::nullopt;
    }
}

// A numeric argument as a 32-bit integer: truncated toward zero and held to the 32-bit range.
// Anything that is not a number reads as 0.
std::int32_t integerArgument(std::int32_t argCount, const RuntimeValue* args, std::int32_t index)
{
    if (index >= argCount)
        return 0;
    const std::optional<double> number = numberArgument(args[index]);
    if (!number || std::isnan(*number))
        return 0;
    const double whole = std::trunc(*number);
    if (whole <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (whole >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(whole);
}

}  // namespace

namespace runtime {

DibBitmap* findDib(const RuntimeValue& value)
{
    if (value.type != kDibTypeCode || value.high != 0 || value.low == 0)
        return nullptr;
    return registry().find(value.low);
}

}  // namespace runtime

void dibCreate(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    *result = registerDib(runtime::DibBitmap());
}

void dibDestroy(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    if (targetDib(argCount, args))
        registry().remove(args[0].low);
}

void dibLoadFromData(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::DibBitmap* bitmap = targetDib(argCount, args);
    *result = makeBool(false);
    if (!bitmap)
        return;
    // Anything but a byte set is no bitmap data; it fails the load like bytes that are not.
    std::span<const std::uint8_t> data;
    if (argCount >= 2 && args[1].type == static_cast<std::uint32_t>(TypeCode::ByteSet) && byteSetData(args[1]))
        data = {byteSetData(args[1]), byteSetLength(args[1])};
    *result = makeBool(bitmap->loadFromData(data));
}

void dibGetData(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::DibBitmap* bitmap = targetDib(argCount, args);
    *result = makePointer(TypeCode::ByteSet, nullptr);
    if (!bitmap)
        return;
    const std::span<const std::uint8_t> file = bitmap->data();
    *result = makePointer(TypeCode::ByteSet, runtime::newByteSetBlock(file.data(), file.size()));
}

void dibRotate(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::DibBitmap* bitmap = targetDib(argCount, args);
    const std::optional<double> angle = argCount >= 2 ? numberArgument(args[1]) : std::nullopt;
    if (!bitmap || !angle) {
        // The caller always gets an object to destroy, even from a call that could not turn.
        *result = registerDib(runtime::DibBitmap());
        return;
    }
    const auto background = static_cast<std::uint32_t>(integerArgument(argCount, args, 2));
    *result = registerDib(bitmap->rotate(*angle, background));
}

void dibSetHorizontalResolution(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::DibBitmap* bitmap = targetDib(argCount, args);
    *result = makeBool(bitmap && bitmap->setHorizontalResolution(integerArgument(argCount, args, 1)));
}

void dibSetVerticalResolution(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::DibBitmap* bitmap = targetDib(argCount, args);
    *result = makeBool(bitmap && bitmap->setVerticalResolution(integerArgument(argCount, args, 1)));
}

void dibLastError(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::DibBitmap* bitmap = targetDib(argCount, args);
    *result = makePointer(TypeCode::Text, bitmap ? runtime::newTextBlock(bitmap->lastError()) : nullptr);
}

}  // namespace quillora
