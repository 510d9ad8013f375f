#include "runtime/picture/picture_commands.h"

#include <array>
#include <exception>
#include <optional>

#include "platform/fs/drive_map.h"
#include "runtime/core/ole_date.h"
#include "runtime/picture/picture_facts.h"
#include "runtime/picture/picture_registry.h"

namespace quillora::runtime {

namespace {

// A handle argument of any integer type; anything else names no picture.
PictureHandle handleArgument(std::int32_t argCount, const RuntimeValue* args)
{
    if (argCount < 1 || !args)
        return 0;
    switch (static_cast<TypeCode>(args[0].type)) {
    case TypeCode::Byte:
    case TypeCode::Short:
    case TypeCode::Integer:
        return asInt(args[0]);
    case TypeCode::LongInteger: {
        const std::int64_t wide = asInt64(args[0]);
        return wide == static_cast<PictureHandle>(wide) ? static_cast<PictureHandle>(wide) : 0;
    }
    default:
        return 0;
    }
}

}  // namespace

}  // namespace quillora::runtime

namespace quillora {

using runtime::handleArgument;
using runtime::PictureHandle;

void LoadPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    PictureHandle handle = 0;
    if (argCount >= 1 && args) {
        switch (static_cast<TypeCode>(args[0].type)) {
        case TypeCode::ByteSet: {
            const std::uint8_t* bytes = byteSetData(args[0]);
            if (bytes)
                handle = runtime::loadPicture({bytes, byteSetLength(args[0])});
            break;
        }
        case TypeCode::Text:
            handle = runtime::loadPictureFile(asText(args[0]));
            break;
        default:
            break;
        }
    }
    if (result)
        *result = makeInt(handle);
}

void ReadPictureAhead(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    if (argCount < 1 || !args || static_cast<TypeCode>(args[0].type) != TypeCode::Text)
        return;
    const std::int32_t zoom =
        argCount >= 2 && static_cast<TypeCode>(args[1].type) == TypeCode::Integer ? asInt(args[1]) : 0;
    runtime::readPictureFileAheadNamed(asText(args[0]), zoom);
}

void UnloadPicture(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    runtime::unloadPicture(handleArgument(argCount, args));
}

void PicturePixelWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    if (result)
        *result = makeInt(runtime::pictureWidth(handleArgument(argCount, args)));
}

void PicturePixelHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    if (result)
        *result = makeInt(runtime::pictureHeight(handleArgument(argCount, args)));
}

void PictureTakenTime(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    std::optional<runtime::CalendarTime> taken;
    if (argCount >= 1 && args && static_cast<TypeCode>(args[0].type) == TypeCode::Text) {
        try {
            if (const auto linuxPath = platform::toLinuxPath(asText(args[0])))
                taken = runtime::pictureFileTakenTime(*linuxPath);
        } catch (const std::exception&) {
            // Out of memory: the date is not known, as for a file that cannot be read.
        }
    }
    if (result)
        *result = taken ? makeDateTime(runtime::oleDateOf(*taken)) : makeInt(0);
}

}  // namespace quillora

namespace quillora::runtime {
namespace {

constexpr std::array<PictureCommandEntry, 6> kPictureCommands{{
    {"LoadPicture", LoadPicture},
    {"ReadPictureAhead", ReadPictureAhead},
    {"UnloadPicture", UnloadPicture},
    {"PicturePixelWidth", PicturePixelWidth},
    {"PicturePixelHeight", PicturePixelHeight},
    {"PictureTakenTime", PictureTakenTime},
}};

}  // namespace

std::span<const PictureCommandEntry> pictureCommands()
{
    return kPictureCommands;
}

}  // namespace quillora::runtime
